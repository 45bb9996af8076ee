#include "frmRptIncidentParam.h"

#include "BusyPointer.h"
#include "mGroupTypes.h"
#include "ui_frmRptIncidentParam.h"

#include "Database.h"
#include "ReportFrame.h"
#include "ReportPreview.h"
#include "ReportRange.h"
#include "darIncidentOld.h"
#include "incident/mIncidentTexts.h"
#include "mDeclareAPI.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mIncidentSites.h"

#include <QApplication>

frmRptIncidentParam::frmRptIncidentParam(cReportHost& reportHost, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmRptIncidentParam>()), host(reportHost) {
    ui->setupUi(this);
    connect(ui->cmdPrintPreview, &QPushButton::clicked, this,
            &frmRptIncidentParam::cmdPrintPreview_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

frmRptIncidentParam::~frmRptIncidentParam() {
    SetBusy(false);
}

void frmRptIncidentParam::Form_Load() {
    const QString datePattern = GetShortDateFormat();
    ui->dtpStartDate->setDisplayFormat(datePattern);
    ui->dtpEndDate->setDisplayFormat(datePattern);
    ui->dtpStartDate->setDate(QDate::currentDate());
    ui->dtpEndDate->setDate(QDate::currentDate());
    ui->dtpStartTime->setTime(QTime(0, 0));
    ui->dtpEndTime->setTime(QTime(23, 59, 59));
    LoadFilterLists();
}

void frmRptIncidentParam::LoadFilterLists() {
    const QString all = Translate(QStringLiteral("All"));

    const DbRows events = gConn->Query(
        QStringLiteral(
            "SELECT tblButtons.ID, tblButtons.lParentID, tblButtons.tButtonCode, "
            "tblButtons.tButtonName, tblListItems.wType, tblListItems.tName FROM tblButtons "
            "INNER JOIN tblListItems ON tblButtons.lParentID = tblListItems.ID "
            "WHERE tblListItems.wType = ? ORDER BY tblButtons.tButtonName, tblButtons.ID"),
        {GroupTypeEventBook});
    ui->cboEvent->clear();
    ui->cboEvent->addItem(all, -1);
    for (const DbRow& row : events)
        ui->cboEvent->addItem(row.text(QStringLiteral("tButtonName")),
                              row.integer(QStringLiteral("ID")));
    ui->cboEvent->setCurrentIndex(0);

    const DbRows sites = gConn->Query(
        QStringLiteral("SELECT ID, tName FROM tblListItems WHERE wType = ? ORDER BY tName, ID"),
        {GroupTypeSite});
    ui->cboSite->clear();
    ui->cboSite->addItem(all, -1);
    for (const DbRow& row : sites)
        ui->cboSite->addItem(row.text(QStringLiteral("tName")), row.integer(QStringLiteral("ID")));
    ui->cboSite->setCurrentIndex(0);

    const DbRows readers = gConn->Query(
        QStringLiteral("SELECT tReaderId, tDescription FROM tblReaders ORDER BY tReaderId"));
    ReaderIds.clear();
    ui->cboReader->clear();
    ui->cboReader->addItem(all, -1);
    const QString unnamed = Translate(QStringLiteral("Reader"));
    for (const DbRow& row : readers) {
        const int position = int(ReaderIds.size());
        ReaderIds << row.text(QStringLiteral("tReaderId"));
        QString text = row.text(QStringLiteral("tDescription"));
        if (text.isEmpty())
            text = unnamed + QLatin1Char(' ') + QString::number(position + 1);
        ui->cboReader->addItem(text, position);
    }
    ui->cboReader->setCurrentIndex(0);
}

void frmRptIncidentParam::SetBusy(bool nowBusy) {
    if (!nowBusy)
        hourglass.reset();
    else if (!hourglass)
        hourglass.emplace();
    ui->cmdCancel->setEnabled(!nowBusy);
    ui->cmdPrintPreview->setEnabled(!nowBusy);
}

void frmRptIncidentParam::cmdPrintPreview_Click() {
    try {
        SetBusy(true);
        repaint();
        const QDateTime start = RangeMoment(ui->dtpStartDate->date(), ui->dtpStartTime->time());
        const QDateTime end = RangeEnd(ui->dtpEndDate->date(), ui->dtpEndTime->time());
        const qint64 eventId = ui->cboEvent->currentData().toLongLong();
        const qint64 siteId = ui->cboSite->currentData().toLongLong();
        const qint64 readerKey = ui->cboReader->currentData().toLongLong();
        const QString readerId = readerKey >= 0 && readerKey < ReaderIds.size()
                                     ? ReaderIds.at(int(readerKey))
                                     : QString();
        CreateTempIncidentTable();
        std::unique_ptr<DbCursor> events = OpenIncidentEvents(start, end, readerId);
        BuildIncidentReport_ORIGINAL(*events, start, end, eventId, ui->cboEvent->currentText(),
                                     siteId, ui->cboSite->currentText(), readerId,
                                     ui->cboReader->currentText());
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("cmdPrintPreview_Click of Form frmRptIncidentParam"), e,
                        true);
        SetBusy(false);
    }
}

void frmRptIncidentParam::BuildIncidentReport_ORIGINAL(
    DbCursor& EventsRecordset, const QDateTime& StartDate, const QDateTime& EndDate, qint64 EventId,
    const QString& EventName, qint64 SiteId, const QString& SiteName, const QString& ReaderId,
    const QString& ReaderName) {
    try {
        SetBusy(true);
        qint64 written = 0;
        {
            ReportProgress progress(Translate(QStringLiteral("Preparing the report...")), this);
            written = WriteTempIncidentRows(EventsRecordset, {EventId, SiteId, ReaderId},
                                            CountIncidentEvents(StartDate, EndDate, ReaderId),
                                            progress.Callback());
        }
        // No statement may stay open on the touches while the preview runs.
        EventsRecordset.Close();
        if (written == 0)
            gTranslator->IvMessageBox(QStringLiteral("No Data on the report"), QString(),
                                      IvBox::Warning, IvBox::Ok, 0);
        if (written <= 0) {
            SetBusy(false);
            return;
        }

        darIncidentOld layout;
        const QString separator = QStringLiteral("   ");
        layout.SetReportParam(
            PrintDateText(separator), Translate(QStringLiteral("Incidents And Locations Report")),
            DateAndTimeText(StartDate, separator), DateAndTimeText(EndDate, separator),
            CompanyText(), EventName, ReaderName, SiteName);
        const ReportTexts shared = SharedReportTexts();
        const QString colon = QStringLiteral(" : ");
        layout.SetText(
            shared.MyPrintDate, shared.MyPageHeader, shared.MyPageNumber,
            Translate(QStringLiteral("Event")) + colon, Translate(QStringLiteral("Reader")) + colon,
            Translate(QStringLiteral("Site")) + colon, Translate(QStringLiteral("From:")),
            Translate(QStringLiteral("To:")), Translate(QStringLiteral("Date / Time")),
            Translate(QStringLiteral("Reader Name")), Translate(QStringLiteral("Site")),
            Translate(QStringLiteral("Location")), Translate(QStringLiteral("Incident")),
            shared.EndOfReport);
        // The pointer is the default again while the user reads the preview.
        hourglass.reset();
        {
            ReportTableSource rows(*gConn, QStringLiteral("tblTempIncident"));
            ShowReport(layout, rows, host);
        }
        SetBusy(false);
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("BuildIncidentReport_ORIGINAL of Form frmRptIncidentParam"),
                        e, true);
        SetBusy(false);
    }
}

void frmRptIncidentParam::done(int result) {
    DropTempIncidentTable();
    QDialog::done(result);
}

std::unique_ptr<QDialog> MakeIncidentSitesDialog(cReportHost& host, const QString& caption) {
    auto dialog = std::make_unique<frmRptIncidentParam>(host);
    dialog->setWindowTitle(caption);
    return dialog;
}
