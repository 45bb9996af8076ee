#include "darIncident.h"

#include "LayoutFonts.h"

namespace {
const QString kHeader = QStringLiteral("Section2");
const QString kFooter = QStringLiteral("Section5");
} // namespace

darIncident::darIncident() {
    width = 8702;
    AddSection(ReportSection::ReportHeader, QStringLiteral("Section4"), 0);

    ReportSection& header = AddSection(ReportSection::PageHeader, kHeader, 2565);
    // As wide as the longest translation of "Print Date:" needs, with a gap before the date.
    header.AddLabel(QStringLiteral("Label10"), {0, 0, 960, 213});
    header.AddLabel(QStringLiteral("lblReportDate"), {1005, 15, 1440, 210});
    header.AddLabel(QStringLiteral("Label19"), {2835, 0, 2835, 213}, ReportAlign::Center);
    header.AddLabel(QStringLiteral("Label8"), {6495, 0, 630, 210}, ReportAlign::Right);
    header.AddLabel(QStringLiteral("Label7"), {7200, 15, 315, 210}, ReportAlign::Right, false,
                    QStringLiteral("%p"));
    header.AddLabel(QStringLiteral("Label6"), {7605, 0, 210, 210}, ReportAlign::Center, false,
                    QStringLiteral("/"));
    header.AddLabel(QStringLiteral("Label5"), {7937, 0, 570, 210}, ReportAlign::Left, false,
                    QStringLiteral("%P"));
    // Four company lines need more than the box: it grows rather than drop the last line.
    header.AddLabel(QStringLiteral("lblCompanyInfo"), {570, 390, 7365, 615}, ReportAlign::Center,
                    true);
    header
        .AddLabel(QStringLiteral("lblReportTitle"), {120, 1335, 8415, 600}, ReportAlign::Center,
                  true)
        .font = ReportFont::Title();
    header.AddLabel(QStringLiteral("lblFrom"), {900, 2115, 870, 225}).font = ReportFont::Bold();
    header.AddLabel(QStringLiteral("Label17"), {2040, 2115, 1830, 225});
    header.AddLabel(QStringLiteral("lblTo"), {4920, 2115, 855, 225}).font = ReportFont::Bold();
    header.AddLabel(QStringLiteral("Label18"), {5940, 2115, 1830, 225});
    header.AddLine(QStringLiteral("Line1"), 30, 2505, 8625);

    // Names and headings wrap instead of being cut at the field's side; their boxes are one
    // 7-point line tall, so a wrapped row keeps its gap to the next row and to the closing rule.
    ReportSection& detail = AddSection(ReportSection::Detail, QStringLiteral("Section1"), 240);
    detail
        .AddField(QStringLiteral("txtEvent"), QStringLiteral("Field0"), {0, 0, 8610, 165},
                  ReportAlign::Left, true)
        .font = ReportFont::Bold();
    detail.AddField(QStringLiteral("Text1"), QStringLiteral("Field1"), {1440, 0, 1440, 240});
    detail.AddField(QStringLiteral("Text3"), QStringLiteral("Field2"), {2895, 0, 5745, 165},
                    ReportAlign::Left, true);

    AddSection(ReportSection::PageFooter, QStringLiteral("Section3"), 0);
    ReportSection& footer = AddSection(ReportSection::ReportFooter, kFooter, 573);
    footer.AddLine(QStringLiteral("Line2"), 0, 0, 8640);
    footer.AddLabel(QStringLiteral("Label9"), {3168, 288, 2880, 285}, ReportAlign::Center);
    // The boxes are drawn small: at 7 points every caption and date stays inside its box.
    ShrinkNormalText(*this, {kHeader, QStringLiteral("Section1"), kFooter}, 7);
}

void darIncident::SetReportParam(const QString& PrintDate, const QString& ReportTitle,
                                 const QString& StartDate, const QString& EndDate,
                                 const QString& CompanyInfo) {
    SetCaption(kHeader, QStringLiteral("lblReportDate"), PrintDate);
    SetCaption(kHeader, QStringLiteral("lblReportTitle"), ReportTitle);
    SetCaption(kHeader, QStringLiteral("lblCompanyInfo"), CompanyInfo);
    SetCaption(kHeader, QStringLiteral("Label17"), StartDate);
    SetCaption(kHeader, QStringLiteral("Label18"), EndDate);
    caption = ReportTitle;
}

void darIncident::SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                          const QString& MyPageNumber, const QString& TitleFrom,
                          const QString& TitleTo, const QString& EndOfReport) {
    SetCaption(kHeader, QStringLiteral("Label10"), MyPrintDate);
    SetCaption(kHeader, QStringLiteral("Label19"), MyPageHeader);
    SetCaption(kHeader, QStringLiteral("Label8"), MyPageNumber);
    SetCaption(kHeader, QStringLiteral("lblFrom"), TitleFrom);
    SetCaption(kHeader, QStringLiteral("lblTo"), TitleTo);
    SetCaption(kFooter, QStringLiteral("Label9"), EndOfReport);
}
