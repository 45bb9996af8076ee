#include "darPatrolSchedule.h"

#include "mGlobals.h"

namespace {

const QString kHeader = QStringLiteral("PageHeader");
const QString kFooter = QStringLiteral("Section5");

} // namespace

darPatrolSchedule::darPatrolSchedule() {
    caption = QStringLiteral("Patrol Schedule Report");
    width = 8685;
    AddSection(ReportSection::ReportHeader, QStringLiteral("Section4"), 0);

    ReportSection& header = AddSection(ReportSection::PageHeader, kHeader, 3330);
    header.AddLabel("Label16", {0, 0, 1065, 270}, ReportAlign::Right);
    // Wide enough for a date with a month name and the time.
    header.AddLabel("Label17", {1200, 15, 1620, 255}, ReportAlign::Left, false, "%d %t");
    header.AddLabel("Label18", {2880, 0, 2880, 285}, ReportAlign::Center);
    header.AddLabel("Label15", {6660, 0, 585, 210}, ReportAlign::Right);
    header.AddLabel("Label14", {7299, 0, 427, 210}, ReportAlign::Right, false, "%p");
    header.AddLabel("Label13", {7770, 0, 164, 210}, ReportAlign::Center, false, "/");
    header.AddLabel("Label11", {7980, 0, 570, 210}, ReportAlign::Left, false, "%P");
    header.AddLabel("lblCompanyInfo", {615, 360, 7410, 705}, ReportAlign::Center, true).font =
        ReportFont::Heading();
    header.AddLabel("lblReportTitle", {120, 1320, 8385, 585}, ReportAlign::Center, true).font =
        ReportFont::Title();
    header.AddLabel("Label9", {195, 2100, 1725, 255}).font = ReportFont::Bold();
    header.AddLabel("lblTourName", {2055, 2100, 6480, 255}, ReportAlign::Left, true);
    header.AddLabel("lblDate", {195, 2370, 1725, 285}).font = ReportFont::Bold();
    header.AddLabel("lblTourDesc", {2055, 2370, 6480, 285}, ReportAlign::Left, true);
    header.AddLabel("Label1", {180, 2640, 1725, 285}).font = ReportFont::Bold();
    header.AddLabel("lblTolerance", {2040, 2640, 6480, 285}, ReportAlign::Left, true);
    header.AddLabel("Label2", {45, 3060, 585, 210}).font = ReportFont::Bold();
    header.AddLabel("lblHdrTime", {855, 3060, 1500, 210}).font = ReportFont::Bold();
    // The headings stand on one line.
    header.AddLabel("Label10", {2715, 3060, 1455, 210}).font = ReportFont::Bold();
    header.AddLabel("Label3", {5415, 3060, 1845, 210}).font = ReportFont::Bold();
    header.AddLine("Line4", 0, 3315, 8685);

    // Boxes of one line: a wrapped row keeps its gap to the next row and the closing rule.
    ReportSection& detail = AddSection(ReportSection::Detail, QStringLiteral("Section1"), 240);
    // The field of the running number keeps its historic name.
    detail.AddField("txttLocDesc", "tNumber", {0, 0, 435, 190}, ReportAlign::Left, true);
    // As wide as the due time, five blanks and the window need in the report's font: the
    // window is never broken over two lines.
    detail.AddField("txttTime", "tTime", {600, 0, 2085, 190}, ReportAlign::Left, true);
    detail.AddField("txttSite", "tSite", {2700, 0, 2580, 190}, ReportAlign::Left, true);
    detail.AddField("txttLocName", "tLocName", {5415, 0, 3210, 190}, ReportAlign::Left, true);

    AddSection(ReportSection::PageFooter, QStringLiteral("Section3"), 6);
    ReportSection& footer = AddSection(ReportSection::ReportFooter, kFooter, 744);
    footer.AddLine("Line1", 0, 0, 8640);
    footer.AddLabel("lblEnd", {2906, 425, 2880, 285}, ReportAlign::Center);
}

void darPatrolSchedule::SetReportParam(const QString& ReportTitle, const QString& TourName,
                                       const QString& TourDesc, qint16 Tolerance,
                                       const QString& CompanyInfo) {
    SetCaption(kHeader, "lblCompanyInfo", CompanyInfo);
    SetCaption(kHeader, "lblReportTitle", ReportTitle);
    SetCaption(kHeader, "lblTourName", TourName);
    SetCaption(kHeader, "lblTourDesc", TourDesc);
    SetCaption(kHeader, "lblTolerance",
               QString::number(Tolerance) + QStringLiteral("  ") +
                   Translate(QStringLiteral("Minutes")));
    caption = ReportTitle;
}

void darPatrolSchedule::SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                                const QString& MyPageNumber, const QString& TourName,
                                const QString& TourDesc, const QString& TourTolerance,
                                const QString& ItemNo, const QString& ItemTime,
                                const QString& ItemSite, const QString& ItemLocation,
                                const QString& EndOfReport) {
    SetCaption(kHeader, "Label16", MyPrintDate);
    SetCaption(kHeader, "Label18", MyPageHeader);
    SetCaption(kHeader, "Label15", MyPageNumber);
    SetCaption(kHeader, "Label9", TourName);
    SetCaption(kHeader, "lblDate", TourDesc);
    SetCaption(kHeader, "Label1", TourTolerance);
    SetCaption(kHeader, "Label2", ItemNo);
    SetCaption(kHeader, "lblHdrTime", ItemTime);
    SetCaption(kHeader, "Label10", ItemSite);
    SetCaption(kHeader, "Label3", ItemLocation);
    SetCaption(kFooter, "lblEnd", EndOfReport);
}
