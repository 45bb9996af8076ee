#include "darCustom.h"

#include "mDeclareAPI.h"

namespace {

const QString kPageHeader = QStringLiteral("Section2");
const QString kDetail = QStringLiteral("Section1");
const QString kReportFooter = QStringLiteral("Section5");
// One line of the detail's 7-point text.
constexpr int kOneLine = 165;

} // namespace

darCustom::darCustom() {
    caption = QStringLiteral("Database Report");
    width = 8735;

    AddSection(ReportSection::ReportHeader, QStringLiteral("Section4"), 0);

    ReportSection& ph = AddSection(ReportSection::PageHeader, kPageHeader, 3015);
    ph.AddLabel(QStringLiteral("lblCompanyInfo"), {567, 432, 7464, 938}, ReportAlign::Center, true);
    ph.AddLabel(QStringLiteral("lblReportTitle"), {120, 1512, 8400, 540}, ReportAlign::Center)
        .font = ReportFont::Title();
    ph.AddLabel(QStringLiteral("lblDateRange"), {120, 2173, 8400, 240}, ReportAlign::Center);
    // As wide as the longest translation of "Print Date:" needs, with a gap before the date.
    ph.AddLabel(QStringLiteral("lblMyPrintDate"), {0, 0, 1080, 225});
    ph.AddLabel(QStringLiteral("lblPrinted"), {1140, 0, 1650, 225}, ReportAlign::Left, false,
                QStringLiteral("%d   %t"));
    ph.AddLabel(QStringLiteral("lblMyPageHeader"), {2835, 0, 2880, 225}, ReportAlign::Center);
    ph.AddLabel(QStringLiteral("lblMyPageNumber"), {6165, 0, 780, 225}, ReportAlign::Right);
    ph.AddLabel(QStringLiteral("lblPageNo"), {6992, 0, 345, 225}, ReportAlign::Right, false,
                QStringLiteral("%p"));
    ph.AddLabel(QStringLiteral("lblSlash"), {7370, 0, 300, 225}, ReportAlign::Center, false,
                QStringLiteral("/"));
    ph.AddLabel(QStringLiteral("lblPages"), {7701, 0, 1000, 225}, ReportAlign::Left, false,
                QStringLiteral("%P"));
    // The headings stand on one line, over the left edges of their columns.
    const struct {
        const char* name;
        int left, top, width;
    } headings[] = {{"lblMyDate", 0, 2740, 1600},
                    {"lblMyID", 1650, 2740, 900},
                    {"lblMyButton", 2580, 2740, 2000},
                    {"lblMyGroup", 4724, 2740, 2596},
                    {"lblMyType", 7370, 2740, 1300}};
    for (const auto& h : headings)
        ph.AddLabel(QLatin1String(h.name), {h.left, h.top, h.width, 225}).font = ReportFont::Bold();
    ph.AddLine(QStringLiteral("Line1"), 0, 3000, 8595);

    ReportSection& detail = AddSection(ReportSection::Detail, kDetail, 270);
    detail.AddField(QStringLiteral("txtDate"), QStringLiteral("tDateTime"), {0, 0, 960, 270});
    detail.AddField(QStringLiteral("txtTime"), QStringLiteral("tDateTime"), {960, 0, 630, 270});
    detail.AddField(QStringLiteral("txttButtonCode"), QStringLiteral("tButtonCode"),
                    {1650, 0, 870, 270});
    // Names wrap rather than being cut; a box of one line keeps the gap under a wrapped row.
    detail.AddField(QStringLiteral("txttButtonName"), QStringLiteral("tButtonName"),
                    {2580, 0, 2035, kOneLine}, ReportAlign::Left, true);
    detail.AddField(QStringLiteral("txttGroupName"), QStringLiteral("tGroupName"),
                    {4724, 0, 2552, kOneLine}, ReportAlign::Left, true);
    detail.AddField(QStringLiteral("txttType"), QStringLiteral("tType"), {7370, 0, 1365, 270});

    // A short date with a month name ("10 Mar 2026") needs 7 points to fit the date's box.
    for (ReportControl& c : detail.controls)
        c.font = ReportFont{7, false};

    AddSection(ReportSection::PageFooter, QStringLiteral("Section3"), 0);

    ReportSection& rf = AddSection(ReportSection::ReportFooter, kReportFooter, 573);
    rf.AddLine(QStringLiteral("Line2"), 0, 0, 8640);
    rf.AddLabel(QStringLiteral("lblEndOfReport"), {3168, 288, 2880, 240}, ReportAlign::Center);
}

void darCustom::SetReportParam(const QString& ReportTitle, const QString& DateRange,
                               const QString& CompanyInfo) {
    SetCaption(kPageHeader, QStringLiteral("lblReportTitle"), ReportTitle);
    SetCaption(kPageHeader, QStringLiteral("lblDateRange"), DateRange);
    SetCaption(kPageHeader, QStringLiteral("lblCompanyInfo"), CompanyInfo);
    caption = ReportTitle;
}

void darCustom::SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                        const QString& MyPageNumber, const QString& MyDate, const QString& MyID,
                        const QString& MyButton, const QString& MyGroup, const QString& MyType,
                        const QString& EndOfReport) {
    SetCaption(kPageHeader, QStringLiteral("lblMyPrintDate"), MyPrintDate);
    SetCaption(kPageHeader, QStringLiteral("lblMyPageHeader"), MyPageHeader);
    SetCaption(kPageHeader, QStringLiteral("lblMyPageNumber"), MyPageNumber);
    SetCaption(kPageHeader, QStringLiteral("lblMyDate"), MyDate);
    SetCaption(kPageHeader, QStringLiteral("lblMyID"), MyID);
    SetCaption(kPageHeader, QStringLiteral("lblMyButton"), MyButton);
    SetCaption(kPageHeader, QStringLiteral("lblMyGroup"), MyGroup);
    SetCaption(kPageHeader, QStringLiteral("lblMyType"), MyType);
    SetCaption(kReportFooter, QStringLiteral("lblEndOfReport"), EndOfReport);
    SetFieldFormat(kDetail, QStringLiteral("txtDate"), GetShortDateFormat());
    SetFieldFormat(kDetail, QStringLiteral("txtTime"), QStringLiteral("HH:mm"));
}
