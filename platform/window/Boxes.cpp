#include "Boxes.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {

Boxes::BoxHandler& boxHandler() {
    static Boxes::BoxHandler handler;
    return handler;
}

Boxes::FileHandler& fileHandler() {
    static Boxes::FileHandler handler;
    return handler;
}

Boxes::PrintHandler& printHandler() {
    static Boxes::PrintHandler handler;
    return handler;
}

void appendToBoxLog(const QString& kind, const QString& title, const QString& text) {
    QFile log(qEnvironmentVariable("TREVANO_BOX_LOG"));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QString flat = text;
    flat.replace(QLatin1String("\r\n"), QLatin1String("\\n"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
    log.write(
        (kind + QLatin1Char('\t') + title + QLatin1Char('\t') + flat + QLatin1Char('\n')).toUtf8());
}

bool boxLogMode() {
    return !qEnvironmentVariableIsEmpty("TREVANO_BOX_LOG");
}

struct ButtonSpec {
    QMessageBox::ButtonRole role;
    int answer;
    const char* english;
};

QVector<ButtonSpec> buttonSpecs(Boxes::Buttons buttons) {
    using B = Boxes::Buttons;
    switch (buttons) {
    case B::OkCancel:
        return {{QMessageBox::AcceptRole, Boxes::AnswerOk, "OK"},
                {QMessageBox::RejectRole, Boxes::AnswerCancel, "Cancel"}};
    case B::YesNo:
        return {{QMessageBox::YesRole, Boxes::AnswerYes, "&Yes"},
                {QMessageBox::NoRole, Boxes::AnswerNo, "&No"}};
    case B::RetryIgnore:
        return {{QMessageBox::AcceptRole, Boxes::AnswerRetry, "&Retry"},
                {QMessageBox::RejectRole, Boxes::AnswerIgnore, "&Ignore"}};
    case B::Ok:
    default:
        return {{QMessageBox::AcceptRole, Boxes::AnswerOk, "OK"}};
    }
}

QMessageBox::Icon qtIcon(Boxes::Icon icon) {
    switch (icon) {
    case Boxes::Icon::Information:
        return QMessageBox::Information;
    case Boxes::Icon::Warning:
        return QMessageBox::Warning;
    case Boxes::Icon::Critical:
        return QMessageBox::Critical;
    case Boxes::Icon::Question:
        return QMessageBox::Question;
    case Boxes::Icon::None:
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

namespace Boxes {

int DefaultAnswer(Buttons buttons) {
    switch (buttons) {
    case Buttons::YesNo:
        return AnswerYes;
    case Buttons::RetryIgnore:
        return AnswerIgnore; // a box answered blindly must never loop
    default:
        return AnswerOk;
    }
}

int EscapeAnswer(Buttons buttons) {
    return buttonSpecs(buttons).last().answer;
}

int Show(const Box& box) {
    if (boxHandler())
        return boxHandler()(box);
    if (boxLogMode()) {
        appendToBoxLog(QStringLiteral("BOX"), box.title, box.text);
        return DefaultAnswer(box.buttons);
    }
    QMessageBox message(qtIcon(box.icon), box.title, box.text, QMessageBox::NoButton,
                        QApplication::activeWindow());
    const QVector<ButtonSpec> specs = buttonSpecs(box.buttons);
    QVector<QAbstractButton*> made;
    for (int i = 0; i < specs.size(); ++i) {
        const QString caption = i < box.buttonTexts.size()
                                    ? box.buttonTexts.at(i)
                                    : QString::fromLatin1(specs.at(i).english);
        made << message.addButton(caption, specs.at(i).role);
    }
    message.setDefaultButton(qobject_cast<QPushButton*>(made.first()));
    message.setEscapeButton(made.last());
    message.exec();
    for (int i = 0; i < made.size(); ++i)
        if (message.clickedButton() == made.at(i))
            return specs.at(i).answer;
    return specs.last().answer;
}

int Show(const QString& title, const QString& text, Icon icon, Buttons buttons) {
    Box box;
    box.title = title;
    box.text = text;
    box.icon = icon;
    box.buttons = buttons;
    return Show(box);
}

QString GetFileName(const FileDialog& dialog) {
    if (fileHandler())
        return fileHandler()(dialog);
    if (boxLogMode()) {
        appendToBoxLog(QStringLiteral("FILE"), dialog.title, dialog.fileName);
        return QString();
    }
    QFileDialog chooser(QApplication::activeWindow(), dialog.title, dialog.folder, dialog.filter);
    chooser.setAcceptMode(dialog.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    chooser.setFileMode(dialog.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program refuses existing names itself, with its own message.
    chooser.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!dialog.defaultSuffix.isEmpty())
        chooser.setDefaultSuffix(dialog.defaultSuffix);
    if (!dialog.fileName.isEmpty())
        chooser.selectFile(dialog.fileName);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return QString();
    return chooser.selectedFiles().first();
}

bool ChoosePrinter(QPrinter& printer, const PrintDialog& dialog) {
    if (printHandler())
        return printHandler()(printer, dialog);
    if (boxLogMode()) {
        appendToBoxLog(QStringLiteral("PRINT"), dialog.title, QString());
        return false;
    }
    QPrintDialog chooser(&printer, QApplication::activeWindow());
    chooser.setWindowTitle(dialog.title);
    chooser.setMinMax(dialog.minPage, dialog.maxPage);
    chooser.setFromTo(dialog.minPage, dialog.maxPage);
    chooser.setOption(QAbstractPrintDialog::PrintPageRange, true);
    chooser.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    chooser.setOption(QAbstractPrintDialog::PrintToFile, true);
    return chooser.exec() == QDialog::Accepted;
}

void SetPrintHandler(PrintHandler handler) {
    printHandler() = std::move(handler);
}

void SetBoxHandler(BoxHandler handler) {
    boxHandler() = std::move(handler);
}
void SetFileHandler(FileHandler handler) {
    fileHandler() = std::move(handler);
}
BoxHandler CurrentBoxHandler() {
    return boxHandler();
}
FileHandler CurrentFileHandler() {
    return fileHandler();
}
PrintHandler CurrentPrintHandler() {
    return printHandler();
}

} // namespace Boxes
