#pragma once

#include "ReportLayout.h"

// The reader download report: one reader's touches, a group for each download headed by the
// download's time and date and the column headings. Its rows are grouped by dtDLDateTime.
class darReaderUpload : public ReportLayout {
public:
    darReaderUpload();

    void SetReportParam(const QString& ReportTitle, const QString& CompanyInfo,
                        const QString& ReaderId, const QString& ReaderDesc,
                        const QString& DateRange);
    // `ReaderId` is the caption of the reader label, not an ID. Also sets the date and time
    // formats of the fields.
    void SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                 const QString& MyPageNumber, const QString& ReaderId, const QString& DownloadTime,
                 const QString& DateTime, const QString& Code, const QString& MyName,
                 const QString& MyDesc, const QString& MySite, const QString& EndOfReport);
};
