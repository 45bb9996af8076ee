#include "darTourException.h"

namespace {

const QString kHeader = QStringLiteral("Section2");
const QString kFooter = QStringLiteral("Section5");

} // namespace

darTourException::darTourException() {
    caption = QStringLiteral("Tour Report");
    width = 8655;
    AddSection(ReportSection::ReportHeader, QStringLiteral("Section4"), 0);

    ReportSection& header = AddSection(ReportSection::PageHeader, kHeader, 3360);
    header.AddLabel("Label17", {0, 0, 1080, 236});
    // Wide enough for a numeric date, four blanks and the time in the report's font.
    header.AddLabel("lblPrintDate", {1140, 0, 1800, 240});
    header.AddLabel("Label19", {2445, 0, 3791, 236}, ReportAlign::Center);
    header.AddLabel("Label16", {6472, 0, 585, 240}, ReportAlign::Right);
    header.AddLabel("Label15", {7181, 0, 1185, 240}, ReportAlign::Left, false, "%p / %P");
    header.AddLabel("lblCompanyInfo", {540, 465, 7365, 840}, ReportAlign::Center, true).font =
        ReportFont::Heading();
    header.AddLabel("lblReportTitle", {105, 1455, 8445, 630}, ReportAlign::Center, true).font =
        ReportFont::Title();
    header.AddLabel("lblTitleReaderID", {15, 2265, 1680, 240}).font = ReportFont::Bold();
    // The growing values are one line tall, so a wrapped value keeps the gap to the next row.
    header.AddLabel("lblReaderID", {1815, 2265, 3630, 190}, ReportAlign::Left, true);
    header.AddLabel("lblTitleTolerance", {5520, 2265, 1770, 240}, ReportAlign::Right).font =
        ReportFont::Bold();
    header.AddLabel("lblTolerance", {7350, 2265, 945, 190}, ReportAlign::Left, true);
    header.AddLabel("lblDate", {15, 2505, 1680, 240}).font = ReportFont::Bold();
    header.AddLabel("lblDateRange", {1815, 2505, 3540, 190}, ReportAlign::Left, true);
    // As wide as the German label needs.
    header.AddLabel("lblShowEvents", {5385, 2505, 1920, 240}, ReportAlign::Right).font =
        ReportFont::Bold();
    header.AddLabel("lblOptions", {7350, 2505, 945, 190}, ReportAlign::Left, true);
    header.AddLabel("lblTitleTourName", {15, 2745, 1680, 240}).font = ReportFont::Bold();
    header.AddLabel("lblTourName", {1815, 2775, 6480, 210}, ReportAlign::Left, true);
    header.AddLabel("lblTitleTourTime", {0, 3105, 2040, 240}).font = ReportFont::Bold();
    header.AddLabel("lblSite", {2745, 3120, 3840, 225}).font = ReportFont::Bold();
    header.AddLabel("lblActualTime", {7335, 3105, 915, 240}).font = ReportFont::Bold();
    header.AddLine("Line3", 0, 3345, 8655);

    // The point and touch fields share the band; each row fills only its own columns.
    ReportSection& detail = AddSection(ReportSection::Detail, QStringLiteral("Section1"), 245);
    detail.AddField("Text6", "tSeparator", {0, 5, 8655, 195});
    detail.AddField("Text2", "tTourTime", {0, 0, 645, 195});
    detail.AddField("txtEventTime", "txtEventTime", {660, 15, 660, 195});
    // The range is as wide as "10:25 bis 10:35" needs in the report's font, and wraps rather
    // than lose a digit; the site column starts a little further right to make room.
    detail.AddField("txtTourTimeRange", "txtTourTimeRange", {690, 15, 1305, 195},
                    ReportAlign::Right, true);
    detail.AddField("txtEventStatus", "txtEventStatus", {1485, 0, 1905, 240}, ReportAlign::Left,
                    true);
    detail.AddField("Text4", "tSiteName", {2070, 5, 5070, 190}, ReportAlign::Left, true);
    detail.AddField("txtEventDetails", "txtEventDetails", {3660, 15, 4920, 195}, ReportAlign::Left,
                    true);
    detail.AddField("Text5", "tStatus", {7290, 0, 1350, 210});

    AddSection(ReportSection::PageFooter, QStringLiteral("Section3"), 0);
    AddSection(ReportSection::ReportFooter, kFooter, 585)
        .AddLabel("lblEndOfReport", {3045, 270, 2880, 255}, ReportAlign::Center);
}

void darTourException::SetReportParam(const QString& PrintDate, const QString& StartDate,
                                      const QString& TourDesc, const QString& ReaderId,
                                      const QString& ReportTitle, const QString& TourTolerance,
                                      const QString& CompanyInfo, const QString& Options) {
    SetCaption(kHeader, "lblPrintDate", PrintDate);
    SetCaption(kHeader, "lblDateRange", StartDate);
    SetCaption(kHeader, "lblTourName", TourDesc);
    SetCaption(kHeader, "lblReaderID", ReaderId);
    SetCaption(kHeader, "lblReportTitle", ReportTitle);
    SetCaption(kHeader, "lblTolerance", TourTolerance);
    SetCaption(kHeader, "lblCompanyInfo", CompanyInfo);
    SetCaption(kHeader, "lblOptions", Options);
    caption = ReportTitle;
}

void darTourException::SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                               const QString& MyPageNumber, const QString& ReaderId,
                               const QString& TourDate, const QString& TourName,
                               const QString& TourTolerance, const QString& DefinedTourTime,
                               const QString& Site, const QString& ActualTimeStatus,
                               const QString& EndOfReport, const QString& ShowEvents) {
    SetCaption(kHeader, "Label17", MyPrintDate);
    SetCaption(kHeader, "Label19", MyPageHeader);
    SetCaption(kHeader, "Label16", MyPageNumber);
    SetCaption(kHeader, "lblTitleReaderID", ReaderId);
    SetCaption(kHeader, "lblDate", TourDate);
    SetCaption(kHeader, "lblTitleTourName", TourName);
    SetCaption(kHeader, "lblTitleTolerance", TourTolerance);
    SetCaption(kHeader, "lblTitleTourTime", DefinedTourTime);
    SetCaption(kHeader, "lblSite", Site);
    SetCaption(kHeader, "lblActualTime", ActualTimeStatus);
    SetCaption(kFooter, "lblEndOfReport", EndOfReport);
    SetCaption(kHeader, "lblShowEvents", ShowEvents);
}
