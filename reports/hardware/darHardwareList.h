#pragma once

#include "ReportLayout.h"

// The hardware list's layout: one line per row of tblReportTemp; headings and rules in the
// first column, groups in the second, buttons and readers indented under them with their
// codes on the right.
class darHardwareList : public ReportLayout {
public:
    darHardwareList();

    void SetReportParam(const QString& ReportTitle, const QString& CompanyInfo);
    void SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                 const QString& MyPageNumber, const QString& Description,
                 const QString& HardwareCode, const QString& EndOfReport);
};
