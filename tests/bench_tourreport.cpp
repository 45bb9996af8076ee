// The tour / exception report's cost per reader-day on a year of touches (3.65 million): the
// load, the analysis and the writing of the scratch table's rows, each on its own and
// together; and a full reader's day against a tour of 1,000 points. Prints; never fails on
// time.
#include "TestHome.h"
#include "TourFixture.h"
#include "YearDatabase.h"
#include "mGlobals.h"
#include "tour/cTourReport.h"
#include "tour/cTourReportRows.h"
#include "tour/mTourAnalysis.h"
#include "tour/mTourReportBuilder.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <cstdio>

namespace {

struct DayCost {
    double load = 0, analysis = 0, rows = 0;
    qsizetype touches = 0, points = 0, rowCount = 0;
    double total() const { return load + analysis + rows; }
};

double msSince(QElapsedTimer& timer) {
    const double ms = timer.nsecsElapsed() / 1e6;
    timer.restart();
    return ms;
}

// One reader-day as the report builds it, step by step.
DayCost measureDay(qint32 tourId, const QDate& day, const QString& reader, bool isTourReport) {
    DayCost cost;
    QElapsedTimer timer;
    timer.start();
    cTourReport tour;
    tour.setTourID(tourId);
    tour.setStartDate(day);
    tour.setReaderId(reader);
    const bool loaded = tour.LoadTourHeader() && tour.LoadTourPoints() && tour.LoadReaderEvents();
    cost.load = msSince(timer);
    if (!loaded)
        qFatal("reader %s has no touches on %s", qPrintable(reader), qPrintable(day.toString()));
    cost.touches = tour.Buttons().Count();
    cost.points = tour.TourPoints().Count();

    TourRows rows;
    if (!TryToMatchTourPoints(tour) ||
        WalkTourPoints(tour, true, isTourReport, rows) != TourWalk::Done)
        qFatal("the analysis failed");
    cost.analysis = msSince(timer);
    cost.rowCount = static_cast<qsizetype>(rows.size());

    {
        cTourReportRows table(*gConn);
        if (!table.ResetTempTourTable())
            qFatal("no scratch table");
        table.Write(rows);
        table.Commit();
    } // dropped here
    cost.rows = msSince(timer);
    return cost;
}

void printSummary(const char* title, std::vector<DayCost> costs) {
    auto column = [&](auto get) {
        std::vector<double> v;
        for (const DayCost& c : costs)
            v.push_back(get(c));
        std::sort(v.begin(), v.end());
        return std::make_pair(v[v.size() / 2], v.back());
    };
    const auto load = column([](const DayCost& c) { return c.load; });
    const auto analysis = column([](const DayCost& c) { return c.analysis; });
    const auto rows = column([](const DayCost& c) { return c.rows; });
    const auto total = column([](const DayCost& c) { return c.total(); });
    std::printf("%s (%zu reader-days)\n", title, costs.size());
    std::printf("  %-10s %10s %10s\n", "step", "median ms", "max ms");
    std::printf("  %-10s %10.3f %10.3f\n", "load", load.first, load.second);
    std::printf("  %-10s %10.3f %10.3f\n", "analysis", analysis.first, analysis.second);
    std::printf("  %-10s %10.3f %10.3f\n", "rows", rows.first, rows.second);
    std::printf("  %-10s %10.3f %10.3f   (target under 10 ms, 100 ms at most)\n", "together",
                total.first, total.second);
    std::fflush(stdout);
}

} // namespace

class bench_tourreport : public QObject {
    Q_OBJECT
private slots:
    void yearOfTouches();
    void fullReaderDay();
};

// 40 reader-days spread over the year: every reader on two days.
void bench_tourreport::yearOfTouches() {
    QElapsedTimer clock;
    clock.start();
    const YearDatabaseOptions options;
    const QString year = CachedYearDatabase(QStringLiteral(TREVANO_BENCH_DIR), options);
    const YearDatabaseInfo info = YearDatabaseSummary(options);
    std::printf("Year database ready in %.1f s: %lld touches, %d readers\n",
                clock.elapsed() / 1000.0, static_cast<long long>(info.touches),
                static_cast<int>(info.readerIds.size()));
    TestHome home;
    // The report writes and drops its table: on a copy, so the cached file stays as made.
    QFile::remove(home.databasePath());
    QVERIFY(QFile::copy(year, home.databasePath()));
    home.openGlobals();

    struct ReaderDay {
        qint32 tour;
        QDate day;
        QString reader;
    };
    std::vector<ReaderDay> days;
    const int span = int(info.firstDay.daysTo(info.lastDay)) + 1;
    for (int k = 0; k < 40; ++k) {
        const int r = k % int(info.readerIds.size());
        days.push_back({static_cast<qint32>(info.tourOfReader.at(r)),
                        info.firstDay.addDays((k * 97 + 11) % span), info.readerIds.at(r)});
    }
    for (const bool warm : {false, true}) {
        std::vector<DayCost> costs;
        qsizetype touches = 0, rows = 0;
        for (const ReaderDay& d : days) {
            costs.push_back(measureDay(d.tour, d.day, d.reader, true));
            touches += costs.back().touches;
            rows += costs.back().rowCount;
        }
        printSummary(warm ? "Year of touches, second pass" : "Year of touches, first pass", costs);
        std::printf("  %lld location touches and %lld report rows in all\n",
                    static_cast<long long>(touches), static_cast<long long>(rows));
    }
}

// 1,000 points a minute apart over 50 buttons, against the 65,534 touches a reader holds at
// most, all in that day.
void bench_tourreport::fullReaderDay() {
    TestHome home;
    home.openGlobals();
    TourFixture::AddSite();
    QStringList codes;
    {
        DbTransaction transaction(*gConn);
        DbStatement button(*gConn, "INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName) "
                                   "VALUES (1, ?, ?)");
        for (int i = 0; i < 50; ++i) {
            codes << QStringLiteral("1000%1").arg(i, 2, 10, QLatin1Char('0'));
            button.Execute({codes.last(), QStringLiteral("Point %1").arg(i)});
        }
        button.Close();
        transaction.Commit();
    }
    QStringList points;
    for (int i = 0; i < 1000; ++i)
        points << QStringLiteral("1,%1").arg(codes.at(i % codes.size()));
    const int tour = TourFixture::AddTour("Stress", 5, "05:00:00", points);

    const QDate day(2026, 3, 2);
    const qint64 first = TourTime::FromParts(day, 4 * 3600 + 56 * 60);
    const qint64 span = (21 * 3600 + 45 * 60) - (4 * 3600 + 56 * 60);
    QRandomGenerator random(7);
    QStringList touches;
    const int full = 65534;
    for (int i = 0; i < full; ++i) {
        const QString code = random.bounded(10) == 0 ? QStringLiteral("00000F")
                                                     : codes.at(random.bounded(codes.size()));
        touches << TourTime::SqlText(first + span * i / full) + QLatin1Char(',') + code;
    }
    TourFixture::AddTouches(day, touches);

    measureDay(tour, day, TourFixture::Reader, true); // warm the cache
    const DayCost cost = measureDay(tour, day, TourFixture::Reader, true);
    QCOMPARE(cost.touches, full);
    QCOMPARE(cost.points, 1000);

    QElapsedTimer timer;
    timer.start();
    qsizetype previewed = 0;
    BuildTourReport(
        {tour, day, TourFixture::Reader, "R", true, true}, [&](const TourReportHeader&) {
            previewed =
                gConn->Query("SELECT count(*) AS n FROM tblXXXException").first().integer("n");
        });
    const double build = timer.nsecsElapsed() / 1e6;
    QCOMPARE(previewed, cost.rowCount);

    std::printf("Full reader day: %lld points x %lld touches, %lld rows\n",
                static_cast<long long>(cost.points), static_cast<long long>(cost.touches),
                static_cast<long long>(cost.rowCount));
    std::printf("  load %.1f ms, analysis %.1f ms, rows %.1f ms, together %.1f ms; "
                "the whole build %.1f ms (target under 1 s)\n",
                cost.load, cost.analysis, cost.rows, cost.total(), build);
    std::fflush(stdout);
}

QTEST_MAIN(bench_tourreport)
#include "bench_tourreport.moc"
