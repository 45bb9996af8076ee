#include "darReaderUpload.h"

#include "mDeclareAPI.h"

namespace {

const QString kPageHeader = QStringLiteral("Section2");
const QString kGroupHeader = QStringLiteral("ByDateTime_Header");
const QString kDetail = QStringLiteral("ReaderEvents_Detail");
const QString kReportFooter = QStringLiteral("Section5");
// One line of the detail's 7-point text.
constexpr int kOneLine = 165;

} // namespace

darReaderUpload::darReaderUpload() {
    caption = QStringLiteral("Reader Download Report");
    width = 8730;
    groupColumn = QStringLiteral("dtDLDateTime");

    AddSection(ReportSection::ReportHeader, QStringLiteral("Section4"), 0);

    ReportSection& ph = AddSection(ReportSection::PageHeader, kPageHeader, 2850);
    ph.AddLabel(QStringLiteral("lblMyPrintDate"), {30, 0, 1050, 240});
    ph.AddLabel(QStringLiteral("lblPrinted"), {1245, 0, 1830, 225}, ReportAlign::Left, false,
                QStringLiteral("%d  %t"));
    ph.AddLabel(QStringLiteral("lblMyPageHeader"), {3315, 0, 2505, 255}, ReportAlign::Center);
    ph.AddLabel(QStringLiteral("lblMyPageNumber"), {6015, 15, 570, 210}, ReportAlign::Right);
    ph.AddLabel(QStringLiteral("lblPageNo"), {6720, 15, 345, 210}, ReportAlign::Right, false,
                QStringLiteral("%p"));
    ph.AddLabel(QStringLiteral("lblSlash"), {7170, 15, 165, 210}, ReportAlign::Center, false,
                QStringLiteral("/"));
    ph.AddLabel(QStringLiteral("lblPages"), {7470, 15, 780, 210}, ReportAlign::Left, false,
                QStringLiteral("%P"));
    ph.AddLabel(QStringLiteral("lblCompanyInfo"), {780, 405, 7380, 735}, ReportAlign::Center, true);
    ph.AddLabel(QStringLiteral("lblReportTitle"), {75, 1380, 8490, 645}, ReportAlign::Center, true)
        .font = ReportFont::Title();
    ph.AddLabel(QStringLiteral("lblReaderIdTitle"), {45, 2250, 1725, 255}).font =
        ReportFont::Bold();
    ph.AddLabel(QStringLiteral("lblReaderID"), {1905, 2235, 6375, 285}, ReportAlign::Left, true);
    ph.AddLabel(QStringLiteral("lblDateRange"), {45, 2595, 8235, 240}, ReportAlign::Left, true);

    // The rule stands clear of the headings above it and of the first row below it.
    ReportSection& gh = AddSection(ReportSection::GroupHeader, kGroupHeader, 645);
    gh.AddLabel(QStringLiteral("lblDownloadTime"), {15, 15, 2220, 285}).font = ReportFont::Bold();
    gh.AddField(QStringLiteral("txtDtTime"), QStringLiteral("dtDLDateTime"), {2430, 15, 1020, 285})
        .font = ReportFont::Bold();
    gh.AddField(QStringLiteral("txtDtDate"), QStringLiteral("dtDLDateTime"), {3570, 15, 1485, 285})
        .font = ReportFont::Bold();
    const struct {
        const char* name;
        int left, width;
    } headings[] = {{"lblDateTime", 30, 1665},
                    {"lblCode", 1680, 840},
                    {"lblMyName", 2610, 1260},
                    {"lblMyDesc", 4650, 2055},
                    {"lblMySite", 6855, 1575}};
    for (const auto& h : headings)
        gh.AddLabel(QLatin1String(h.name), {h.left, 375, h.width, 210}).font = ReportFont::Bold();
    gh.AddLine(QStringLiteral("Line1"), 45, 600, 8640);

    ReportSection& detail = AddSection(ReportSection::Detail, kDetail, 225);
    // Boxes of one line: a wrapped row keeps the gap to the next one.
    detail.AddField(QStringLiteral("txtDate"), QStringLiteral("dtDateTime"), {0, 0, 960, kOneLine},
                    ReportAlign::Left, true);
    detail.AddField(QStringLiteral("txtTime"), QStringLiteral("dtDateTime"),
                    {960, 0, 630, kOneLine}, ReportAlign::Left, true);
    detail.AddField(QStringLiteral("txttButtonCode"), QStringLiteral("tButtonCode"),
                    {1650, 0, 870, kOneLine}, ReportAlign::Left, true);
    detail.AddField(QStringLiteral("txttButtonName"), QStringLiteral("tButtonName"),
                    {2580, 0, 1950, kOneLine}, ReportAlign::Left, true);
    detail.AddField(QStringLiteral("txttButtonDesc"), QStringLiteral("tButtonDesc"),
                    {4620, 0, 2040, kOneLine}, ReportAlign::Left, true);
    detail.AddField(QStringLiteral("txttGroupName"), QStringLiteral("tGroupName"),
                    {6855, 0, 1875, kOneLine}, ReportAlign::Left, true);

    // A short date with a month name ("10 Mar 2026") needs 7 points to fit the date's box.
    for (ReportControl& c : detail.controls)
        c.font = ReportFont{7, false};

    AddSection(ReportSection::GroupFooter, QStringLiteral("ByDateTime_Footer"), 0);
    AddSection(ReportSection::PageFooter, QStringLiteral("Section3"), 0);

    ReportSection& rf = AddSection(ReportSection::ReportFooter, kReportFooter, 600);
    rf.AddLine(QStringLiteral("Line2"), 0, 0, 8640);
    rf.AddLabel(QStringLiteral("lblEndOfReport"), {3118, 283, 2880, 242}, ReportAlign::Center);
}

void darReaderUpload::SetReportParam(const QString& ReportTitle, const QString& CompanyInfo,
                                     const QString& ReaderId, const QString& ReaderDesc,
                                     const QString& DateRange) {
    SetCaption(kPageHeader, QStringLiteral("lblCompanyInfo"), CompanyInfo);
    SetCaption(kPageHeader, QStringLiteral("lblReaderID"),
               ReaderId + QStringLiteral(" (") + ReaderDesc + QStringLiteral(")"));
    SetCaption(kPageHeader, QStringLiteral("lblDateRange"), DateRange);
    SetCaption(kPageHeader, QStringLiteral("lblReportTitle"), ReportTitle);
    caption = ReportTitle;
}

void darReaderUpload::SetText(const QString& MyPrintDate, const QString& MyPageHeader,
                              const QString& MyPageNumber, const QString& ReaderId,
                              const QString& DownloadTime, const QString& DateTime,
                              const QString& Code, const QString& MyName, const QString& MyDesc,
                              const QString& MySite, const QString& EndOfReport) {
    SetCaption(kPageHeader, QStringLiteral("lblMyPrintDate"), MyPrintDate);
    SetCaption(kPageHeader, QStringLiteral("lblMyPageHeader"), MyPageHeader);
    SetCaption(kPageHeader, QStringLiteral("lblMyPageNumber"), MyPageNumber);
    SetCaption(kPageHeader, QStringLiteral("lblReaderIdTitle"), ReaderId);
    SetCaption(kGroupHeader, QStringLiteral("lblDownloadTime"), DownloadTime);
    SetCaption(kGroupHeader, QStringLiteral("lblDateTime"), DateTime);
    SetCaption(kGroupHeader, QStringLiteral("lblCode"), Code);
    SetCaption(kGroupHeader, QStringLiteral("lblMyName"), MyName);
    SetCaption(kGroupHeader, QStringLiteral("lblMyDesc"), MyDesc);
    SetCaption(kGroupHeader, QStringLiteral("lblMySite"), MySite);
    SetCaption(kReportFooter, QStringLiteral("lblEndOfReport"), EndOfReport);
    const QString shortDate = GetShortDateFormat();
    SetFieldFormat(kGroupHeader, QStringLiteral("txtDtDate"), shortDate);
    SetFieldFormat(kDetail, QStringLiteral("txtDate"), shortDate);
    SetFieldFormat(kGroupHeader, QStringLiteral("txtDtTime"), QStringLiteral("HH:mm:ss"));
    SetFieldFormat(kDetail, QStringLiteral("txtTime"), QStringLiteral("HH:mm"));
}
