#include "mTourReportOutput.h"

#include "ReportFrame.h"
#include "ReportSource.h"
#include "cTourReportRows.h"
#include "darTourException.h"
#include "frmRptTour.h"
#include "mGlobals.h"

void ShowTourReport(const TourReportHeader& h, cReportHost& host) {
    darTourException layout;
    layout.SetReportParam(h.PrintDate, h.StartDate, h.TourDesc, h.ReaderId, h.ReportTitle,
                          h.TourTolerance, h.CompanyInfo, h.Options);
    layout.SetText(h.MyPrintDate, h.MyPageHeader, h.MyPageNumber, h.ReaderIdTitle, h.TourDate,
                   h.TourName, h.TourToleranceTitle, h.DefinedTourTime, h.Site, h.ActualTimeStatus,
                   h.EndOfReport, h.ShowEvents);
    ReportTableSource rows(*gConn, QString::fromLatin1(cTourReportRows::TableName));
    ShowReport(layout, rows, host);
}

std::unique_ptr<QDialog> MakeTourReportDialog(cReportHost& host, const QString& caption) {
    auto dialog = std::make_unique<frmRptTour>(
        [&host](const TourReportHeader& header) { ShowTourReport(header, host); });
    dialog->setTitle(caption);
    return dialog;
}
