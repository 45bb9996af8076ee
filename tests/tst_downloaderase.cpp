// Erasing the reader from the download page and the Tools menu: tried again on Yes, and sent
// only once a reader still sending has finished.
#include "DownloadLogs.h"
#include "DownloadPage.h"
#include "SimulatedDock.h"
#include "cSerialLink.h"
#include "mQuietLine.h"

#include <QAction>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class tst_downloaderase : public QObject, private DownloadPageFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { end(); }

    void eraseRetry_data();
    void eraseRetry();
    void eraseWaitsForTheStream();
};

void tst_downloaderase::eraseRetry_data() {
    QTest::addColumn<bool>("toolsEntry"); // Tools > "&Erase Reader" instead of the page's button
    QTest::addColumn<int>("retry");
    QTest::addColumn<int>("erases");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("Yes: tried again")
        << false << int(Boxes::AnswerYes) << 2
        << QStringList{"Are you sure you want to clear the reader? ",
                       "Reader Erase Failed.  Try again?", "Reader Erased"};
    QTest::newRow("Tools entry, Yes")
        << true << int(Boxes::AnswerYes) << 2
        << QStringList{"Are you sure you want to clear the reader? ",
                       "Reader Erase Failed.  Try again?", "Reader Erased"};
    QTest::newRow("No: given up") << false << int(Boxes::AnswerNo) << 1
                                  << QStringList{"Are you sure you want to clear the reader? ",
                                                 "Reader Erase Failed.  Try again?"};
}

void tst_downloaderase::eraseRetry() {
    QFETCH(bool, toolsEntry);
    QFETCH(int, retry);
    QFETCH(int, erases);
    QFETCH(QStringList, texts);
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(5, 1, {"12AB3F"}, kDay));
    dock.setStatuses(0, 0, 0x01);
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    BoxRecorder boxes;
    boxes.answers = {Boxes::AnswerYes, retry};
    boxes.onBox = [&](const Boxes::Box& box) {
        if (box.text.startsWith("Reader Erase Failed"))
            dock.setStatuses(0, 0, 0); // the second try works
    };
    if (toolsEntry) {
        window->GoHome();
        window->Action("mnuToolsClearPipe")->trigger();
        page = qobject_cast<frmMdiDownload*>(window->CurrentPage());
        QVERIFY(page);
    } else {
        page->findChild<QPushButton*>("cmdOnline_1")->click();
    }
    QCOMPARE(boxes.texts(), texts);
    QCOMPARE(eraseRequests(dock), erases);
    QCOMPARE(dock.logSlots().isEmpty(), erases == 2);
    QCOMPARE(window->StatusText(2) == "Reader Erased", erases == 2);
    QVERIFY(page->QueryClose());
}

void tst_downloaderase::eraseWaitsForTheStream() {
    QStringList unused;
    SimulatedDock dock;
    dock.setLogSlots(makeSlots(600, &unused)); // 10 packets, 2.6 s on the line
    dock.setPaced(true);
    dock.setBusyWhileSending(true);
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    // A download cancelled at once: the reader goes on sending, to nobody.
    QVERIFY(window->Link().WriteFrame(BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, CmdDownload())));
    QTRY_VERIFY(dock.outputPending());
    BoxRecorder boxes;
    boxes.answers = {Boxes::AnswerYes};
    QString said;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (auto* busy = page->findChild<QProgressDialog*>("frmLineBusy"))
            said = busy->labelText();
    });
    watch.start(50);
    page->findChild<QPushButton*>("cmdOnline_1")->click();
    QCOMPARE(boxes.texts(),
             (QStringList{"Are you sure you want to clear the reader? ", "Reader Erased"}));
    QCOMPARE(said, QString(LineBusyText()));
    QCOMPARE(eraseRequests(dock), 1);
    QVERIFY(dock.logSlots().isEmpty());
}

QTEST_MAIN(tst_downloaderase)
#include "tst_downloaderase.moc"
