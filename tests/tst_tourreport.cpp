// The tour / exception report: which touches each point claims and how, the rows of the
// scratch table as the layout reads them during the preview, and the failure messages in
// their order.
#include "PreviewChecks.h"
#include "ReportPreview.h"
#include "TestHome.h"
#include "TestMain.h"
#include "TourFixture.h"
#include "cReportHost.h"
#include "mDeclareAPI.h"
#include "tour/cTourReport.h"
#include "tour/mTourReportBuilder.h"
#include "tour/mTourReportOutput.h"

#include <QtTest>

using namespace TourFixture;
using PreviewChecks::PdfText;
using PreviewChecks::WithPreview;

namespace {

const QDate kDay(2026, 3, 2);

// The tours and touches of one case, written into the fixture database.
struct Scenario {
    int tolerance = 5;
    QString start;
    QStringList points;
    QStringList touches;
    QDate day = kDay;
};

Scenario scenario(const QString& name) {
    Scenario s;
    if (name == "bounds") {
        // Points Yard 09:00, Gate 09:30, Door 10:00, Yard 10:30, Gate 11:00; Door is touched
        // on both edges of every bound of the 10:00 point. The start's seconds are dropped.
        s.start = "08:30:45";
        s.points = {"30,00000C", "30,00000A", "30,00000B", "30,00000C", "30,00000A"};
        s.touches = {"09:24,00000B",    "09:25,00000B",    "09:54,00000B",    "09:55,00000B",
                     "10:05,00000B",    "10:05:59,00000B", "10:06:00,00000B", "10:35,00000B",
                     "10:35:59,00000B", "10:36,00000B"};
    } else if (name == "halfGap") {
        // Gate 10:00 and Gate 10:30: the late limit of the first is 10:15:29.5.
        s.start = "09:30:00";
        s.points = {"30,00000A", "30,00000A", "30,00000B"};
        s.touches = {"10:01,00000A", "10:15:29,00000A", "10:15:30,00000A", "10:31,00000A"};
    } else if (name == "claimedEarlier") {
        // One touch inside the overlapping windows of Gate 10:00 and Gate 10:05.
        s.tolerance = 10;
        s.start = "09:55:00";
        s.points = {"5,00000A", "5,00000A", "25,00000B"};
        s.touches = {"10:08,00000A", "10:30,00000B"};
    } else if (name == "tolerance0") {
        // A window of one minute; touches are loaded 15 minutes around the tour.
        s.tolerance = 0;
        s.start = "09:45:00";
        s.points = {"15,00000A", "30,00000B"};
        s.touches = {"09:44,00000A", "09:45,00000A", "10:00:59,00000A", "10:01,00000A",
                     "10:31,00000B", "10:45,00000B", "10:46,00000B"};
    } else if (name == "tolerance59") {
        // One point at 12:00: its foreign span runs from 11:01 to the synthetic 13:00's
        // opening, 12:01, both excluded.
        s.tolerance = 59;
        s.start = "11:00:00";
        s.points = {"60,00000A"};
        s.touches = {"11:01,00000A", "11:01,00000F", "11:02,00000F",
                     "12:00,00000C", "12:01,00000F", "12:59,00000A"};
    } else if (name == "midnight") {
        // Start 23:50 with 10 and 20 minutes: due 00:00 and 00:20 of the next day. The
        // second point's button was deleted; it keeps its code and place.
        s.start = "23:50:00";
        s.day = QDate(2026, 3, 1);
        s.points = {"10,00000A", "20,00000D"};
        s.touches = {"2026-03-01 00:00:00,00000A",
                     "23:54,00000A",
                     "23:55,00000A",
                     "+1 00:14,00000D",
                     "+1 00:26,00000D",
                     "+1 23:55,00000A"};
    } else if (name == "events") {
        // Incidents follow their location touch in download order; one before any location
        // belongs to none, one after an unclaimed touch is never printed.
        s.start = "09:55:00";
        s.points = {"5,00000A", "30,00000B"};
        s.touches = {"09:55,0000E1", "09:55,00000F", "09:57,0000E1", "10:00,00000A",
                     "10:01,0000E1", "10:02,0000E2", "10:10,00000F", "10:11,0000E1",
                     "10:12,00000a", "10:24,00000B", "10:24,0000E2", "10:26,0000C0"};
    }
    return s;
}

const QString kSep = "---";

struct Host : cReportHost {
    int widthTwips() const override { return 12630; }
};

} // namespace

class tst_tourreport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void classification_data();
    void classification();
    void printedReport();
    void failures_data();
    void failures();
    void touchQueryUsesTheReaderIndex();
    void readerIdIsBound();
    void countersAreNotSixteenBit();

private:
    // Builds and previews the report; the rows are read while the preview is shown, and
    // `whilePreviewed` runs on the open preview before it is closed.
    void build(const TourReportRequest& request,
               std::function<void(ReportPreview&)> whilePreviewed = {});

    std::unique_ptr<TestHome> home;
    QStringList rowsSeen;
    TourReportHeader headerSeen;
    QString previewTitle;
    int previews = 0;
};

void tst_tourreport::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    AddSite();
    rowsSeen.clear();
    previews = 0;
}

void tst_tourreport::cleanup() {
    gCompanyInfo = {};
    home.reset();
}

void tst_tourreport::build(const TourReportRequest& request,
                           std::function<void(ReportPreview&)> whilePreviewed) {
    Host host;
    BuildTourReport(request, [&](const TourReportHeader& header) {
        headerSeen = header;
        WithPreview([&] { ShowTourReport(header, host); },
                    [&](ReportPreview& preview) {
                        ++previews;
                        previewTitle = preview.windowTitle();
                        rowsSeen = ReadTourRows();
                        if (whilePreviewed)
                            whilePreviewed(preview);
                    });
    });
}

void tst_tourreport::classification_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<bool>("tourReport");
    QTest::addColumn<bool>("events");
    QTest::addColumn<QStringList>("rows");

    const QString yard = "North - Yard", gate = "North - Gate", door = "North - Door";
    QTest::newRow("bounds, all points")
        << "bounds" << true << false
        << QStringList{kSep,
                       "P1 09:00 [08:55 to 09:05] " + yard + ": EXCEPTION",
                       "  09:24 OUT OF SEQUENCE " + door,
                       kSep,
                       "P2 09:30 [09:25 to 09:35] " + gate + ": MISSING",
                       kSep,
                       "P3 10:00 [09:55 to 10:05] " + door + ": ON TIME",
                       "  09:25 EARLY " + door,
                       "  09:54 EARLY " + door,
                       "  09:55 ON TIME " + door,
                       "  10:05 ON TIME " + door,
                       "  10:05 ON TIME " + door,
                       "  10:06 LATE " + door,
                       "  10:35 LATE " + door,
                       "  10:35 LATE " + door,
                       kSep,
                       "P4 10:30 [10:25 to 10:35] " + yard + ": EXCEPTION",
                       "  10:36 OUT OF SEQUENCE " + door,
                       kSep,
                       "P5 11:00 [10:55 to 11:05] " + gate + ": MISSING"};
    // A met point prints nothing; its early and late touches are consumed unprinted.
    QTest::newRow("bounds, exceptions")
        << "bounds" << false << false
        << QStringList{kSep,
                       "P1 09:00 [08:55 to 09:05] " + yard + ": EXCEPTION",
                       "  09:24 OUT OF SEQUENCE " + door,
                       kSep,
                       "P2 09:30 [09:25 to 09:35] " + gate + ": MISSING",
                       kSep,
                       "P4 10:30 [10:25 to 10:35] " + yard + ": EXCEPTION",
                       "  10:36 OUT OF SEQUENCE " + door,
                       kSep,
                       "P5 11:00 [10:55 to 11:05] " + gate + ": MISSING"};
    QTest::newRow("half gap on one button")
        << "halfGap" << true << false
        << QStringList{kSep,
                       "P1 10:00 [09:55 to 10:05] " + gate + ": ON TIME",
                       "  10:01 ON TIME " + gate,
                       "  10:15 LATE " + gate,
                       kSep,
                       "P2 10:30 [10:25 to 10:35] " + gate + ": ON TIME",
                       "  10:15 EARLY " + gate,
                       "  10:31 ON TIME " + gate,
                       kSep,
                       "P3 11:00 [10:55 to 11:05] " + door + ": MISSING"};
    QTest::newRow("met but claimed earlier: MISSING")
        << "claimedEarlier" << true << false
        << QStringList{kSep,
                       "P1 10:00 [09:50 to 10:10] " + gate + ": ON TIME",
                       "  10:08 ON TIME " + gate,
                       kSep,
                       "P2 10:05 [09:55 to 10:15] " + gate + ": MISSING",
                       kSep,
                       "P3 10:30 [10:20 to 10:40] " + door + ": ON TIME",
                       "  10:30 ON TIME " + door};
    QTest::newRow("every point met: no exceptions")
        << "claimedEarlier" << false << true << QStringList{"SEP:NO EXCEPTIONS", kSep};
    QTest::newRow("tolerance 0") << "tolerance0" << true << false
                                 << QStringList{kSep,
                                                "P1 10:00 [10:00 to 10:00] " + gate + ": ON TIME",
                                                "  09:45 EARLY " + gate,
                                                "  10:00 ON TIME " + gate,
                                                "  10:01 LATE " + gate,
                                                kSep,
                                                "P2 10:30 [10:30 to 10:30] " + door + ": EXCEPTION",
                                                "  10:31 LATE " + door,
                                                "  10:45 LATE " + door};
    QTest::newRow("tolerance 0, exceptions")
        << "tolerance0" << false << false
        << QStringList{kSep, "P2 10:30 [10:30 to 10:30] " + door + ": EXCEPTION",
                       "  10:31 LATE " + door, "  10:45 LATE " + door};
    QTest::newRow("tolerance 59, one point")
        << "tolerance59" << true << false
        << QStringList{kSep,
                       "P1 12:00 [11:01 to 12:59] " + gate + ": ON TIME",
                       "  11:01 ON TIME " + gate,
                       "  11:02 NOT ON TOUR North - Shed",
                       "  12:00 NOT ON TOUR " + yard,
                       "  12:59 ON TIME " + gate};
    QTest::newRow("past midnight") << "midnight" << true << false
                                   << QStringList{kSep,
                                                  "P1 00:00 [23:55 to 00:05] " + gate + ": ON TIME",
                                                  "  23:55 ON TIME " + gate,
                                                  kSep,
                                                  "P2 00:20 [00:15 to 00:25]  - : EXCEPTION",
                                                  "  00:14 EARLY North - Old door"};
    QTest::newRow("events shown") << "events" << true << true
                                  << QStringList{kSep,
                                                 "P1 10:00 [09:55 to 10:05] " + gate + ": ON TIME",
                                                 "  10:00 ON TIME " + gate,
                                                 "  10:01 EVENT Book - Fire",
                                                 "  10:02 EVENT Book - Smoke",
                                                 "  10:10 NOT ON TOUR North - Shed",
                                                 "  10:11 EVENT Book - Fire",
                                                 "  10:12 NOT ON TOUR " + gate,
                                                 kSep,
                                                 "P2 10:30 [10:25 to 10:35] " + door +
                                                     ": EXCEPTION",
                                                 "  10:24 EARLY " + door,
                                                 "  10:24 EVENT Book - Smoke"};
    QTest::newRow("events hidden")
        << "events" << true << false
        << QStringList{kSep,
                       "P1 10:00 [09:55 to 10:05] " + gate + ": ON TIME",
                       "  10:00 ON TIME " + gate,
                       "  10:10 NOT ON TOUR North - Shed",
                       "  10:12 NOT ON TOUR " + gate,
                       kSep,
                       "P2 10:30 [10:25 to 10:35] " + door + ": EXCEPTION",
                       "  10:24 EARLY " + door};
    QTest::newRow("events, exceptions")
        << "events" << false << true
        << QStringList{kSep, "P2 10:30 [10:25 to 10:35] " + door + ": EXCEPTION",
                       "  10:24 EARLY " + door, "  10:24 EVENT Book - Smoke"};
}

void tst_tourreport::classification() {
    QFETCH(QString, scenario);
    QFETCH(bool, tourReport);
    QFETCH(bool, events);
    QFETCH(QStringList, rows);
    const Scenario s = ::scenario(scenario);
    const int tour = AddTour("Night", s.tolerance, s.start, s.points);
    AddTouches(s.day, s.touches);
    AddTouches(s.day, {"10:00,00000A", "10:30,00000B"}, "0000FFFF"); // another reader

    BoxRecorder boxes;
    build({tour, s.day, Reader, "0000ABCD - Van 1", events, tourReport});
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(previews, 1);
    QCOMPARE(rowsSeen, rows);
    QCOMPARE(previewTitle, tourReport ? QString("Tour Report") : QString("Exception Report"));
    QVERIFY(!TourTableExists());
}

void tst_tourreport::printedReport() {
    gCompanyInfo = {QString(), "Line 1", QString(), "Line 3", QString()};
    const int tour = AddTour("Night", 5, "09:55:00", {"5,00000A", "30,00000B"}, QString());
    AddTouches(kDay, {"10:00,00000A", "10:24,00000B", "10:24,0000E2"});
    const QString pdf = home->file("tour.pdf");
    build({tour, kDay, Reader, "0000ABCD - Van 1", true, false}, [&](ReportPreview& preview) {
        FileAnswers files({pdf});
        QVERIFY(preview.SaveAsPdf());
    });
    QCOMPARE(previews, 1);
    // The printed page, line by line in reading order.
    const QString today = QLocale().toString(QDate::currentDate(), GetShortDateFormat());
    const QString day = QLocale().toString(kDay, GetShortDateFormat());
    const QStringList expected = {"^Print Date: +" + QRegularExpression::escape(today) +
                                      " {4,}\\d\\d:\\d\\d +TK-22 Trevano Reports +Page +1 / 1$",
                                  "^ +Line 1$",
                                  "^ +Line 3$",
                                  "^ +Exception Report$",
                                  "^Reader ID: +0000ABCD - Van 1 +Tolerance \\(min\\): +5$",
                                  "^Tour Date: +" + QRegularExpression::escape(day) +
                                      " +Show Events: +Yes$",
                                  "^Tour Name: +Night -$",
                                  "^Time +Site/Location +Status$",
                                  "^_{100,}$",
                                  "^10:30 +10:25 to 10:35 +North - Door +EXCEPTION$",
                                  "^ +10:24 +EARLY +North - Door$",
                                  "^ +10:24 +EVENT +Book - Smoke$",
                                  "^ +End Of Report$"};
    QStringList lines;
    for (QString line : PdfText(pdf).split('\n')) {
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        lines << line;
    }
    int at = 0;
    for (const QString& pattern : expected) {
        const QRegularExpression re(pattern);
        while (at < lines.size() && !re.match(lines.at(at)).hasMatch())
            ++at;
        QVERIFY2(at < lines.size(), qPrintable(pattern + "\n" + lines.join('\n')));
        ++at;
    }
    // Exactly four blanks before the time; the description-less tour keeps its " - "; the
    // empty company lines stay blank lines.
    QVERIFY2(headerSeen.PrintDate.startsWith(today + "    "), qPrintable(headerSeen.PrintDate));
    QVERIFY(QTime::fromString(headerSeen.PrintDate.mid(today.size() + 4), "HH:mm").isValid());
    QCOMPARE(headerSeen.TourDesc, QStringLiteral("Night - "));
    QCOMPARE(headerSeen.CompanyInfo, QStringLiteral("Line 1\r\n\r\nLine 3\r\n"));
}

void tst_tourreport::failures_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("logged"); // a label the error log must hold, or empty

    const QString error = "Error in creating new Tour\r\n";
    QTest::newRow("no tour") << "noTour" << error + "<ERROR #0001>"
                             << "";
    QTest::newRow("tour without points") << "noPoints" << error + "<ERROR #0002>"
                                         << "";
    QTest::newRow("tolerance 60 without points")
        << "tolerance60NoPoints" << error + "<ERROR #0002>"
        << "GetToleranceAsDate of Class Module cTourReport";
    QTest::newRow("no touch of the reader") << "noTouches"
                                            << "No Data on the report"
                                            << "";
    QTest::newRow("tolerance 60 without touches")
        << "tolerance60NoTouches"
        << "No Data on the report"
        << "GetToleranceAsDate of Class Module cTourReport";
    QTest::newRow("incidents only") << "incidentsOnly"
                                    << "No Data on the report"
                                    << "";
    QTest::newRow("tolerance 60") << "tolerance60" << error + "<ERROR #0004>"
                                  << "TryToMatchTourPoints of Form frmRptTour";
    QTest::newRow("table cannot be created") << "tableBlocked" << error + "<ERROR #0005>"
                                             << "ResetTempTourTable of Form frmRptTour";
    QTest::newRow("touches cannot be read") << "eventsFail" << error + "<ERROR #9999>"
                                            << "LoadReaderEvents of Class Module cTourReport";
    QTest::newRow("unreadable touch time") << "badTime" << error + "<ERROR #9999>"
                                           << "LoadReaderEvents of Class Module cTourReport";
    QTest::newRow("start time unreadable") << "badStart" << error + "<ERROR #0001>"
                                           << "LoadTourHeader of Class Module cTourReport";
    QTest::newRow("preview fails") << "previewFails" << error + "<ERROR #9999>"
                                   << "BuildTourReport of Form frmRptTour";
}

void tst_tourreport::failures() {
    QFETCH(QString, setup);
    QFETCH(QString, message);
    QFETCH(QString, logged);

    const QStringList touches = {"10:00,00000A", "10:30,00000B"};
    const QStringList points = {"5,00000A", "30,00000B"};
    int tour = 0;
    if (setup == "noPoints") {
        tour = AddTour("Empty", 5, "09:55:00", {});
        AddTouches(kDay, touches);
    } else if (setup == "tolerance60NoPoints") {
        tour = AddTour("Wide", 60, "09:55:00", {});
        AddTouches(kDay, touches);
    } else if (setup == "noTouches") {
        tour = AddTour("Night", 5, "09:55:00", points);
        AddTouches(kDay.addDays(1), touches);
    } else if (setup == "tolerance60NoTouches") {
        tour = AddTour("Wide", 60, "09:55:00", points);
    } else if (setup == "incidentsOnly") {
        tour = AddTour("Night", 5, "09:55:00", points);
        AddTouches(kDay, {"10:00,0000E1", "10:01,0000E2", "10:02,0000C0"});
    } else if (setup == "tolerance60") {
        tour = AddTour("Wide", 60, "09:55:00", points);
        AddTouches(kDay, {"10:00,00000F"}); // a touch no point waits for still fails
    } else if (setup == "badStart") {
        tour = AddTour("Night", 5, "09:55:00", points);
        gConn->Execute("PRAGMA ignore_check_constraints = 1");
        gConn->Execute("UPDATE tblTours SET dtStartTime = '9:55' WHERE ID = ?", {tour});
        AddTouches(kDay, touches);
    } else if (setup != "noTour") {
        tour = AddTour("Night", 5, "09:55:00", points);
        AddTouches(kDay, touches);
    }
    if (setup == "tableBlocked")
        // Where the report creates its table.
        gConn->Execute("CREATE VIEW scratch.tblXXXException AS SELECT 1 AS tItem");
    if (setup == "eventsFail")
        gConn->Execute("CREATE TEMP TABLE tblEvents (ID INTEGER)");
    if (setup == "badTime")
        AddTouches(kDay, {"2026-03-02 10:01,00000A"}); // 16 characters, inside the range

    BoxRecorder boxes;
    if (setup == "previewFails") {
        BuildTourReport({tour, kDay, Reader, "R", false, true}, [](const TourReportHeader&) {
            QVERIFY(TourTableExists());
            throw AppError(14, "the preview could not be shown");
        });
    } else {
        build({tour, kDay, Reader, "R", false, true});
    }
    QCOMPARE(boxes.texts(), QStringList{message});
    QCOMPARE(previews, 0);
    QVERIFY(!TourTableExists());
    if (logged.isEmpty())
        QCOMPARE(home->errorLog(), QString());
    else
        QVERIFY2(home->errorLog().contains(logged), qPrintable(home->errorLog()));
}

void tst_tourreport::touchQueryUsesTheReaderIndex() {
    QStringList plan;
    for (const DbRow& r :
         gConn->Query(QStringLiteral("EXPLAIN QUERY PLAN ") + cTourReport::EventsQuery,
                      {Reader, "2026-03-02 09:55:00", "2026-03-02 10:35:00"}))
        plan << r.text("detail");
    QVERIFY2(plan.join('\n').contains("ixEvents_ReaderTime"), qPrintable(plan.join('\n')));
}

void tst_tourreport::readerIdIsBound() {
    const int tour = AddTour("Night", 5, "09:55:00", {"5,00000A"});
    AddTouches(kDay, {"10:00,00000A"}, "0' OR '1'='1");
    AddTouches(kDay, {"10:00,00000F"}, "0000ABCD");
    build({tour, kDay, "0' OR '1'='1", "R", false, true});
    QCOMPARE(rowsSeen, QStringList({kSep, "P1 10:00 [09:55 to 10:05] North - Gate: ON TIME",
                                    "  10:00 ON TIME North - Gate"}));
}

void tst_tourreport::countersAreNotSixteenBit() {
    // 33,000 foreign touches claimed by one point.
    const int wide = AddTour("Long", 5, "09:55:00", {"5,00000A", "600,00000B"});
    QStringList touches;
    for (int s = 1; s <= 33000; ++s)
        touches << TourTime::SqlText(TourTime::FromParts(kDay, 10 * 3600 + s)) + ",00000F";
    AddTouches(kDay, touches);
    build({wide, kDay, Reader, "R", false, false});
    QCOMPARE(rowsSeen.size(), 2 + 33000 + 2);
    QCOMPARE(rowsSeen.at(2), QStringLiteral("  10:00 NOT ON TOUR North - Shed"));
    QCOMPARE(rowsSeen.at(33001), QStringLiteral("  19:10 NOT ON TOUR North - Shed"));
    QCOMPARE(rowsSeen.last(), QStringLiteral("P2 20:00 [19:55 to 20:05] North - Door: MISSING"));

    // 33,000 points due at once, all met by one touch that only the first can claim.
    QStringList many(33000, QStringLiteral("0,00000A"));
    many.first() = QStringLiteral("5,00000A");
    const int crowded = AddTour("Crowded", 5, "09:55:00", many);
    AddTouches(kDay.addDays(1), {"10:00,00000A"});
    build({crowded, kDay.addDays(1), Reader, "R", false, true});
    QCOMPARE(rowsSeen.size(), 3 + 2 * 32999);
    QCOMPARE(rowsSeen.at(2), QStringLiteral("  10:00 ON TIME North - Gate"));
    QCOMPARE(rowsSeen.last(),
             QStringLiteral("P33000 10:00 [09:55 to 10:05] North - Gate: MISSING"));
}

TREVANO_TEST_MAIN(tst_tourreport)
#include "tst_tourreport.moc"
