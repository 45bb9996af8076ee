// How long a full download takes against the simulated dock pacing at 9600 baud, beside the
// line's own time for the bytes, the download window's fixed pauses and the quiet line it
// waits for after the last packet; and how long storing takes, the first time and again (a
// reader that was not erased). Prints; never fails on time.
#include "SimulatedDock.h"
#include "TestHome.h"
#include "cSerialLink.h"
#include "frmDownload.h"
#include "frmMain.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"

#include <QElapsedTimer>
#include <QtTest>
#include <memory>

namespace {

const QStringList kCodes{"12AB3F", "00A1B2", "0C0FFE", "00FFFF"};

// `count` record slots: a date marker every 50 slots, one hour later each, touches between,
// in time order as a reader logs them.
QByteArray recordSlots(int count) {
    QByteArray out;
    const int firstDay = int(QDate(2000, 1, 1).daysTo(QDate(2008, 5, 4)));
    for (int i = 0; i < count; ++i) {
        if (i % 50 == 0) {
            const int hours = i / 50;
            const int day = firstDay + hours / 24;
            out.append(char(hours % 24))
                .append(char(day & 0xFF))
                .append(char(day >> 8))
                .append(char(0xAA));
        } else {
            const QByteArray c = QByteArray::fromHex(kCodes.at(i % kCodes.size()).toLatin1());
            out.append(c.at(2)).append(c.at(1)).append(c.at(0)).append(char(i % 50));
        }
    }
    return out;
}

} // namespace

class bench_download : public QObject {
    Q_OBJECT
private slots:
    void fullDownload_data();
    void fullDownload();
};

void bench_download::fullDownload_data() {
    QTest::addColumn<int>("records");
    QTest::newRow("1,000") << 1000;
    QTest::newRow("10,000") << 10000;
}

void bench_download::fullDownload() {
    QFETCH(int, records);
    TestHome home;
    home.openGlobals();
    gConn->Execute(
        "INSERT INTO tblListItems (ID, tName, tDesc, wType) VALUES (1, 'North Gate', 'Gate house', 1)");
    for (int i = 0; i < 3; ++i)
        gConn->Execute(
            "INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName) VALUES (1, ?, ?)",
            {kCodes.at(i), "Button " + QString::number(i)});
    SimulatedDock dock;
    dock.setLogSlots(recordSlots(records));
    dock.setPaced(true);
    frmMain window;
    window.setUserType(1);
    BoxRecorder boxes;
    window.GoHome();
    QVERIFY(gDocked);

    const int packets = DockStation::PacketCount(records);
    const int requestBytes = 17; // the download request frame
    const double lineMs =
        1000.0 * (requestBytes + packets * 252) / DockStation::kLineBytesPerSecond;
    const cLinkTimings& timings = window.Link().Timings();
    const double pausesMs = timings.StartMs + timings.BeforeRequestMs +
                            timings.AfterLastPacketMs + timings.BeforeDecodeMs +
                            timings.AfterDecodeMs;
    const double quietMs = window.Link().Timings().QuietMs;

    QElapsedTimer clock;
    clock.start();
    colRawButtons touches;
    QString pipeId;
    {
        frmDownload download(window.Link(), &window);
        download.exec();
        QVERIFY(download.OK());
        touches = download.Buttons();
        pipeId = download.PipeID();
    }
    const qint64 downloadMs = clock.elapsed();
    clock.restart();
    QCOMPARE(StoreDownload(touches, pipeId, QDateTime::currentDateTime()), 0);
    const qint64 storeMs = clock.elapsed();
    clock.restart();
    QCOMPARE(StoreDownload(touches, pipeId, QDateTime::currentDateTime()), touches.Count());
    const qint64 storeAgainMs = clock.elapsed();

    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(touches.Count(), records - (records + 49) / 50);
    const double boundMs = lineMs + pausesMs + quietMs;
    qInfo().noquote() << QStringLiteral(
                             "%1 records, %2 packets: download window %3 ms; line %4 ms + pauses "
                             "%5 ms + quiet line %6 ms = %7 ms; ratio %8; storing %9 ms, "
                             "storing again (all already stored) %10 ms")
                             .arg(records)
                             .arg(packets)
                             .arg(downloadMs)
                             .arg(lineMs, 0, 'f', 0)
                             .arg(pausesMs, 0, 'f', 0)
                             .arg(quietMs, 0, 'f', 0)
                             .arg(boundMs, 0, 'f', 0)
                             .arg(downloadMs / boundMs, 0, 'f', 3)
                             .arg(storeMs)
                             .arg(storeAgainMs);
}

QTEST_MAIN(bench_download)
#include "bench_download.moc"
