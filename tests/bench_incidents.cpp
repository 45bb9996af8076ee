// The incident reports on a year of touches (20 readers x 500 a day x 365 days): a month's
// incident report for 10 incident buttons and all 20 readers (its rows, then its pages), a
// year of it for two readers, and a month's incidents-and-locations report without a filter;
// each with the growth of the process's peak memory. Prints; never fails on time.
#include "BenchMemory.h"
#include "Database.h"
#include "ReportEngine.h"
#include "TestHome.h"
#include "TestMain.h"
#include "YearDatabase.h"
#include "incident/darIncident.h"
#include "incident/mIncidentReport.h"
#include "incident_sites/darIncidentOld.h"
#include "incident_sites/mIncidentSites.h"
#include "mGlobals.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

namespace {

QDateTime moment(const QDate& day, const QTime& time) {
    return QDateTime(day, time, Qt::UTC);
}

qint64 count(const QString& table) {
    return gConn->Query(QString("SELECT count(*) AS n FROM %1").arg(table)).first().integer("n");
}

} // namespace

class bench_incidents : public QObject {
    Q_OBJECT
private slots:
    void incidentReports();
    void incidentsWithSitesToFirstPage();
};

void bench_incidents::incidentReports() {
    QElapsedTimer clock;
    clock.start();
    const QString year = CachedYearDatabase(QStringLiteral(TREVANO_BENCH_DIR));
    const YearDatabaseInfo info = YearDatabaseSummary();
    qInfo("year database ready in %.1f s: %lld touches", clock.elapsed() / 1000.0, info.touches);

    // The reports write their tables into the database: they work on a copy.
    TestHome home(false);
    QVERIFY(QFile::copy(year, home.databasePath()));
    home.openGlobals();
    const qint64 book =
        gConn->Query("SELECT ID FROM tblListItems WHERE wType = 2").first().integer("ID");
    // Ten incident buttons: the site's own and two that nobody touched.
    gConn->Execute("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName) VALUES (?, "
                   "'FFFFFE', 'Spare 1'), (?, 'FFFFFF', 'Spare 2')",
                   {book, book});
    colEvents events;
    for (const DbRow& r : gConn->Query("SELECT b.ID FROM tblButtons b INNER JOIN tblListItems g "
                                       "ON b.lParentID = g.ID WHERE g.wType = 2 ORDER BY b.ID"))
        events << qint32(r.integer("ID"));
    colReaders readers;
    for (const QString& id : info.readerIds)
        readers << cReader(id);
    QCOMPARE(events.size(), 10);
    QCOMPARE(readers.size(), 20);

    const QDate first(info.firstDay.year(), 6, 1);
    const QDateTime from = moment(first, QTime(0, 0));
    const QDateTime to = moment(first.addMonths(1).addDays(-1), QTime(23, 59, 59));
    const qint64 before = StatusKb("VmRSS:");

    ResetPeak();
    clock.restart();
    QCOMPARE(WriteIncidentRows(from, to, readers, events), IncidentRows::Written);
    const qint64 rowsMs = clock.elapsed();
    const double rowsPeak = PeakGrowthMb(before);
    const qint64 lines = count("tblReportTemp");

    ResetPeak();
    clock.restart();
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(darIncident(), source);
    QVERIFY(report.Paginate());
    const qint64 pagesMs = clock.elapsed();
    const double pagesPeak = PeakGrowthMb(before);
    qInfo("incident report, a month, 10 buttons, 20 readers: rows %lld ms (%lld lines), pages "
          "%lld ms (%d pages), together %lld ms (target < 2000); peak memory growth %.1f MB, "
          "%.1f MB",
          rowsMs, lines, pagesMs, report.PageCount(), rowsMs + pagesMs, rowsPeak, pagesPeak);

    ResetPeak();
    clock.restart();
    QCOMPARE(WriteIncidentRows(moment(info.firstDay, QTime(0, 0)),
                               moment(info.lastDay, QTime(23, 59, 59)), readers.mid(0, 2), events),
             IncidentRows::Written);
    qInfo("incident report, a year, 10 buttons, 2 readers: rows %lld ms (%lld lines); peak "
          "memory growth %.1f MB",
          clock.elapsed(), count("tblReportTemp"), PeakGrowthMb(before));

    ResetPeak();
    clock.restart();
    CreateTempIncidentTable();
    qint64 written = 0;
    {
        std::unique_ptr<DbCursor> touches = OpenIncidentEvents(from, to);
        written = WriteTempIncidentRows(*touches, {});
    }
    qInfo("incidents and locations, a month, no filter: rows %lld ms (%lld lines); peak memory "
          "growth %.1f MB",
          clock.elapsed(), written, PeakGrowthMb(before));
    DropTempIncidentTable();
}

// The incidents report with sites to its first page (its rows written, the pages laid out, the
// first page's items made) beside its anchor, the join that returns those rows; for June and
// for the year; with the database file's free pages after the year and the memory growth.
void bench_incidents::incidentsWithSitesToFirstPage() {
    const QString year = CachedYearDatabase(QStringLiteral(TREVANO_BENCH_DIR));
    const YearDatabaseInfo info = YearDatabaseSummary();
    TestHome home(false);
    QVERIFY(QFile::copy(year, home.databasePath()));
    home.openGlobals();
    const auto mainPragma = [](const char* name) {
        return gConn->Query(QString("PRAGMA main.%1").arg(name)).first().integer(name);
    };
    const qint64 pagesBefore = mainPragma("page_count");
    const qint64 before = StatusKb("VmRSS:");
    struct Range {
        const char* name;
        QDateTime from, to;
    };
    const QDate june(info.firstDay.year(), 6, 1);
    const Range ranges[] = {
        {"June", moment(june, QTime(0, 0)),
         moment(june.addMonths(1).addDays(-1), QTime(23, 59, 59))},
        {"the year", moment(info.firstDay, QTime(0, 0)), moment(info.lastDay, QTime(23, 59, 59))}};
    for (const Range& range : ranges) {
        QElapsedTimer clock;
        clock.start();
        qint64 joined = 0;
        {
            std::unique_ptr<DbCursor> touches = OpenIncidentEvents(range.from, range.to);
            while (touches->Next())
                ++joined;
        }
        const qint64 joinMs = clock.elapsed();

        ResetPeak();
        clock.restart();
        CreateTempIncidentTable();
        qint64 written = 0;
        {
            std::unique_ptr<DbCursor> touches = OpenIncidentEvents(range.from, range.to);
            written = WriteTempIncidentRows(*touches, {});
        }
        const qint64 rowsMs = clock.elapsed();
        int pages = 0;
        {
            ReportTableSource source(*gConn, "tblTempIncident");
            ReportDocument report(darIncidentOld(), source);
            QVERIFY(report.Paginate());
            QVERIFY(!report.PageItems(0).isEmpty());
            pages = report.PageCount();
        }
        const qint64 firstPageMs = clock.elapsed();
        const double peak = PeakGrowthMb(before);
        clock.restart();
        DropTempIncidentTable();
        const qint64 dropMs = clock.elapsed();
        QCOMPARE(written, joined);
        qInfo("incidents with sites, %s, %lld rows: first page %lld ms (rows %lld ms, pages %lld "
              "ms, %d pages) against the join %lld ms: %.2f times (target < 2.5); dropping the "
              "table %lld ms; peak memory growth %.1f MB",
              range.name, written, firstPageMs, rowsMs, firstPageMs - rowsMs, pages, joinMs,
              double(firstPageMs) / qMax<qint64>(1, joinMs), dropMs, peak);
    }
    const qint64 pages = mainPragma("page_count"), free = mainPragma("freelist_count");
    qInfo("main.mdb after the year's incidents with sites: %lld pages (%lld before), %.1f %% free "
          "(target < 10)",
          pages, pagesBefore, 100.0 * free / pages);
}

TREVANO_TEST_MAIN(bench_incidents)
#include "bench_incidents.moc"
