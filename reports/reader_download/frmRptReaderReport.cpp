#include "frmRptReaderReport.h"

#include "ui_frmRptReaderReport.h"

#include "ReportRange.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mReaderReport.h"

namespace {

const QString kSeparator = QStringLiteral(" - ");

} // namespace

frmRptReaderReport::frmRptReaderReport(cReportHost& reportHost, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmRptReaderReport>()), host(reportHost) {
    ui->setupUi(this);
    connect(ui->cmdReset, &QPushButton::clicked, this, &frmRptReaderReport::cmdReset_Click);
    connect(ui->cmdPrintPreview, &QPushButton::clicked, this,
            &frmRptReaderReport::cmdPrintPreview_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->imgcboReader, qOverload<int>(&QComboBox::activated), this,
            [this] { GetSelectedReader(); });
    Form_Load();
}

frmRptReaderReport::~frmRptReaderReport() = default;

void frmRptReaderReport::Form_Load() {
    cmdReset_Click();
    FillReaderList();
    GetSelectedReader();
}

void frmRptReaderReport::FillReaderList() {
    ui->imgcboReader->clear();
    try {
        const DbRows rows = gConn->Query(
            QStringLiteral("SELECT * FROM tblReaders ORDER BY tDescription, tReaderId"));
        for (const DbRow& row : rows) {
            const QString id = row.text(QStringLiteral("tReaderId"));
            ui->imgcboReader->addItem(id + kSeparator + row.text(QStringLiteral("tDescription")),
                                      id);
        }
    } catch (const AppError& e) {
        // The dialog stays usable for Cancel; with no reader listed nothing can be asked for.
        ui->imgcboReader->clear();
        HandleError(QStringLiteral("FillReaderList of Form frmRptReaderReport"), e, false);
    }
    const bool any = ui->imgcboReader->count() > 0;
    ui->imgcboReader->setEnabled(any);
    ui->cmdPrintPreview->setEnabled(any);
    if (any)
        ui->imgcboReader->setCurrentIndex(0);
}

void frmRptReaderReport::GetSelectedReader() {
    if (ui->imgcboReader->count() == 0 || ui->imgcboReader->currentIndex() < 0) {
        readerId.clear();
        readerDesc.clear();
        return;
    }
    const QString text = ui->imgcboReader->currentText();
    readerId = ui->imgcboReader->currentData().toString();
    const int at = text.indexOf(kSeparator);
    readerDesc = at < 0 ? QString() : text.mid(at + kSeparator.size());
}

void frmRptReaderReport::cmdReset_Click() {
    const QDate today = QDate::currentDate();
    ui->dtpStartDate->setDate(today);
    ui->dtpEndDate->setDate(today);
    ui->dtpStartTime->setTime(QTime(0, 0, 0));
    ui->dtpEndTime->setTime(QTime(23, 59, 59));
}

void frmRptReaderReport::cmdPrintPreview_Click() {
    try {
        GetSelectedReader();
        if (ui->imgcboReader->count() == 0)
            return;
        startDate = RangeMoment(ui->dtpStartDate->date(), ui->dtpStartTime->time());
        endDate = RangeMoment(ui->dtpEndDate->date(), ui->dtpEndTime->time());
        if (startDate <= endDate)
            ReportReaderReport(startDate, endDate, readerId, readerDesc, host);
        else
            gTranslator->IvMessageBox(
                Translate(QStringLiteral("The start date cannot be later than the end date")),
                QString(), IvBox::Warning, IvBox::Ok, 0);
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("cmdPrintPreview_Click of Form frmRptReaderReport"), e,
                        false);
    }
}

std::unique_ptr<QDialog> MakeReaderReportDialog(cReportHost& host, const QString& caption) {
    auto dialog = std::make_unique<frmRptReaderReport>(host);
    dialog->setWindowTitle(caption);
    return dialog;
}
