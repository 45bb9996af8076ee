#include "cWorkProgress.h"

#include "mGlobals.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QProgressDialog>
#include <QPushButton>

namespace {
constexpr int kScale = 1000;
constexpr int kUpdateMs = 50;
} // namespace

// Escape and the close box count as Cancel, and only while the work may stop; otherwise the
// dialog stays, so that it keeps the other windows from the user's input.
class cWorkProgressDialog : public QProgressDialog {
public:
    cWorkProgressDialog(QWidget* parent, const bool& cancellable)
        : QProgressDialog(parent), cancellable(cancellable) {}

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

cWorkProgress::cWorkProgress(const QString& title, QWidget* parent)
    : dialog(std::make_unique<cWorkProgressDialog>(parent, cancellable)) {
    dialog->setObjectName(QStringLiteral("dlgWorkProgress"));
    dialog->setWindowTitle(title);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(0);
    dialog->setMinimumWidth(420);
    auto* cancel = new QPushButton(Translate(QStringLiteral("&Cancel")));
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    dialog->setCancelButton(cancel);
    dialog->setRange(0, 0);
    QObject::connect(dialog.get(), &QProgressDialog::canceled, dialog.get(), [this] {
        if (cancellable)
            cancelled = true;
    });
    dialog->show();
    sinceUpdate.start();
}

cWorkProgress::~cWorkProgress() {
    dialog->hide();
}

void cWorkProgress::SetText(const QString& text) {
    dialog->setLabelText(text);
    update(true);
}

void cWorkProgress::SetTotal(qint64 value) {
    total = qMax<qint64>(0, value);
    dialog->setRange(0, total > 0 ? kScale : 0);
    update(true);
}

void cWorkProgress::SetCancellable(bool value) {
    cancellable = value;
    if (auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel")))
        cancel->setEnabled(value);
}

void cWorkProgress::Stage(const QString& text, qint64 stageTotal, bool stageCancellable) {
    SetCancellable(stageCancellable);
    lastDone = 0;
    dialog->setLabelText(text);
    SetTotal(stageTotal);
}

bool cWorkProgress::Step(qint64 done) {
    lastDone = done;
    // The bar moves a thousand times at most, whatever the number of steps.
    if (total > 0)
        dialog->setValue(int(qMin<qint64>(lastDone, total) * kScale / total));
    update(!updated);
    return !cancelled;
}

void cWorkProgress::update(bool force) {
    if (!force && sinceUpdate.elapsed() < kUpdateMs)
        return;
    updated = true;
    if (total > 0)
        dialog->setValue(int(qMin<qint64>(lastDone, total) * kScale / total));
    // The dialog is modal: input reaches only its Cancel.
    QCoreApplication::processEvents();
    sinceUpdate.restart();
}
