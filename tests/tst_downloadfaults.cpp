// Downloads of the page that fail at the reader or at the database: nothing stored, the reader
// neither erased nor its clock set.
#include "DownloadLogs.h"
#include "DownloadPage.h"
#include "SimulatedDock.h"

#include <QPushButton>
#include <QtTest>

class tst_downloadfaults : public QObject, private DownloadPageFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { end(); }

    void readerFault_data();
    void readerFault();
    void storeFails();
};

void tst_downloadfaults::readerFault_data() {
    QTest::addColumn<int>("reply");
    QTest::addColumn<QString>("box");
    QTest::newRow("no reader") << int(DockStation::DownloadReply::NoReader)
                               << "Reader not detected. Check reader and try again.";
    QTest::newRow("download error")
        << int(DockStation::DownloadReply::DownloadError) << "Download Error (002)";
    QTest::newRow("count FFFF") << int(DockStation::DownloadReply::CountError) << "Download Error";
}

void tst_downloadfaults::readerFault() {
    QFETCH(int, reply);
    QFETCH(QString, box);
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(10, 1, {"12AB3F"}, kDay));
    dock.setDownloadReply(DockStation::DownloadReply(reply));
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    BoxRecorder boxes;
    page->findChild<QPushButton*>("cmdOnline_0")->click();
    QCOMPARE(boxes.texts(), QStringList{box});
    QCOMPARE(pageMessage(), QString("Download Failed"));
    QCOMPARE(gConn->Query("SELECT ID FROM tblEvents").count(), 0);
    QCOMPARE(dock.requests().size(), 1); // the download request only: no erase, no clock
    QVERIFY(!dock.logSlots().isEmpty());
    QVERIFY(!gReceiveEnabled);
}

void tst_downloadfaults::storeFails() {
    gConn->Execute(
        "CREATE TRIGGER tFull BEFORE INSERT ON tblEvents WHEN (SELECT count(*) FROM tblEvents) >= 3 "
        "BEGIN SELECT RAISE(ABORT, 'full'); END");
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(5, 1, {"12AB3F"}, kDay));
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    BoxRecorder boxes;
    page->findChild<QPushButton*>("cmdOnline_0")->click();
    QCOMPARE(boxes.boxes.size(), 1);
    QVERIFY2(boxes.texts().first().startsWith(
                 "The touches could not be stored. The reader keeps them.\r\n"),
             qPrintable(boxes.texts().first()));
    QVERIFY(pageMessage().startsWith("Download Failed"));
    QVERIFY(!pageMessage().contains("Successful"));
    QCOMPARE(gConn->Query("SELECT ID FROM tblEvents").count(), 0);
    QCOMPARE(dock.requests().size(), 1); // neither erased nor its clock set
    QVERIFY(!dock.logSlots().isEmpty());
    QVERIFY(home->errorLog().contains("DownloadReader of Form frmMdiDownload"));
    QVERIFY(page->QueryClose());
}

QTEST_MAIN(tst_downloadfaults)
#include "tst_downloadfaults.moc"
