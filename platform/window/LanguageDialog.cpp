#include "LanguageDialog.h"

#include "Translator.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

bool ChooseLanguage(const Translator& translator, const QString& text, int& chosen,
                    QWidget* parent) {
    using Language = Translator::Language;
    const int shownLanguage = translator.ShownColumnLanguage();
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmSelectLanguage"));
    dialog.setWindowTitle(translator.Translate(QStringLiteral("Language")));
    auto* layout = new QVBoxLayout(&dialog);
    if (!text.isEmpty())
        layout->addWidget(new QLabel(text, &dialog));
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("lstLanguages"));
    const QVector<Language> languages = translator.ChoosableLanguages();
    for (const Language& l : languages) {
        auto* item = new QListWidgetItem(l.nativeName == l.englishName
                                             ? l.englishName
                                             : l.nativeName + QStringLiteral(" (") + l.englishName +
                                                   QLatin1Char(')'),
                                         list);
        item->setData(Qt::UserRole, l.number);
        const bool current = l.number == chosen || (chosen == 0 && l.number == 1) ||
                             (chosen == -1 && l.number == (shownLanguage == 0 ? 1 : shownLanguage));
        if (current)
            list->setCurrentItem(item);
    }
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(translator.Translate(QStringLiteral("&OK")), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("cmdOK"));
    buttons
        ->addButton(translator.Translate(QStringLiteral("&Cancel")), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || !list->currentItem())
        return false;
    chosen = list->currentItem()->data(Qt::UserRole).toInt();
    return true;
}
