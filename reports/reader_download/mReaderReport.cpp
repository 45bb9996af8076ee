#include "mReaderReport.h"

#include "ReportFrame.h"
#include "ReportRange.h"
#include "ReportSource.h"
#include "darReaderUpload.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mSupport.h"

#include <QCoreApplication>

namespace {

const QString kColumns = QStringLiteral(
    "SELECT ID, dtDLDateTime, dtDateTime, tButtonCode, tButtonDesc, tButtonName, tGroupDesc, "
    "tGroupName, tPipeID FROM tblEvents ");
const QString kRange = QStringLiteral("WHERE tPipeID = ? AND dtDateTime >= ? AND dtDateTime <= ? ");

// One query answered from the (tPipeID, dtDateTime) index, without reading the rows.
bool HasTouches(const QVariantList& params) {
    return gConn
        ->Query(QStringLiteral("SELECT EXISTS (SELECT 1 FROM tblEvents ") + kRange +
                    QStringLiteral(") AS found"),
                params)
        .first()
        .integer(QStringLiteral("found"));
}

} // namespace

QString ReaderReportSql() {
    return kColumns + kRange + QStringLiteral("ORDER BY dtDLDateTime, dtDateTime, ID");
}

QString ReaderReportRowSql() {
    return kColumns + QStringLiteral("WHERE ID = ?");
}

QVariantList ReaderReportParams(const QDateTime& StartDate, const QDateTime& EndDate,
                                const QString& ReaderId) {
    return {ReaderId, SqlDateTimeFmt(StartDate), SqlDateTimeFmt(EndDate)};
}

void ReportReaderReport(const QDateTime& StartDate, const QDateTime& EndDate,
                        const QString& ReaderId, const QString& ReaderDesc, cReportHost& host) {
    try {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const QVariantList params = ReaderReportParams(StartDate, EndDate, ReaderId);
        if (!HasTouches(params)) {
            gTranslator->IvMessageBox(
                Translate(QStringLiteral("There is no data to show for these parameters")),
                QString(), IvBox::Warning, IvBox::Ok, 0);
            return;
        }
        darReaderUpload layout;
        layout.SetReportParam(Translate(QStringLiteral("Reader Download Report")), CompanyText(),
                              ReaderId, ReaderDesc, DateRangeText(StartDate, EndDate));
        const ReportTexts shared = SharedReportTexts();
        layout.SetText(shared.MyPrintDate, shared.MyPageHeader, shared.MyPageNumber,
                       Translate(QStringLiteral("Reader ID:")),
                       Translate(QStringLiteral("Download Time:")),
                       Translate(QStringLiteral("Date / Time")), Translate(QStringLiteral("Code")),
                       Translate(QStringLiteral("Name")), Translate(QStringLiteral("Description")),
                       Translate(QStringLiteral("Group")), shared.EndOfReport);
        ReportQuerySource rows(*gConn, ReaderReportSql(), params, ReaderReportRowSql());
        ShowReport(layout, rows, host);
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("ReportReaderReport of Form frmRptReaderReport"), e, true);
    }
}
