#include "mDialogSupport.h"

#include "mButtons.h"
#include "mGlobals.h"

#include <QLineEdit>
#include <QWidget>

namespace {

// The main window: the outermost window above the dialog (dialogs open from dialogs).
QWidget* mainWindowOf(QWidget* dialog) {
    QWidget* main = nullptr;
    for (QWidget* w = dialog->parentWidget(); w; w = w->parentWidget())
        main = w->window();
    return main;
}

} // namespace

void Notice(const QString& translatedText) {
    gTranslator->IvMessageBox(translatedText, QString(), IvBox::Warning, IvBox::Ok, 0);
}

void FocusAndSelect(QLineEdit* box) {
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

bool AcceptItemName(QLineEdit* box, const QStringList& existingNames,
                    const std::optional<QString>& startingName) {
    switch (CheckName(box->text(), existingNames, startingName)) {
    case NameCheck::Used:
        Notice(Translate(QStringLiteral("That name is already used.  Please enter another name")));
        FocusAndSelect(box);
        return false;
    case NameCheck::Empty:
        Notice(Translate(QStringLiteral("You must enter a name for this item")));
        FocusAndSelect(box);
        return false;
    case NameCheck::Accepted:
        break;
    }
    return true;
}

void HideKeepingPlace(QWidget* widget) {
    QSizePolicy reserved = widget->sizePolicy();
    reserved.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(reserved);
    widget->hide();
}

void PlaceOverMainWindow(QWidget* dialog, int dx, int dy) {
    if (QWidget* main = mainWindowOf(dialog))
        dialog->move(main->frameGeometry().topLeft() + QPoint(dx, dy));
}

void PlaceAtMainWindowMiddle(QWidget* dialog, int dx, int dy) {
    if (QWidget* main = mainWindowOf(dialog)) {
        const QRect frame = main->frameGeometry();
        dialog->move(frame.left() + frame.width() / 2 - dx, frame.top() + frame.height() / 2 - dy);
    }
}
