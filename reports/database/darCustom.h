#pragma once

#include "ReportLayout.h"

// The database report: one line per touch of tblCustom with its date, time, button code,
// button name, group name and type.
class darCustom : public ReportLayout {
public:
    darCustom();

    void SetReportParam(const QString& ReportTitle, const QString& DateRange,
                        const QString& CompanyInfo);
    // Also sets the date and time formats of the fields.
    void SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                 const QString& MyPageNumber, const QString& MyDate, const QString& MyID,
                 const QString& MyButton, const QString& MyGroup, const QString& MyType,
                 const QString& EndOfReport);
};
