#include "darHardwareList.h"

namespace {

const QString kHeader = QStringLiteral("PageHeader");
const QString kFooter = QStringLiteral("ReportFooter");

} // namespace

darHardwareList::darHardwareList() {
    caption = QStringLiteral("Hardware List Report");
    width = 8646;
    AddSection(ReportSection::ReportHeader, QStringLiteral("ReportHeader"), 0);

    ReportSection& header = AddSection(ReportSection::PageHeader, kHeader, 2730);
    // The print-date label is a little wider than drawn, for longer translations.
    header.AddLabel("lblPrintDate", {0, 0, 1140, 225});
    header.AddLabel("lblPrinted", {1185, 0, 1650, 225}, ReportAlign::Left, false, "%d %t");
    header.AddLabel("lblProduct", {2835, 0, 2835, 225}, ReportAlign::Center);
    header.AddLabel("lblPage", {5700, 0, 1440, 225}, ReportAlign::Right);
    header.AddLabel("lblPageNumber", {7185, 0, 360, 225}, ReportAlign::Right, false, "%p");
    header.AddLabel("lblSlash", {7560, 0, 240, 225}, ReportAlign::Center, false, "/");
    header.AddLabel("lblPageCount", {7815, 0, 720, 225}, ReportAlign::Left, false, "%P");
    header.AddLabel("lblCompanyInfo", {570, 405, 7410, 735}, ReportAlign::Center, true).font =
        ReportFont::Heading();
    header.AddLabel("lblReportTitle", {30, 1410, 8505, 645}, ReportAlign::Center, true).font =
        ReportFont::Title();
    header.AddLabel("lblDescription", {1680, 2460, 3000, 225}).font = ReportFont::Bold();
    // Over the code column, as wide as the German heading needs.
    header.AddLabel("lblHardwareCode", {7155, 2445, 1440, 225}).font = ReportFont::Bold();
    // Drawn on the section's last twips: a line on its bottom edge would be cut off.
    header.AddLine("Line1", 0, 2715, 8595);

    // A group line and a button line fill different columns: the buttons print indented
    // under their group. Long names wrap rather than being cut.
    ReportSection& detail = AddSection(ReportSection::Detail, QStringLiteral("Detail"), 285);
    detail.AddField("Field0", "Field0", {0, 15, 1410, 240});
    // A group line fills no other column: its name and description reach across the page.
    detail.AddField("Field1", "Field1", {1500, 15, 7095, 190}, ReportAlign::Left, true);
    // Boxes of one line: a wrapped row keeps its gap to the next row and the closing rule.
    detail.AddField("Field2", "Field2", {3150, 15, 3870, 190}, ReportAlign::Left, true);
    detail.AddField("Field3", "Field3", {7155, 15, 1440, 240});

    AddSection(ReportSection::PageFooter, QStringLiteral("PageFooter"), 0);
    ReportSection& footer = AddSection(ReportSection::ReportFooter, kFooter, 870);
    footer.AddLine("Line2", 0, 0, 8640);
    footer.AddLabel("lblEndOfReport", {3180, 480, 2880, 240}, ReportAlign::Center);
}

void darHardwareList::SetReportParam(const QString& ReportTitle, const QString& CompanyInfo) {
    SetCaption(kHeader, "lblReportTitle", ReportTitle);
    SetCaption(kHeader, "lblCompanyInfo", CompanyInfo);
    caption = ReportTitle;
}

void darHardwareList::SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                              const QString& MyPageNumber, const QString& Description,
                              const QString& HardwareCode, const QString& EndOfReport) {
    SetCaption(kHeader, "lblPrintDate", MyPrintDate);
    SetCaption(kHeader, "lblProduct", MyPageHeader);
    SetCaption(kHeader, "lblPage", MyPageNumber);
    SetCaption(kHeader, "lblDescription", Description);
    SetCaption(kHeader, "lblHardwareCode", HardwareCode);
    SetCaption(kFooter, "lblEndOfReport", EndOfReport);
}
