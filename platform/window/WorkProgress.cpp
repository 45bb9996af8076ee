#include "WorkProgress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QProgressDialog>
#include <QPushButton>

namespace {

constexpr int kScale = 1000;
constexpr int kUpdateMs = 50;

// Escape and the close box count as Cancel, and only while the work may stop; otherwise the
// dialog stays, so that it keeps the other windows from the user's input.
class WorkProgressDialog : public QProgressDialog {
public:
    WorkProgressDialog(QWidget* parent, const bool& mayCancel)
        : QProgressDialog(parent), cancellable(mayCancel) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        if (cancellable)
            QProgressDialog::closeEvent(event);
        else
            event->ignore();
    }
    void reject() override {
        if (cancellable)
            emit canceled();
    }

private:
    const bool& cancellable;
};

} // namespace

WorkProgress::WorkProgress(const Look& look, QWidget* parent)
    : dialog(new WorkProgressDialog(parent, cancellable)) {
    dialog->setObjectName(look.objectName);
    dialog->setWindowTitle(look.title);
    dialog->setLabelText(look.text);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(look.showAfterMs);
    dialog->setMinimumWidth(420);
    auto* cancel = new QPushButton(look.cancelText);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    dialog->setCancelButton(cancel);
    dialog->setRange(0, 0);
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, [this] {
        if (cancellable)
            cancelled = true;
    });
    if (look.showAfterMs <= 0)
        dialog->show();
    else
        dialog->setValue(0); // from here the dialog counts the time until it shows
    sinceUpdate.start();
}

WorkProgress::~WorkProgress() {
    delete dialog.data();
}

void WorkProgress::SetText(const QString& text) {
    if (dialog)
        dialog->setLabelText(text);
    update(true);
}

void WorkProgress::SetTotal(qint64 value) {
    total = qMax<qint64>(0, value);
    if (dialog)
        dialog->setRange(0, total > 0 ? kScale : 0);
    update(true);
}

void WorkProgress::SetCancellable(bool value) {
    cancellable = value;
    if (!dialog)
        return;
    if (auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel")))
        cancel->setEnabled(value);
}

void WorkProgress::Stage(const QString& text, qint64 stageTotal, bool stageCancellable) {
    SetCancellable(stageCancellable);
    lastDone = 0;
    if (dialog)
        dialog->setLabelText(text);
    SetTotal(stageTotal);
}

bool WorkProgress::Step(qint64 done) {
    lastDone = done;
    update(!updated);
    // The dialog's cancel() (a script, an assistive client) sets only its own flag.
    if (cancellable && dialog && dialog->wasCanceled())
        cancelled = true;
    return !cancelled;
}

std::function<bool(qint64, qint64)> WorkProgress::Callback() {
    return [this](qint64 done, qint64 newTotal) {
        if (qMax<qint64>(0, newTotal) != total)
            SetTotal(newTotal);
        return Step(done);
    };
}

void WorkProgress::update(bool force) {
    // The bar moves a thousand times at most, whatever the number of steps.
    if (dialog && total > 0)
        dialog->setValue(int(qMin<qint64>(lastDone, total) * kScale / total));
    if (!force && sinceUpdate.elapsed() < kUpdateMs)
        return;
    updated = true;
    // Once shown the dialog is modal: input reaches only its Cancel.
    QCoreApplication::processEvents(
        dialog && dialog->isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    sinceUpdate.restart();
}
