#pragma once

#include <QDateTime>
#include <QRect>
#include <QString>

class ReportLayout;
class ReportRowSource;
class cReportHost;

// What every report does once its rows are ready: the company and print-date texts of its
// header, and the modal preview placed as the reports place it.
//
// A report's layout is a ReportLayout (platform/ReportLayout.h) with the two operations
// SetReportParam (header values) and SetText (translated fixed texts), which set the
// captions of named labels through ReportLayout::SetCaption and the window caption through
// `caption`. The builder then calls
//
//     ReportTableSource rows(*gConn, "tblCustom");
//     ShowReport(layout, rows, host);
//
// and, when it returns, the preview is closed and no statement is left open on the table.

// The fixed texts every layout carries, translated: "Print Date:", the product title,
// "Page" (before the page-number codes) and "End Of Report".
struct ReportTexts {
    QString MyPrintDate;
    QString MyPageHeader;
    QString MyPageNumber;
    QString EndOfReport;
};
ReportTexts SharedReportTexts();

// The four company lines joined by CR LF: always three line breaks, so that empty lines
// stay blank lines in the header.
QString CompanyText();
// The present date in the short date format, the separator and the time as "HH:mm".
QString PrintDateText(const QString& separator,
                      const QDateTime& now = QDateTime::currentDateTime());
// The report window in twips: top 0, left 0, the screen's height less 720, and 12630 wide
// when the screen is that wide, else the main window's width.
QRect ReportWindowTwips(int screenWidthTwips, int screenHeightTwips, int mainWidthTwips);

// Lays the report out (with progress on a large one), places its window and shows it
// modally until the user closes it. "%d" prints the short date, "%t" the time as "HH:mm".
// False when the user stopped the layout; a failure throws AppError to the builder's trap.
bool ShowReport(const ReportLayout& layout, ReportRowSource& rows, cReportHost& host);
