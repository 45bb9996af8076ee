#include "darIncidentOld.h"

#include "LayoutFonts.h"

namespace {

const QString kHeader = QStringLiteral("Section2");
const QString kFooter = QStringLiteral("Section5");

constexpr int kLine = 225;

} // namespace

darIncidentOld::darIncidentOld() {
    width = 8655;
    AddSection(ReportSection::ReportHeader, QStringLiteral("Section4"), 0);

    // Each label reaches to the next control on its line.
    ReportSection& header = AddSection(ReportSection::PageHeader, kHeader, 3150);
    header.AddLabel(QStringLiteral("Label10"), {0, 0, 960, kLine});
    header.AddLabel(QStringLiteral("lblReportDate"), {1005, 15, 1800, 210});
    header.AddLabel(QStringLiteral("Label19"), {2835, 0, 3660, kLine}, ReportAlign::Center);
    header.AddLabel(QStringLiteral("Label8"), {6495, 0, 660, kLine}, ReportAlign::Right);
    header.AddLabel(QStringLiteral("Label7"), {7200, 15, 360, 210}, ReportAlign::Right, false,
                    QStringLiteral("%p"));
    header.AddLabel(QStringLiteral("Label6"), {7605, 0, 300, kLine}, ReportAlign::Center, false,
                    QStringLiteral("/"));
    header.AddLabel(QStringLiteral("Label5"), {7937, 0, 700, kLine}, ReportAlign::Left, false,
                    QStringLiteral("%P"));
    // Four company lines need more than the box: it grows rather than drop the last line.
    header.AddLabel(QStringLiteral("lblCompanyInfo"), {570, 390, 7365, 615}, ReportAlign::Center,
                    true);
    header
        .AddLabel(QStringLiteral("lblReportTitle"), {1155, 1335, 6225, 600}, ReportAlign::Center,
                  true)
        .font = ReportFont::Title();
    header.AddLabel(QStringLiteral("lblEventFilter"), {30, 2085, 1170, kLine}).font =
        ReportFont::Bold();
    // The filters are one 7-point line tall, so a wrapped filter keeps the gap to the next.
    header.AddLabel(QStringLiteral("Label14"), {1230, 2070, 3700, 165}, ReportAlign::Left, true);
    header.AddLabel(QStringLiteral("lblReaderFilter"), {45, 2310, 1155, kLine}).font =
        ReportFont::Bold();
    header.AddLabel(QStringLiteral("Label15"), {1200, 2310, 3700, 165}, ReportAlign::Left, true);
    header.AddLabel(QStringLiteral("lblSiteFilter"), {45, 2565, 1155, kLine}).font =
        ReportFont::Bold();
    header.AddLabel(QStringLiteral("Label16"), {1200, 2565, 3700, 165}, ReportAlign::Left, true);
    header.AddLabel(QStringLiteral("lblFrom"), {4980, 2115, 1000, kLine}).font = ReportFont::Bold();
    header.AddLabel(QStringLiteral("Label17"), {6015, 2115, 2640, kLine});
    header.AddLabel(QStringLiteral("lblTo"), {4995, 2370, 1000, kLine}).font = ReportFont::Bold();
    header.AddLabel(QStringLiteral("Label18"), {6015, 2370, 2640, kLine});
    // Each heading on one line, over the left edge of its column.
    header.AddLabel(QStringLiteral("Label1"), {30, 2910, 1560, kLine}).font = ReportFont::Bold();
    header.AddLabel(QStringLiteral("Label2"), {1680, 2910, 1900, kLine}).font = ReportFont::Bold();
    header.AddLabel(QStringLiteral("Label13"), {3600, 2910, 1900, kLine}).font = ReportFont::Bold();
    header.AddLabel(QStringLiteral("Label3"), {5565, 2910, 1800, kLine}).font = ReportFont::Bold();
    header.AddLabel(QStringLiteral("Label4"), {7515, 2910, 1140, kLine}).font = ReportFont::Bold();
    header.AddLine(QStringLiteral("Line1"), 30, 3135, 8625);

    // Names wrap instead of being cut at the column's side; their boxes are one 7-point line
    // tall, so a wrapped row keeps its gap to the next row and to the closing rule.
    ReportSection& detail = AddSection(ReportSection::Detail, QStringLiteral("Section1"), 257);
    detail.AddField(QStringLiteral("Text1"), QStringLiteral("tDate"), {30, 0, 990, 240});
    detail.AddField(QStringLiteral("txtTime"), QStringLiteral("tTime"), {1005, 0, 705, 240},
                    ReportAlign::Left, false, QStringLiteral("HH:mm"));
    detail.AddField(QStringLiteral("Text2"), QStringLiteral("tReaderName"), {1680, 0, 1785, 165},
                    ReportAlign::Left, true);
    detail.AddField(QStringLiteral("Text5"), QStringLiteral("tSite"), {3600, 0, 1800, 165},
                    ReportAlign::Left, true);
    detail.AddField(QStringLiteral("Text3"), QStringLiteral("tLocation"), {5565, 0, 1785, 165},
                    ReportAlign::Left, true);
    detail.AddField(QStringLiteral("Text4"), QStringLiteral("tIncident"), {7515, 0, 1140, 165},
                    ReportAlign::Left, true);

    AddSection(ReportSection::PageFooter, QStringLiteral("Section3"), 0);
    ReportSection& footer = AddSection(ReportSection::ReportFooter, kFooter, 573);
    footer.AddLine(QStringLiteral("Line2"), 0, 0, 8640);
    footer.AddLabel(QStringLiteral("Label9"), {3168, 288, 2880, 285}, ReportAlign::Center);
    // The boxes are drawn small: at 7 points every caption and date stays inside its box.
    ShrinkNormalText(*this, {kHeader, QStringLiteral("Section1"), kFooter}, 7);
}

void darIncidentOld::SetReportParam(const QString& PrintDate, const QString& ReportTitle,
                                    const QString& StartDate, const QString& EndDate,
                                    const QString& CompanyInfo, const QString& EventFilter,
                                    const QString& ReaderFilter, const QString& SiteFilter) {
    SetCaption(kHeader, QStringLiteral("lblReportDate"), PrintDate);
    SetCaption(kHeader, QStringLiteral("lblReportTitle"), ReportTitle);
    SetCaption(kHeader, QStringLiteral("Label17"), StartDate);
    SetCaption(kHeader, QStringLiteral("Label18"), EndDate);
    SetCaption(kHeader, QStringLiteral("lblCompanyInfo"), CompanyInfo);
    SetCaption(kHeader, QStringLiteral("Label14"), EventFilter);
    SetCaption(kHeader, QStringLiteral("Label15"), ReaderFilter);
    SetCaption(kHeader, QStringLiteral("Label16"), SiteFilter);
    caption = ReportTitle;
}

void darIncidentOld::SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                             const QString& MyPageNumber, const QString& FilterEvent,
                             const QString& FilterReader, const QString& FilterSite,
                             const QString& TitleFrom, const QString& TitleTo,
                             const QString& DateTime, const QString& ReaderName,
                             const QString& Site, const QString& Location, const QString& Incident,
                             const QString& EndOfReport) {
    SetCaption(kHeader, QStringLiteral("Label10"), MyPrintDate);
    SetCaption(kHeader, QStringLiteral("Label19"), MyPageHeader);
    SetCaption(kHeader, QStringLiteral("Label8"), MyPageNumber);
    SetCaption(kHeader, QStringLiteral("lblEventFilter"), FilterEvent);
    SetCaption(kHeader, QStringLiteral("lblReaderFilter"), FilterReader);
    SetCaption(kHeader, QStringLiteral("lblSiteFilter"), FilterSite);
    SetCaption(kHeader, QStringLiteral("lblFrom"), TitleFrom);
    SetCaption(kHeader, QStringLiteral("lblTo"), TitleTo);
    SetCaption(kHeader, QStringLiteral("Label1"), DateTime);
    SetCaption(kHeader, QStringLiteral("Label2"), ReaderName);
    SetCaption(kHeader, QStringLiteral("Label13"), Site);
    SetCaption(kHeader, QStringLiteral("Label3"), Location);
    SetCaption(kHeader, QStringLiteral("Label4"), Incident);
    SetCaption(kFooter, QStringLiteral("Label9"), EndOfReport);
}
