// The report engine on 200,000 rows of a layout shaped like the database report: laying the
// pages out, the preview's first page, and the whole report to PDF, with the growth of the
// process's peak memory. Prints; never fails on time. BENCH_REPORT_PDF names a file to keep
// the PDF for a look.
#include "BenchMemory.h"
#include "Database.h"
#include "ReportEngine.h"
#include "ReportPreview.h"
#include "TestHome.h"
#include "TestMain.h"
#include "mGlobals.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kRows = 200000;

// The database report's layout as its builder will make it (twips; margins 1440).
ReportLayout databaseReportLayout() {
    ReportLayout layout;
    layout.caption = "Database Report";
    layout.width = 8735;
    layout.datePattern = "dd/MM/yyyy";
    layout.AddSection(ReportSection::ReportHeader, "Section4", 0);
    ReportSection& ph = layout.AddSection(ReportSection::PageHeader, "Section2", 3015);
    ph.AddLabel("lblCompanyInfo", {567, 432, 7464, 938}, ReportAlign::Center, true,
                "ACME Security\r\nNorth Site\r\n\r\n");
    ph.AddLabel("lblReportTitle", {120, 1512, 8400, 540}, ReportAlign::Center, false,
                "Database Report")
        .font = ReportFont::Title();
    ph.AddLabel("lblDateRange", {120, 2173, 8400, 240}, ReportAlign::Center, false,
                "Date Range:   From 01/01/2026 00:00 to 31/12/2026 23:59");
    ph.AddLabel("lblPrintDate", {0, 0, 1000, 225}, ReportAlign::Left, false, "Print Date:");
    ph.AddLabel("lblPrinted", {1039, 0, 1700, 225}, ReportAlign::Left, false, "%d   %t");
    ph.AddLabel("lblProduct", {2835, 0, 2880, 225}, ReportAlign::Center, false,
                "TK-22 Trevano Reports");
    ph.AddLabel("lblPage", {6165, 0, 780, 225}, ReportAlign::Right, false, "Page");
    ph.AddLabel("lblPageNo", {6960, 0, 400, 225}, ReportAlign::Right, false, "%p");
    ph.AddLabel("lblSlash", {7370, 0, 300, 225}, ReportAlign::Center, false, "/");
    ph.AddLabel("lblPages", {7701, 0, 1000, 225}, ReportAlign::Left, false, "%P");
    const struct {
        const char* name;
        const char* text;
        int left, top, width;
    } headings[] = {{"lblHdrDate", "Date / Time", 0, 2740, 1600},
                    {"lblHdrID", "ID", 1650, 2740, 900},
                    {"lblHdrButton", "Button Name", 2580, 2740, 2000},
                    {"lblHdrGroup", "Group Name", 4620, 2740, 2700},
                    {"lblHdrType", "Type", 7417, 2787, 1300}};
    for (const auto& h : headings)
        ph.AddLabel(h.name, {h.left, h.top, h.width, 225}, ReportAlign::Left, false, h.text).font =
            ReportFont::Bold();
    ph.AddLine("Line1", 0, 3000, 8595);
    ReportSection& detail = layout.AddSection(ReportSection::Detail, "Section1", 270);
    detail.AddField("txtDate", "tDateTime", {0, 0, 960, 270}, ReportAlign::Left, false,
                    "dd/MM/yyyy");
    detail.AddField("txtTime", "tDateTime", {960, 0, 630, 270}, ReportAlign::Left, false, "HH:mm");
    detail.AddField("txtCode", "tButtonCode", {1650, 0, 870, 270});
    detail.AddField("txtName", "tButtonName", {2580, 0, 2035, 270});
    detail.AddField("txtGroup", "tGroupName", {4724, 0, 2552, 270});
    detail.AddField("txtType", "tType", {7370, 0, 1365, 270});
    layout.AddSection(ReportSection::PageFooter, "Section3", 0);
    ReportSection& rf = layout.AddSection(ReportSection::ReportFooter, "Section5", 573);
    rf.AddLine("Line2", 0, 0, 8640);
    rf.AddLabel("lblEnd", {3168, 288, 2880, 240}, ReportAlign::Center, false, "End Of Report");
    return layout;
}

void fillCustomTable(int rows) {
    gConn->Execute("CREATE TABLE tblCustom ( tDateTime VARCHAR NULL, tButtonCode VARCHAR NULL, "
                   "tButtonName VARCHAR NULL, tLocationDesc VARCHAR NULL, "
                   "tGroupName VARCHAR NULL, tType VARCHAR NULL)");
    DbTransaction transaction(*gConn);
    DbStatement insert(*gConn, "INSERT INTO tblCustom VALUES (?, ?, ?, ?, ?, ?)");
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0));
    for (int i = 0; i < rows; ++i) {
        const QDateTime at = start.addSecs(qint64(i) * 157);
        insert.Execute({at.toString("yyyy-MM-dd HH:mm:ss"),
                        QString("%1").arg(i % 4096, 6, 16, QLatin1Char('0')).toUpper(),
                        QString("Location %1").arg(i % 97), QString("Description %1").arg(i % 13),
                        QString("Site %1 - Building %2").arg(i % 7).arg(i % 3),
                        i % 5 == 0 ? QString("Event") : QString("Location")});
    }
    transaction.Commit();
}

} // namespace

class bench_reports : public QObject {
    Q_OBJECT
private slots:
    void databaseReport();
};

void bench_reports::databaseReport() {
    TestHome home;
    home.openGlobals();
    fillCustomTable(kRows);

    const qint64 before = StatusKb("VmRSS:");
    ResetPeak();
    ReportTableSource rows(*gConn, "tblCustom");
    ReportDocument report(databaseReportLayout(), rows);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(report.Paginate());
    const qint64 paginate = timer.elapsed();
    const qint64 afterPaginate = StatusKb("VmHWM:");

    timer.restart();
    ReportPreview preview(report);
    preview.resize(1000, 800);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QTRY_VERIFY(preview.View()->PagesRendered() > 0);
    const qint64 firstPage = timer.elapsed();
    preview.close();

    const QString kept = qEnvironmentVariable("BENCH_REPORT_PDF");
    const QString path = kept.isEmpty() ? home.file("database.pdf") : kept;
    timer.restart();
    QVERIFY(report.WritePdf(path));
    const qint64 pdf = timer.elapsed();
    const qint64 peak = StatusKb("VmHWM:");

    qInfo("rows %d, pages %d", kRows, report.PageCount());
    qInfo("pagination: %lld ms (target < 5000)", paginate);
    qInfo("preview's first page: %lld ms (target < 1000)", firstPage);
    qInfo("whole report to PDF: %lld ms (target < 20000), %.1f MB file", pdf,
          QFileInfo(path).size() / 1048576.0);
    qInfo("peak memory growth: %.1f MB after pagination, %.1f MB at the end (target < 50)",
          (afterPaginate - before) / 1024.0, (peak - before) / 1024.0);
}

TREVANO_TEST_MAIN(bench_reports)
#include "bench_reports.moc"
