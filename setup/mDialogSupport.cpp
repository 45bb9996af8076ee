#include "mDialogSupport.h"

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
    gTranslator->IvMessageBox(translatedText, QString(), 0, 4, 0);
}

void FocusAndSelect(QLineEdit* box) {
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
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
