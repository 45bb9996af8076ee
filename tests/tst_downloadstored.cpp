// A reader stored but not erased, downloaded again: the touches already stored are not stored
// twice, and the page says how many there were.
#include "DownloadLogs.h"
#include "DownloadPage.h"
#include "SimulatedDock.h"

#include "frmDownload.h"

#include <QPushButton>
#include <QtTest>

class tst_downloadstored : public QObject, private DownloadPageFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { end(); }

    void storedNotErased();
};

void tst_downloadstored::storedNotErased() {
    QStringList expected;
    QByteArray log = makeSlots(70, &expected);
    SimulatedDock dock;
    dock.setLogSlots(log);
    dock.setReaderId(kReaderId);
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    gAutoSetTime = false;
    BoxRecorder boxes;
    // The program ended between storing and erasing: the store ran, the erase never did.
    {
        frmDownload download(window->Link(), window.get());
        download.exec();
        QVERIFY(download.OK());
        QCOMPARE(StoreDownload(download.Buttons(), download.PipeID(), QDateTime::currentDateTime()),
                 0);
    }
    const int first = expected.size();
    auto* downloadButton = page->findChild<QPushButton*>("cmdOnline_0");

    // More rounds the next day; the erase then fails and the user gives up.
    dock.setLogSlots(log += makeSlots(50, &expected, kDay.addDays(1)));
    dock.setStatuses(0, 0, 1);
    boxes.answers = {Boxes::AnswerNo};
    downloadButton->click();
    QCOMPARE(pageMessage(), QString("Download Successful\r\nData Readings = %1 (%2 already "
                                    "stored)\r\nReader Memory NOT erased!")
                                .arg(expected.size())
                                .arg(first));
    QCOMPARE(storedTouches(), withReader(expected));
    const int second = expected.size();

    dock.setLogSlots(log += makeSlots(30, &expected, kDay.addDays(2)));
    dock.setStatuses(0, 0, 0);
    downloadButton->click();
    QCOMPARE(pageMessage(), QString("Download Successful\r\nData Readings = %1 (%2 already "
                                    "stored)\r\nReader Memory erased")
                                .arg(expected.size())
                                .arg(second));
    QCOMPARE(storedTouches(), withReader(expected));
    QVERIFY(dock.logSlots().isEmpty());
    QCOMPARE(boxes.texts(), QStringList{"Reader Erase Failed.  Try again?"});
}

QTEST_MAIN(tst_downloadstored)
#include "tst_downloadstored.moc"
