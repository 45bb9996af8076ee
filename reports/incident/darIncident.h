#pragma once

#include "ReportLayout.h"

// The incident report's layout: one detail line per row of tblReportTemp, Field0 the heading
// of an incident button's section, Field1 and Field2 an incident (time; location, site and
// reader). A heading row fills only Field0 and an incident row only Field1 and Field2, so the
// overlapping fields never print over each other.
class darIncident : public ReportLayout {
public:
    darIncident();

    void SetReportParam(const QString& PrintDate, const QString& ReportTitle,
                        const QString& StartDate, const QString& EndDate,
                        const QString& CompanyInfo);
    void SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                 const QString& MyPageNumber, const QString& TitleFrom, const QString& TitleTo,
                 const QString& EndOfReport);
};
