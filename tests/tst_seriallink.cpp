// The serial link over a real QSerialPort on a pseudo-terminal, against the simulated
// docking station: opening, the receive gate, the command exchange, a hang-up, and the
// simulator's own download stream read through the program's receive path.
#include "Settings.h"
#include "SimulatedDock.h"
#include "TestHome.h"
#include "cSerialLink.h"
#include "mLinkGlobals.h"
#include "mPacket.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}
const QByteArray kPc = QByteArray(1, char(kPcCodeMSB)) + char(kPcCodeLSB);

} // namespace

class tst_seriallink : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { home = std::make_unique<TestHome>(false); }
    void init() {
        dock = std::make_unique<SimulatedDock>();
        gReceiveEnabled = false;
    }
    void cleanup() { dock.reset(); }
    void cleanupTestCase() { home.reset(); }

    void devicePath_data();
    void devicePath();
    void openPort();
    void receiveGate();
    void waitFor_data();
    void waitFor();
    void closedPort();
    void hangUp();
    void downloadStream_data();
    void downloadStream();
    void simulatorLog();
    void simulatorChecksThePcCode();
    void touchCommand_data();
    void touchCommand();

private:
    std::unique_ptr<TestHome> home;
    std::unique_ptr<SimulatedDock> dock;
};

void tst_seriallink::devicePath_data() {
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("path");
    QTest::newRow("default") << ""
                             << ""
                             << "/dev/ttyS4";
    QTest::newRow("setting") << ""
                             << "/dev/ttyUSB0"
                             << "/dev/ttyUSB0";
    QTest::newRow("environment over setting") << "/tmp/com5"
                                              << "/dev/ttyUSB0"
                                              << "/tmp/com5";
}

void tst_seriallink::devicePath() {
    QFETCH(QString, environment);
    QFETCH(QString, setting);
    QFETCH(QString, path);
    if (environment.isEmpty())
        qunsetenv("TREVANO_COM5");
    else
        qputenv("TREVANO_COM5", environment.toUtf8());
    Settings::SaveSetting("ComPort_Settings", "Device5", setting);
    QCOMPARE(cSerialLink::DevicePath(5), path);
    qunsetenv("TREVANO_COM5");
}

void tst_seriallink::openPort() {
    cSerialLink link;
    QVERIFY(!link.OpenPort(1, "9600,x,8,1"));
    QVERIFY(link.OpenPort(1, "9600,n,8,1"));
    QVERIFY(link.IsOpen());
    QTRY_COMPARE(dock->noise(), QByteArray("\r\n\r\n"));
    // Open already: nothing is written again.
    QVERIFY(link.OpenPort(1, "9600,n,8,1"));
    QTest::qWait(100);
    QCOMPARE(dock->noise(), QByteArray("\r\n\r\n"));
    link.ClosePort();
    QVERIFY(!link.IsOpen());
    QVERIFY(!link.OpenPort(2, "9600,n,8,1")); // leads nowhere
    QVERIFY(!link.IsOpen());
}

void tst_seriallink::receiveGate() {
    cSerialLink link;
    QVERIFY(link.OpenPort(1, "9600,n,8,1"));
    QSignalSpy arrived(&link.comPort(), &QSerialPort::readyRead);
    gReceiveEnabled = false;
    dock->sendButton("12AB3F");
    QTRY_VERIFY(arrived.count() > 0);
    QCOMPARE(link.InBuffer().size(), 0);
    QCOMPARE(link.comPort().bytesAvailable(), 0); // read and dropped, not left waiting

    gReceiveEnabled = true;
    dock->sendButton("12AB3F");
    QTRY_COMPARE(link.InBuffer().size(), 16);
    QByteArray packet;
    QVERIFY(link.InBuffer().GetPacket(packet));
    QCOMPARE(packet.mid(10, 5), hex("24003FAB12"));
    QVERIFY2(packet.mid(4, 5) != hex("0301035100"), "replies carry header bytes of their own");
}

// setup words: stray, garbage, split, badfirst, ff, silent, silent1, late, corrupt1
void tst_seriallink::waitFor_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("waitMs");
    QTest::addColumn<int>("expect");
    QTest::addColumn<bool>("acceptAll");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("written");

    const QByteArray dockCheck = CmdDockingCheck();
    QTest::newRow("reply at once")
        << "" << dockCheck << 1 << 900 << 0x80 << false << true << hex("80") << 1;
    QTest::newRow("a stray frame of another code first")
        << "stray" << dockCheck << 1 << 900 << 0x80 << false << true << hex("80") << 1;
    QTest::newRow("accept-all takes the stray frame")
        << "stray" << dockCheck << 1 << 900 << 0x80 << true << true << hex("24003FAB12") << 1;
    QTest::newRow("garbage, a corrupt copy, in chunks")
        << "garbage badfirst split" << dockCheck << 1 << 900 << 0x80 << false << true << hex("80")
        << 1;
    QTest::newRow("four FF before the start mark")
        << "ff" << dockCheck << 1 << 900 << 0x80 << false << true << hex("80") << 1;
    QTest::newRow("silent for all tries") << "silent" << CmdSetClock(14, 5, 0x0B, 0xE6) << 3 << 300
                                          << 0x93 << false << false << QByteArray() << 3;
    QTest::newRow("silent to the first try") << "silent1" << CmdSetClock(14, 5, 0x0B, 0xE6) << 3
                                             << 300 << 0x93 << false << true << hex("9300") << 2;
    QTest::newRow("corrupt reply: the next try gets a good one")
        << "corrupt1" << CmdSetClock(14, 5, 0x0B, 0xE6) << 3 << 300 << 0x93 << false << true
        << hex("9300") << 2;
    // The reply to try 1 arrives after it gave up: the buffer is emptied before try 2.
    QTest::newRow("a late reply is not taken by the next try")
        << "late" << dockCheck << 2 << 900 << 0x80 << false << false << QByteArray() << 2;
    QTest::newRow("set options: any code")
        << "" << CmdSetOptions(0x07) << 3 << 900 << 0x80 << true << true << hex("9400") << 1;
    QTest::newRow("no tries") << "" << dockCheck << 0 << 900 << 0x80 << false << false
                              << QByteArray() << 0;
}

void tst_seriallink::waitFor() {
    QFETCH(QString, setup);
    QFETCH(QByteArray, command);
    QFETCH(int, retries);
    QFETCH(int, waitMs);
    QFETCH(int, expect);
    QFETCH(bool, acceptAll);
    QFETCH(bool, result);
    QFETCH(QByteArray, reply);
    QFETCH(int, written);
    const QStringList words = setup.split(' ', Qt::SkipEmptyParts);
    dock->setStrayFrameFirst(words.contains("stray"));
    dock->setGarbage(words.contains("garbage"));
    dock->setBadChecksumFirst(words.contains("badfirst"));
    dock->setExtraPreambleFF(words.contains("ff") ? 1 : 0);
    if (words.contains("split"))
        dock->setSplit(3, 40);
    dock->setSilent(words.contains("silent"));
    dock->setSilentRequests(words.contains("silent1") ? 1 : 0);
    dock->setCorruptReplies(words.contains("corrupt1") ? 1 : 0);
    if (words.contains("late")) {
        dock->setLatency(1700);
        dock->setAnswerLimit(1);
    }

    cSerialLink link;
    QVERIFY(link.OpenPort(1, "9600,n,8,1"));
    link.InBuffer().Append(hex("FFFFFF5503010351000180D9")); // left from earlier traffic
    QByteArray received = "untouched";
    QCOMPARE(link.WaitFor(retries, 0x01, command, waitMs, quint8(expect), acceptAll, received),
             result);
    QCOMPARE(received, result ? reply : QByteArray("untouched"));
    QVERIFY2(!gReceiveEnabled, "the gate closes with the reply or when the tries run out");
    QCOMPARE(link.InBuffer().size(), result ? 0 : link.InBuffer().size());

    const auto requests = dock->requests();
    QCOMPARE(requests.size(), written);
    for (const auto& r : requests)
        QCOMPARE(r.frame, BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, command));
    if (command.at(0) != char(kCmdDockingCheck) && written > 0)
        QCOMPARE(dock->pcCode(), kPc);
    QCOMPARE(dock->pcCodeMismatches(), 0);
}

void tst_seriallink::closedPort() {
    cSerialLink link;
    QByteArray received;
    gReceiveEnabled = false;
    QVERIFY(!link.WaitFor(3, 0x01, CmdDockingCheck(), 900, 0x80, false, received));
    QVERIFY2(gReceiveEnabled, "a closed port answers at once and leaves the gate set");
    QVERIFY(!link.WriteFrame(BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, CmdDockingCheck())));
    QTest::qWait(50);
    QVERIFY(dock->requests().isEmpty());
}

void tst_seriallink::hangUp() {
    cSerialLink link;
    QSignalSpy lost(&link, &cSerialLink::portLost);
    QVERIFY(link.OpenPort(1, "9600,n,8,1"));
    dock->hangUp();
    QTRY_VERIFY(!link.IsOpen());
    QTest::qWait(100); // a hung-up line must not report itself again and again
    QCOMPARE(lost.count(), 1);
    QByteArray received;
    QVERIFY(!link.WaitFor(1, 0x01, CmdDockingCheck(), 900, 0x80, false, received));
    QVERIFY(!link.OpenPort(1, "9600,n,8,1"));
}

void tst_seriallink::downloadStream_data() {
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("reply"); // DockStation::DownloadReply
    QTest::addColumn<int>("packets");
    QTest::addColumn<bool>("paced");
    QTest::newRow("empty reader") << 0 << 0 << 1 << false;
    QTest::newRow("58 records") << 58 << 0 << 1 << false;
    QTest::newRow("59 records") << 59 << 0 << 2 << false;
    QTest::newRow("118 records") << 118 << 0 << 2 << false;
    QTest::newRow("119 records") << 119 << 0 << 3 << false;
    QTest::newRow("119 records at the line rate") << 119 << 0 << 3 << true;
    QTest::newRow("no reader") << 5 << int(DockStation::DownloadReply::NoReader) << 1 << false;
    QTest::newRow("download error")
        << 5 << int(DockStation::DownloadReply::DownloadError) << 1 << false;
    QTest::newRow("count error") << 5 << int(DockStation::DownloadReply::CountError) << 1 << false;
}

void tst_seriallink::downloadStream() {
    QFETCH(int, records);
    QFETCH(int, reply);
    QFETCH(int, packets);
    QFETCH(bool, paced);
    QByteArray log;
    for (int i = 0; i < records; ++i)
        log += i == 0 ? hex("0EE60BAA") : QByteArray(1, char(i)) + hex("AB12") + char(i % 60);
    dock->setLogSlots(log);
    dock->setReaderId("34125678");
    dock->setFirmware(0x08);
    dock->setDownloadReply(DockStation::DownloadReply(reply));
    dock->setPaced(paced);

    cSerialLink link;
    QVERIFY(link.OpenPort(1, "9600,n,8,1"));
    gReceiveEnabled = true;
    QVERIFY(link.WriteFrame(BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, CmdDownload())));
    QList<QByteArray> got;
    const auto take = [&] {
        QByteArray p;
        while (link.InBuffer().GetPacket(p))
            got << p;
        return got.size();
    };
    QTRY_COMPARE(take(), packets);
    QTRY_VERIFY(!dock->outputPending());
    QTest::qWait(50);
    QCOMPARE(take(), packets); // nothing more comes

    const QByteArray first = got.first();
    if (reply == int(DockStation::DownloadReply::NoReader) ||
        reply == int(DockStation::DownloadReply::DownloadError)) {
        QVERIFY(first.size() < 252);
        QCOMPARE(first.mid(11, 8),
                 QByteArray(8, reply == int(DockStation::DownloadReply::NoReader) ? char(0xFF)
                                                                                  : char(0x01)));
        return;
    }
    for (const QByteArray& p : got) {
        QCOMPARE(p.size(), 252);
        QCOMPARE(quint8(p.at(10)), quint8(0xF3));
    }
    const int count = quint8(first.at(12)) * 256 + quint8(first.at(11));
    QCOMPARE(count, reply == int(DockStation::DownloadReply::CountError) ? 0xFFFF : records);
    QCOMPARE(Hex00(first.at(15)) + Hex00(first.at(16)) + Hex00(first.at(14)) + Hex00(first.at(13)),
             QString("34125678"));
    QCOMPARE(quint8(first.at(17)), quint8(0x08));
    if (reply != 0)
        return;
    // 58 slots from offset 19 in the first packet, 60 from offset 11 in later ones, zeros after.
    QByteArray stream = first.mid(19, 58 * 4);
    for (int i = 1; i < got.size(); ++i)
        stream += got.at(i).mid(11, 60 * 4);
    QCOMPARE(stream.left(log.size()), log);
    QCOMPARE(stream.mid(log.size()), QByteArray(stream.size() - log.size(), '\0'));
}

void tst_seriallink::simulatorLog() {
    // Markers when the hour changes; touches carry the code least significant byte first.
    const QVector<DockStation::Touch> touches = {
        {QDateTime(QDate(2008, 5, 4), QTime(14, 5)), "12AB3F"},
        {QDateTime(QDate(2008, 5, 4), QTime(14, 37)), "00A1B2"},
        {QDateTime(QDate(2008, 5, 4), QTime(15, 2)), "12AB3F"}};
    QCOMPARE(DockStation::SlotsFromTouches(touches).toHex(' '),
             hex("0EE60BAA 3FAB1205 B2A10025 0FE60BAA 3FAB1202").toHex(' '));
    QFile file(home->file("touches.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# a day's round\n2008-05-04 14:05 12ab3f\n\n2008-05-04 14:37 00A1B2\n2008-05-04 "
               "15:02 12AB3F\n");
    file.close();
    QVector<DockStation::Touch> read;
    QVERIFY(DockStation::ReadTouches(file.fileName(), read));
    QCOMPARE(DockStation::SlotsFromTouches(read), DockStation::SlotsFromTouches(touches));
    QVERIFY(file.open(QIODevice::Append));
    file.write("2008-05-04 25:00 12AB3F\n");
    file.close();
    QString error;
    QVERIFY(!DockStation::ReadTouches(file.fileName(), read, &error));
    QVERIFY(error.contains("line 6"));
}

void tst_seriallink::simulatorChecksThePcCode() {
    cSerialLink link;
    QVERIFY(link.OpenPort(1, "9600,n,8,1"));
    QByteArray reply;
    const QByteArray otherPc = hex("72"
                                   "0102"
                                   "FF");
    QVERIFY(link.WaitFor(1, 0x01, otherPc, 900, 0xF3, false, reply));
    QVERIFY2(!link.WaitFor(1, 0x01, CmdErase(), 900, 0xF3, false, reply),
             "a second PC code is not answered");
    QCOMPARE(dock->pcCode(), hex("0102"));
    QCOMPARE(dock->pcCodeMismatches(), 1);
}

void tst_seriallink::touchCommand_data() {
    QTest::addColumn<QString>("words");  // after `touch`
    QTest::addColumn<QString>("logged"); // "yyyy-MM-dd HH:mm CODE", empty: refused
    QTest::newRow("now") << "12ab3f"
                         << "2026-03-29 02:30 12AB3F";
    QTest::newRow("a time today") << "00A1B2 22:05"
                                  << "2026-03-29 22:05 00A1B2";
    QTest::newRow("one-digit hour") << "00A1B2 7:05"
                                    << "2026-03-29 07:05 00A1B2";
    QTest::newRow("a day and time") << "5C0F01 2025-12-31 23:59"
                                    << "2025-12-31 23:59 5C0F01";
    QTest::newRow("short code") << "12AB3"
                                << "";
    QTest::newRow("no hex") << "12AB3G"
                            << "";
    QTest::newRow("no code") << ""
                             << "";
    QTest::newRow("hour 24") << "12AB3F 24:00"
                             << "";
    QTest::newRow("day before the reader's day zero") << "12AB3F 1999-12-31 10:00"
                                                      << "";
    QTest::newRow("no such day") << "12AB3F 2026-02-30 10:00"
                                 << "";
    QTest::newRow("too many words") << "12AB3F 2026-03-01 10:00 x"
                                    << "";
}

void tst_seriallink::touchCommand() {
    QFETCH(QString, words);
    QFETCH(QString, logged);
    // The reader's clock: 02:30:41 on the night the clocks go forward, a time it logs.
    const QDateTime now = DockStation::WallClock(QDate(2026, 3, 29), QTime(2, 30, 41));
    DockStation::Touch touch;
    QString error;
    const bool ok =
        DockStation::ParseTouch(words.split(' ', Qt::SkipEmptyParts), now, touch, &error);
    QCOMPARE(ok, !logged.isEmpty());
    if (!ok) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QCOMPARE(touch.time.toString("yyyy-MM-dd HH:mm:ss ") + touch.code, logged.insert(16, ":00"));
}

QTEST_MAIN(tst_seriallink)
#include "tst_seriallink.moc"
