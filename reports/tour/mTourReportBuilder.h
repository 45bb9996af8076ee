#pragma once

#include <QDate>
#include <QString>
#include <functional>

// What the tour report dialog asks for.
struct TourReportRequest {
    qint32 TourID = 0;
    QDate StartDate;
    QString ReaderId;
    // The reader's entry text in the dialog (ID, " - ", description), printed in the header.
    QString ReaderName;
    bool ShowEvents = false;
    // Every point (the tour report) instead of the points not met (the exception report).
    bool IsTourReport = false;
};

// The header values and fixed texts of one printing, as the layout takes them.
struct TourReportHeader {
    // SetReportParam
    QString PrintDate;
    QString StartDate;
    QString TourDesc;
    QString ReaderId;
    QString ReportTitle;
    QString TourTolerance;
    QString CompanyInfo;
    QString Options;
    // SetText
    QString MyPrintDate;
    QString MyPageHeader;
    QString MyPageNumber;
    QString ReaderIdTitle;
    QString TourDate;
    QString TourName;
    QString TourToleranceTitle;
    QString DefinedTourTime;
    QString Site;
    QString ActualTimeStatus;
    QString EndOfReport;
    QString ShowEvents;
};

// Shows the rows of tblXXXException modally with these header values and returns when the
// preview is closed. Throws AppError when it cannot.
using TourReportPreview = std::function<void(const TourReportHeader&)>;

// Checks the reader's touches of the day against the tour and previews the report, or tells
// the user why there is none. The scratch table is gone when it returns.
void BuildTourReport(const TourReportRequest& request, const TourReportPreview& preview);

// "Error in creating new Tour", a line break and the tag.
QString TourErrorMessage(const QString& tag);
