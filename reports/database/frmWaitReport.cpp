#include "frmWaitReport.h"

#include "BusyPointer.h"
#include "ui_frmWaitReport.h"

#include "mCustomReport.h"
#include "mErrorHandler.h"
#include "mGlobals.h"

#include <QApplication>

frmWaitReport::frmWaitReport(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmWaitReport>()) {
    ui->setupUi(this);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmWaitReport::reject);
    tmrStart.setObjectName(QStringLiteral("tmrStart"));
    tmrStart.setSingleShot(true);
    tmrStart.setInterval(500);
    connect(&tmrStart, &QTimer::timeout, this, &frmWaitReport::tmrStart_Timer);
    ok = false;
    tmrStart.start();
}

frmWaitReport::~frmWaitReport() = default;

void frmWaitReport::SetRange(const QString& start, const QString& end) {
    startText = start;
    endText = end;
}

QLabel* frmWaitReport::lblResult() const {
    return ui->lblResult;
}

QProgressBar* frmWaitReport::prgProgress() const {
    return ui->prgProgress;
}

void frmWaitReport::tmrStart_Timer() {
    tmrStart.stop();
    GoProcessData();
}

void frmWaitReport::GoProcessData() {
    QCoreApplication::processEvents();
    if (cancelled)
        return;
    copying = true;
    try {
        qint64 copied = 0;
        {
            const BusyPointer hourglass; // while the copy runs, whatever way it ends
            // The window is modal: between the days only its own Cancel can be pressed.
            copied = CopyCustomRows(*gConn, startText, endText, this);
        }
        copying = false;
        if (copied < 0) {
            QDialog::reject();
        } else if (copied == 0) {
            ShowResult(Translate(QStringLiteral("No Data on the report")));
        } else {
            ok = true;
            accept();
        }
    } catch (const AppError& e) {
        copying = false;
        if (e.number > 0)
            HandleError(QStringLiteral("GoProcessData of Form frmWaitReport"), e, true);
        ShowResult(Translate(QStringLiteral("The report could not be generated.")));
    }
}

bool frmWaitReport::Step(qint64 permille) {
    ui->prgProgress->setValue(int(permille));
    QCoreApplication::processEvents();
    return !cancelled;
}

void frmWaitReport::ShowResult(const QString& text) {
    // Nothing runs any more: no "Please wait" beside the result.
    ui->lblWait->hide();
    ui->prgProgress->hide();
    ui->lblResult->setText(text);
}

void frmWaitReport::reject() {
    ok = false;
    cancelled = true;
    tmrStart.stop();
    if (!copying)
        QDialog::reject();
}
