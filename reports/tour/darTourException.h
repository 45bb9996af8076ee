#pragma once

#include "ReportLayout.h"

// The layout of the tour / exception report, bound to the rows of tblXXXException.
class darTourException : public ReportLayout {
public:
    darTourException();

    void SetReportParam(const QString& PrintDate, const QString& StartDate, const QString& TourDesc,
                        const QString& ReaderId, const QString& ReportTitle,
                        const QString& TourTolerance, const QString& CompanyInfo,
                        const QString& Options);
    void SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                 const QString& MyPageNumber, const QString& ReaderId, const QString& TourDate,
                 const QString& TourName, const QString& TourTolerance,
                 const QString& DefinedTourTime, const QString& Site,
                 const QString& ActualTimeStatus, const QString& EndOfReport,
                 const QString& ShowEvents);
};
