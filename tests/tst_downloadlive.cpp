// The line while the program stays connected: a walk logged live is downloaded; a line that
// goes during a download ends it at once, with nothing stored.
#include "DownloadLogs.h"
#include "DownloadPage.h"
#include "ListChecks.h"
#include "SimulatedDock.h"
#include "frmMain.h"
#include "mLinkGlobals.h"

#include <QDialog>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

class tst_downloadlive : public QObject, private DownloadPageFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { end(); }

    void walkWhileConnected();
    void lineLost_data();
    void lineLost();
    void rowsAtTheLimitsShowWhole_data();
    void rowsAtTheLimitsShowWhole();
};

void tst_downloadlive::walkWhileConnected() {
    SimulatedDock dock;
    dock.setLog({});
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    // A guard's walk over midnight, logged while the program stays connected, behind the
    // touches the reader already holds.
    const QDate night(2026, 12, 10);
    QVERIFY(dock.addTouch({DockStation::WallClock(night, QTime(22, 0)), "12AB3F"}));
    QVERIFY(dock.addTouch({DockStation::WallClock(night, QTime(22, 10)), "00A1B2"}));
    QVERIFY(dock.addTouch({DockStation::WallClock(night, QTime(23, 55)), "5C0F01"}));
    QVERIFY(dock.addTouch({DockStation::WallClock(night.addDays(1), QTime(0, 5)), "12AB3F"}));
    QCOMPARE(dock.logSlots().size() / 4, 7); // three date markers, four touches
    BoxRecorder boxes;
    page->findChild<QPushButton*>("cmdOnline_0")->click();
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(" / ")));
    QCOMPARE(storedTouches(), withReader({"2026-12-10 22:00 12AB3F", "2026-12-10 22:10 00A1B2",
                                          "2026-12-10 23:55 5C0F01", "2026-12-11 00:05 12AB3F"}));
    QCOMPARE(dock.count(0x11), 0); // no reconnect on the way
    // Erased with the download: the next walk starts a log of its own.
    QVERIFY(dock.logSlots().isEmpty());
    QVERIFY(dock.addTouch({DockStation::WallClock(night, QTime(22, 0)), "12AB3F"}));
    QCOMPARE(dock.logSlots().size() / 4, 2);
}

void tst_downloadlive::lineLost_data() {
    QTest::addColumn<int>("afterPackets"); // packets received before the line goes
    QTest::newRow("before the request") << 0;
    QTest::newRow("after the first packet") << 1;
}

void tst_downloadlive::lineLost() {
    QFETCH(int, afterPackets);
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(150, 1, {"12AB3F"}, kDay));
    dock.setStallAfterPackets(1); // the rest would come only after the watchdog's time
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    BoxRecorder boxes;
    bool statusOpenAtBox = false;
    boxes.onBox = [&](const Boxes::Box&) {
        statusOpenAtBox = page->findChild<QDialog*>("frmDownload") != nullptr;
    };
    QTimer pull; // the line goes while the Status window runs
    connect(&pull, &QTimer::timeout, this, [&] {
        auto* status = page->findChild<QDialog*>("frmDownload");
        if (!status || dock.isHungUp())
            return;
        if (status->findChild<QProgressBar*>("prgOnline")->value() >= afterPackets)
            dock.hangUp();
    });
    pull.start(20);
    page->findChild<QPushButton*>("cmdOnline_0")->click();
    pull.stop();
    QVERIFY(dock.isHungUp());
    QCOMPARE(boxes.texts(),
             QStringList{"Download Error\r\nThe connection to the docking station was lost. Check "
                         "the docking station and its cable, then go to the Home page to connect "
                         "again."});
    QVERIFY(statusOpenAtBox);
    QCOMPARE(pageMessage(), QString("Download Failed"));
    QCOMPARE(gConn->Query("SELECT ID FROM tblEvents").count(), 0);
    QCOMPARE(window->StatusText(1), QString("Status: Offline"));
    QCOMPARE(window->StatusText(2), QString("Not connected. Press Home to connect again."));
    QVERIFY(!gDocked);
    QVERIFY(!window->Action("download")->isEnabled());
    QVERIFY(window->Action("home")->isEnabled());
    QVERIFY(!gReceiveEnabled);
}

void tst_downloadlive::rowsAtTheLimitsShowWhole_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 0;
    QTest::newRow("German") << 2;
}

// A download at the main window's first size: numbers, dates, times and IDs of their widest
// digits on one line, names of 25 characters whole (on two lines where both do not fit beside
// the figures), every heading whole and nothing behind a scroll bar.
void tst_downloadlive::rowsAtTheLimitsShowWhole() {
    QFETCH(int, language);
    gTranslator->language = language;
    gTranslator->Open();
    const qint64 site = gConn->Insert("INSERT INTO tblListItems (tName, tDesc, wType) "
                                      "VALUES ('Warehouse West Main Gates', '', 1)");
    const QStringList codes{"D8D0DB", "DB0D8D"};
    const QStringList names{"Warehouse West Loading 12", "Mower Workshop Window M12"};
    for (int i = 0; i < codes.size(); ++i)
        gConn->Insert("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName) "
                      "VALUES (?, ?, ?)",
                      {site, codes.at(i), names.at(i)});
    SimulatedDock dock;
    QVector<DockStation::Touch> touches;
    for (int i = 0; i < 24; ++i) // more rows than the list shows: its scroll bar takes room
        touches.append(
            {DockStation::WallClock(QDate(2026, 9 + i / 8, 28), QTime(i, 58)), codes.at(i % 2)});
    dock.setLog(touches);
    // The rows are what this looks at, not the line's pace.
    frmMdiDownload* page = openPage(dock, cLinkTimings().Scaled(0.2));
    QVERIFY(page);
    window->show(); // at its first size
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    BoxRecorder boxes;
    page->findChild<QPushButton*>("cmdOnline_0")->click();
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(" / ")));
    auto* list = page->findChild<QTreeWidget*>("lvwDownload");
    QCOMPARE(list->topLevelItemCount(), 24);
    QCOMPARE(list->topLevelItem(23)->text(4), names.at(1));
    QTRY_COMPARE(FirstCutCell(list), QString());
    QCOMPARE(HeadingsOrWidthCut(list), QString());
    // The figures never take a second line.
    list->setWordWrap(false);
    for (int column = 0; column < 4; ++column)
        QCOMPARE(CellCut(list, list->model()->index(23, column)), QString());
}

QTEST_MAIN(tst_downloadlive)
#include "tst_downloadlive.moc"
