#pragma once

#include "ReportLayout.h"

// The patrol schedule's layout: the tour's name, description and tolerance in the page
// header, one line per row of tblXXXPatrol (number, due time and window, site, location).
class darPatrolSchedule : public ReportLayout {
public:
    darPatrolSchedule();

    void SetReportParam(const QString& ReportTitle, const QString& TourName,
                        const QString& TourDesc, qint16 Tolerance, const QString& CompanyInfo);
    void SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                 const QString& MyPageNumber, const QString& TourName, const QString& TourDesc,
                 const QString& TourTolerance, const QString& ItemNo, const QString& ItemTime,
                 const QString& ItemSite, const QString& ItemLocation, const QString& EndOfReport);
};
