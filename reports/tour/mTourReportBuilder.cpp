#include "mTourReportBuilder.h"

#include "ReportFrame.h"
#include "cTourReport.h"
#include "cTourReportRows.h"
#include "mDeclareAPI.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mTourAnalysis.h"

#include <QLocale>
#include <new>

namespace {

// The box translates what it is given; a tagged message is already translated.
void tell(const QString& text) {
    gTranslator->IvMessageBox(text, QString(), IvBox::Warning, IvBox::Ok, 0);
}

TourReportHeader headerOf(const cTourReport& tour, const TourReportRequest& request) {
    TourReportHeader h;
    h.PrintDate = PrintDateText(QStringLiteral("    ")); // four blanks in this report
    h.StartDate = QLocale().toString(request.StartDate, GetShortDateFormat());
    h.TourDesc = tour.GetTourFullName();
    h.ReaderId = request.ReaderName;
    h.ReportTitle = GetReportTitle(request.IsTourReport);
    h.TourTolerance = QString::number(tour.Tolerance());
    h.CompanyInfo =
        QStringList{gCompanyInfo[1], gCompanyInfo[2], gCompanyInfo[3], gCompanyInfo[4]}.join(
            QStringLiteral("\r\n"));
    h.Options =
        request.ShowEvents ? Translate(QStringLiteral("Yes")) : Translate(QStringLiteral("No"));
    const ReportTexts shared = SharedReportTexts();
    h.MyPrintDate = shared.MyPrintDate;
    h.MyPageHeader = shared.MyPageHeader;
    h.MyPageNumber = shared.MyPageNumber;
    h.ReaderIdTitle = Translate(QStringLiteral("Reader ID:"));
    h.TourDate = Translate(QStringLiteral("Tour Date:"));
    h.TourName = Translate(QStringLiteral("Tour Name:"));
    h.TourToleranceTitle = Translate(QStringLiteral("Tolerance (min):"));
    h.DefinedTourTime = Translate(QStringLiteral("Time"));
    h.Site = Translate(QStringLiteral("Site/Location"));
    h.ActualTimeStatus = Translate(QStringLiteral("Status"));
    h.EndOfReport = shared.EndOfReport;
    h.ShowEvents = Translate(QStringLiteral("Show Events:"));
    return h;
}

void build(const TourReportRequest& request, const TourReportPreview& preview,
           cTourReportRows& table) {
    cTourReport tour;
    tour.setTourID(request.TourID);
    tour.setStartDate(request.StartDate);
    tour.setReaderId(request.ReaderId);
    if (!tour.LoadTourHeader())
        return tell(TourErrorMessage(QStringLiteral("<ERROR #0001>")));
    if (!tour.LoadTourPoints())
        return tell(TourErrorMessage(QStringLiteral("<ERROR #0002>")));
    if (!tour.LoadReaderEvents()) {
        // Without touches the loader has told the user already; a failed load has not.
        if (tour.LoadFailed())
            tell(TourErrorMessage(QStringLiteral("<ERROR #9999>")));
        return;
    }
    if (tour.Buttons().Count() == 0)
        return tell(QStringLiteral("No Data on the report"));
    if (!TryToMatchTourPoints(tour))
        return tell(TourErrorMessage(QStringLiteral("<ERROR #0004>")));
    if (!table.ResetTempTourTable())
        return tell(TourErrorMessage(QStringLiteral("<ERROR #0005>")));
    TourRows rows;
    if (WalkTourPoints(tour, request.ShowEvents, request.IsTourReport, rows) ==
        TourWalk::NeighboursFailed)
        return tell(TourErrorMessage(QStringLiteral("<ERROR #0006>")));
    table.Write(rows);
    // Committed before the preview: no write transaction is held while the user reads.
    table.Commit();
    preview(headerOf(tour, request));
}

} // namespace

QString TourErrorMessage(const QString& tag) {
    return Translate(QStringLiteral("Error in creating new Tour")) + QStringLiteral("\r\n") + tag;
}

void BuildTourReport(const TourReportRequest& request, const TourReportPreview& preview) {
    cTourReportRows table(*gConn);
    try {
        build(request, preview, table);
    } catch (const AppError& e) {
        table.DropTable();
        if (e.number > 0)
            HandleError(QStringLiteral("BuildTourReport of Form frmRptTour"), e, false);
        tell(TourErrorMessage(QStringLiteral("<ERROR #9999>")));
    } catch (const std::bad_alloc&) {
        table.DropTable();
        HandleError(QStringLiteral("BuildTourReport of Form frmRptTour"),
                    AppError(7, QStringLiteral("Out of memory")), false);
        tell(TourErrorMessage(QStringLiteral("<ERROR #9999>")));
    }
}
