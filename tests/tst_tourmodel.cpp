// The tour model: acceptance windows, fixed-width button codes and the ordered collections.
#include "tour/cTourModel.h"

#include <QtTest>

namespace {

TourTime::Moment at(const char* text) {
    TourTime::Moment m = 0;
    if (!TourTime::ParseSqlText(QString::fromLatin1(text), &m))
        qFatal("bad fixture time %s", text);
    return m;
}

} // namespace

class tst_tourmodel : public QObject {
    Q_OBJECT
private slots:
    void window_data();
    void window();
    void storedTexts_data();
    void storedTexts();
    void fixedWidthCodes();
    void collections();
    void removingClaimedPositions();
};

void tst_tourmodel::window_data() {
    QTest::addColumn<QString>("due");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<QString>("earliest"); // empty: the window cannot be formed
    QTest::addColumn<QString>("latest");
    QTest::newRow("5 min") << "2026-03-02 10:00:00" << 5 << "2026-03-02 09:55:00"
                           << "2026-03-02 10:05:59";
    QTest::newRow("0: own minute only") << "2026-03-02 10:00:00" << 0 << "2026-03-02 10:00:00"
                                        << "2026-03-02 10:00:59";
    QTest::newRow("59") << "2026-03-02 10:00:00" << 59 << "2026-03-02 09:01:00"
                        << "2026-03-02 10:59:59";
    QTest::newRow("reaches the day before") << "2026-03-02 00:03:00" << 5 << "2026-03-01 23:58:00"
                                            << "2026-03-02 00:08:59";
    QTest::newRow("reaches the next year") << "2026-12-31 23:58:00" << 5 << "2026-12-31 23:53:00"
                                           << "2027-01-01 00:03:59";
    QTest::newRow("60 is no window") << "2026-03-02 10:00:00" << 60 << ""
                                     << "";
    QTest::newRow("negative is no window") << "2026-03-02 10:00:00" << -1 << ""
                                           << "";
}

void tst_tourmodel::window() {
    QFETCH(QString, due);
    QFETCH(int, tolerance);
    QFETCH(QString, earliest);
    QFETCH(QString, latest);
    cTourPoint point;
    point.setPointDateTime(at(due.toLatin1().constData()));
    if (earliest.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(AppError, point.TimeEarliest(tolerance));
        QVERIFY_THROWS_EXCEPTION(AppError, point.TimeLatest(tolerance));
        return;
    }
    QCOMPARE(TourTime::SqlText(point.TimeEarliest(tolerance)), earliest);
    QCOMPARE(TourTime::SqlText(point.TimeLatest(tolerance)), latest);
    QCOMPARE(TourTime::SqlText(point.PointDateTime()), due); // the point is unchanged
}

void tst_tourmodel::storedTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("moment"); // a moment, else a time of day
    QTest::addColumn<bool>("valid");
    QTest::newRow("moment") << "2026-03-02 23:59:59" << true << true;
    QTest::newRow("leap day") << "2028-02-29 00:00:00" << true << true;
    QTest::newRow("no such day") << "2026-02-29 10:00:00" << true << false;
    QTest::newRow("no seconds") << "2026-03-02 10:00" << true << false;
    QTest::newRow("Qt's ISO text") << "2026-03-02T10:00:00" << true << false;
    QTest::newRow("hour 24") << "2026-03-02 24:00:00" << true << false;
    QTest::newRow("signs in the digits") << "2026-03-02 +1:00:00" << true << false;
    QTest::newRow("time") << "23:59:00" << false << true;
    QTest::newRow("time without seconds") << "10:00" << false << false;
    QTest::newRow("minute 60") << "10:60:00" << false << false;
}

void tst_tourmodel::storedTexts() {
    QFETCH(QString, text);
    QFETCH(bool, moment);
    QFETCH(bool, valid);
    if (moment) {
        TourTime::Moment m = 0;
        QCOMPARE(TourTime::ParseSqlText(text, &m), valid);
        if (valid)
            QCOMPARE(TourTime::SqlText(m), text);
    } else {
        int seconds = 0;
        QCOMPARE(TourTime::ParseTimeOfDay(text, &seconds), valid);
    }
}

void tst_tourmodel::fixedWidthCodes() {
    cLocation location;
    QCOMPARE(location.ButtonCode(), QStringLiteral("      "));
    location.setButtonCode("A1B2C");
    QCOMPARE(location.ButtonCode(), QStringLiteral("A1B2C "));
    QVERIFY(location.ButtonCode() != QStringLiteral("A1B2C"));
    location.setButtonCode("A1B2C3D4");
    QCOMPARE(location.ButtonCode(), QStringLiteral("A1B2C3"));
    cEvent event;
    event.setCode("E1");
    QCOMPARE(event.Code(), QStringLiteral("E1    "));
    // Every other text is kept as given.
    location.setName("  Gate  ");
    QCOMPARE(location.Name(), QStringLiteral("  Gate  "));
    QCOMPARE(location.Events().Count(), 0);
}

void tst_tourmodel::collections() {
    colTourPoints points;
    QCOMPARE(points.Count(), 0);
    QVERIFY(points.begin() == points.end());
    QVERIFY_THROWS_EXCEPTION(AppError, points.Item(1));

    cTourPoint& first = points.Add(false, "North", "desc", "Gate", "00000A", 100, 1);
    points.Add(false, "North", "desc", "Door", "00000B", 200, 2, "second");
    points.Add(false, "North", "desc", "Yard", "00000C", 300, 3);
    // Add hands back the very point the collection holds.
    first.setPointOK(true);
    QVERIFY(points.Item(1).PointOK());
    QVERIFY(points.begin()->PointOK());
    QCOMPARE(points.Item("second").ButtonName(), QStringLiteral("Door"));

    // A key already filed, or none filed, fails and changes nothing.
    QVERIFY_THROWS_EXCEPTION(AppError, points.Add(false, "", "", "", "", 0, 4, "second"));
    QVERIFY_THROWS_EXCEPTION(AppError, points.Item("third"));
    QVERIFY_THROWS_EXCEPTION(AppError, points.Remove(4));
    QCOMPARE(points.Count(), 3);

    points.Remove(1);
    QCOMPARE(points.Count(), 2);
    QCOMPARE(points.Item(1).ButtonName(), QStringLiteral("Door"));
    QStringList order;
    for (const cTourPoint& p : points)
        order << p.ButtonName();
    QCOMPARE(order, QStringList({"Door", "Yard"}));

    colLocations touches;
    cLocation& touch = touches.Add(5, "00000A", "Gate", "d", "North", "gd");
    touch.Events().Add("bd", "Book", "fd", "Fire", "0000E1", 6);
    QCOMPARE(touches.Item(1).Events().Count(), 1);
    QCOMPARE(touches.Item(1).Events().Item(1).Name(), QStringLiteral("Fire"));
}

void tst_tourmodel::removingClaimedPositions() {
    colLocations touches;
    for (int i = 1; i <= 7; ++i)
        touches.Add(i, QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')), QString::number(i), "",
                    "", "");
    touches.RemovePositions({1, 4, 5, 7});
    QStringList left;
    for (const cLocation& t : touches)
        left << t.Name();
    QCOMPARE(left, QStringList({"2", "3", "6"}));
    touches.RemovePositions({});
    QCOMPARE(touches.Count(), 3);
    // Positions out of range or out of order fail before anything is removed.
    QVERIFY_THROWS_EXCEPTION(AppError, touches.RemovePositions({2, 4}));
    QVERIFY_THROWS_EXCEPTION(AppError, touches.RemovePositions({2, 1}));
    QCOMPARE(touches.Count(), 3);
}

QTEST_GUILESS_MAIN(tst_tourmodel)
#include "tst_tourmodel.moc"
