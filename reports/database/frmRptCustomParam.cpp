#include "frmRptCustomParam.h"

#include "ui_frmRptCustomParam.h"

#include "ReportFrame.h"
#include "ReportRange.h"
#include "ReportSource.h"
#include "cWorkProgress.h"
#include "darCustom.h"
#include "frmWaitReport.h"
#include "mCustomReport.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

const QString kShowReportLabel = QStringLiteral("ShowReport of Form frmRptCustomParam");

// The copied rows serve one printing: the table is emptied however the printing ends, so a
// year of rows does not stay in the file. That takes seconds for a year: after the first
// second it shows its progress.
class CustomRowsOfOnePrinting {
    // The removal's progress, shown after its first second.
    class Removal : public WorkObserver {
    public:
        Removal() { since.start(); }
        void Stage(const QString&, qint64, bool) override {}
        bool Step(qint64 permille) override {
            if (!shown && since.elapsed() >= 1000) {
                shown =
                    std::make_unique<cWorkProgress>(Translate(QStringLiteral("Database Report")));
                shown->Stage(Translate(QStringLiteral("Removing the report's rows...")), 1000,
                             false);
            }
            if (shown)
                shown->Step(permille);
            else
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        }

    private:
        QElapsedTimer since;
        std::unique_ptr<cWorkProgress> shown;
    };

public:
    CustomRowsOfOnePrinting() = default;
    ~CustomRowsOfOnePrinting() {
        Removal removal;
        try {
            EmptyCustomTable(*gConn, &removal);
        } catch (const AppError& e) {
            HandleError(kShowReportLabel, e, false);
        }
    }
    CustomRowsOfOnePrinting(const CustomRowsOfOnePrinting&) = delete;
    CustomRowsOfOnePrinting& operator=(const CustomRowsOfOnePrinting&) = delete;
};

} // namespace

frmRptCustomParam::frmRptCustomParam(cReportHost& reportHost, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmRptCustomParam>()), host(reportHost) {
    ui->setupUi(this);
    connect(ui->cmdPreset_0, &QPushButton::clicked, this, [this] { cmdPreset_Click(0); });
    connect(ui->cmdPreset_1, &QPushButton::clicked, this, [this] { cmdPreset_Click(1); });
    connect(ui->cmdPreset_2, &QPushButton::clicked, this, [this] { cmdPreset_Click(2); });
    connect(ui->cmdPrintPreview, &QPushButton::clicked, this,
            &frmRptCustomParam::cmdPrintPreview_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

frmRptCustomParam::~frmRptCustomParam() = default;

void frmRptCustomParam::Form_Load() {
    const QDate today = QDate::currentDate();
    ui->dtpStartDate->setDate(today);
    ui->dtpEndDate->setDate(today);
    ui->dtpStartTime->setTime(QTime(0, 0, 0));
    ui->dtpEndTime->setTime(QTime(23, 59, 59));
}

void frmRptCustomParam::cmdPreset_Click(int index) {
    const int days = PresetDays(index);
    if (days < 0)
        return;
    const QDate today = QDate::currentDate();
    ui->dtpStartDate->setDate(today.addDays(-days));
    ui->dtpEndDate->setDate(today);
    ui->dtpStartTime->setTime(QTime(0, 0, 0));
    ui->dtpEndTime->setTime(QTime(23, 59, 59));
    ShowReport();
}

void frmRptCustomParam::cmdPrintPreview_Click() {
    ShowReport();
}

void frmRptCustomParam::ShowReport() {
    try {
        // The seconds of the pickers are dropped: the end 23:59:59 asks up to 23:59:00.
        const QDateTime start = RangeMoment(ui->dtpStartDate->date(), ui->dtpStartTime->time());
        const QDateTime end = RangeMoment(ui->dtpEndDate->date(), ui->dtpEndTime->time());
        bool copied = false;
        {
            frmWaitReport wait(this);
            wait.SetRange(SqlDateTimeFmt(start), SqlDateTimeFmt(end));
            wait.exec();
            copied = wait.OK();
        }
        if (!copied)
            return;
        const CustomRowsOfOnePrinting emptiedAfterwards;
        darCustom layout;
        layout.SetReportParam(Translate(QStringLiteral("Database Report")),
                              DateRangeText(start, end), CompanyText());
        const ReportTexts shared = SharedReportTexts();
        layout.SetText(shared.MyPrintDate, shared.MyPageHeader, shared.MyPageNumber,
                       Translate(QStringLiteral("Date / Time")), Translate(QStringLiteral("ID")),
                       Translate(QStringLiteral("Button Name")),
                       Translate(QStringLiteral("Group Name")), Translate(QStringLiteral("Type")),
                       shared.EndOfReport);
        ReportTableSource rows(*gConn, QLatin1String(kCustomTable));
        ::ShowReport(layout, rows, host);
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(kShowReportLabel, e, true);
    }
}

std::unique_ptr<QDialog> MakeCustomReportDialog(cReportHost& host, const QString& caption) {
    auto dialog = std::make_unique<frmRptCustomParam>(host);
    dialog->setWindowTitle(caption);
    return dialog;
}
