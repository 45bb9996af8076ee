#pragma once

#include "ReportLayout.h"

// The incidents-and-locations report's layout: the filters and the range in the page
// header, one line per row of tblTempIncident (date, time, reader, site, location, incident).
class darIncidentOld : public ReportLayout {
public:
    darIncidentOld();

    void SetReportParam(const QString& PrintDate, const QString& ReportTitle,
                        const QString& StartDate, const QString& EndDate,
                        const QString& CompanyInfo, const QString& EventFilter,
                        const QString& ReaderFilter, const QString& SiteFilter);
    void SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                 const QString& MyPageNumber, const QString& FilterEvent,
                 const QString& FilterReader, const QString& FilterSite, const QString& TitleFrom,
                 const QString& TitleTo, const QString& DateTime, const QString& ReaderName,
                 const QString& Site, const QString& Location, const QString& Incident,
                 const QString& EndOfReport);
};
