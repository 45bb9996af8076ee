// Downloading a reader: the decoder on packets the simulator builds, the button look-up on a
// seeded database, and storing a download again.
#include "DownloadLogs.h"
#include "TestHome.h"
#include "mDownload.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"

#include <QRegularExpression>
#include <QtTest>
#include <memory>

namespace {

colPackets toPackets(const QVector<QByteArray>& frames) {
    colPackets packets;
    int n = 0;
    for (const QByteArray& f : frames)
        packets.Add(f).Tag = ++n;
    return packets;
}

QStringList decodeAll(const colPackets& packets, int recordCount) {
    QStringList out;
    const colRawButtons touches = DecodePackets(packets, recordCount, [](const QString& code) {
        cRawButton b;
        b.setButtonCode(code);
        return b;
    });
    for (const cRawButton& t : touches)
        out << line(t.DateAndTime, t.ButtonCode());
    return out;
}

} // namespace

class tst_download : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void decode_data();
    void decode();
    void whole_data();
    void whole();
    void firstPacket_data();
    void firstPacket();
    void lookUp_data();
    void lookUp();
    void storeAgain_data();
    void storeAgain();

private:
    std::unique_ptr<TestHome> home;
};

void tst_download::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    gDocked = false;
    gReceiveEnabled = false;
    gAutoSetTime = true;
}

void tst_download::cleanup() {
    home.reset();
}

void tst_download::decode_data() {
    QTest::addColumn<QByteArray>("records");
    QTest::addColumn<int>("packets");
    QTest::addColumn<QStringList>("touches");
    for (int count : {0, 58, 59, 118, 119}) {
        QStringList expected;
        const QByteArray s = makeSlots(count, &expected);
        QTest::addRow("%d records", count) << s
                                           << (count <= 58    ? 1
                                               : count <= 118 ? 2
                                                              : 3)
                                           << expected;
    }
    const int d = dayCode(kDay);
    QTest::newRow("minute 75, hour 30")
        << marker(30, d) + touch("12AB3F", 75) << 1 << QStringList{"2008-05-04 23:59 12AB3F"};
    QTest::newRow("a zero record inside the count is a touch")
        << marker(9, d) + touch("12AB3F", 1) + QByteArray(4, '\0') + touch("00A1B2", 2) << 1
        << QStringList{"2008-05-04 09:01 12AB3F", "2008-05-04 09:00 000000",
                       "2008-05-04 09:02 00A1B2"};
    QStringList zeroAtEnd;
    QTest::newRow("a zero record ends the first packet")
        << makeSlots(58, &zeroAtEnd, kDay, 57) << 1 << zeroAtEnd;
    QTest::newRow("touch before any marker")
        << touch("12AB3F", 7) + marker(15, d) + touch("12AB3F", 8) << 1
        << QStringList{"2000-01-01 00:07 12AB3F", "2008-05-04 15:08 12AB3F"};
    QTest::newRow("00 00 00 AA is a marker")
        << marker(0, 0) + touch("00A1B2", 5) << 1 << QStringList{"2000-01-01 00:05 00A1B2"};
}

void tst_download::decode() {
    QFETCH(QByteArray, records);
    QFETCH(int, packets);
    QFETCH(QStringList, touches);
    const QVector<QByteArray> frames = DockStation::DownloadPackets(records, kReaderId, 0x08);
    QCOMPARE(frames.size(), packets);
    const int count = int(records.size() / 4);
    QCOMPARE(ExpectedPacketCount(count), packets);
    QVERIFY(IsWholeDownload(toPackets(frames), count));
    QCOMPARE(decodeAll(toPackets(frames), count), touches);
}

void tst_download::whole_data() {
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("whole");
    QStringList unused;
    const QByteArray ten = makeSlots(10, &unused);
    const QList<QByteArray> three =
        DockStation::DownloadPackets(makeSlots(150, &unused), kReaderId, 8);
    QTest::newRow("empty reader") << DockStation::DownloadPackets({}, kReaderId, 8) << 0 << true;
    QTest::newRow("three packets") << three << 150 << true;
    QTest::newRow("a record after the count")
        << DockStation::DownloadPackets(ten, kReaderId, 8, 9) << 9 << false;
    QTest::newRow("old records after the end of the log")
        << DockStation::DownloadPackets(ten, kReaderId, 8, -1, makeSlots(150, &unused)) << 10
        << true;
    QTest::newRow("old records after the end of a log of two packets")
        << DockStation::DownloadPackets(makeSlots(70, &unused), kReaderId, 8, -1,
                                        makeSlots(150, &unused))
        << 70 << true;
    QTest::newRow("a packet short") << three.mid(0, 2) << 150 << false;
    QTest::newRow("a packet too many") << three + three.mid(2) << 150 << false;
    // Its first packet lost, the second is read as the first: its first record as the count.
    QTest::newRow("the second packet read as the first")
        << three.mid(1) << int(ReadFirstPacket(three.at(1)).RecordCount) << false;
}

void tst_download::whole() {
    QFETCH(QList<QByteArray>, frames);
    QFETCH(int, count);
    QFETCH(bool, whole);
    QCOMPARE(IsWholeDownload(toPackets(frames), count), whole);
}

void tst_download::firstPacket_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("firmware");
    // The reader's own first packet, byte for byte: three touches over two hours.
    const QByteArray worked =
        QByteArray::fromHex("FF FF FF 55 03 01 03 51 00 F1 F3 05 00 78 56 34 12 08 00"
                            " 0E E6 0B AA 3F AB 12 05 B2 A1 00 25 0F E6 0B AA 3F AB 12 02") +
        QByteArray(212, '\0') + QByteArray::fromHex("27");
    QTest::newRow("worked example") << worked << "34125678" << 5 << "V08";
    QTest::newRow("count FFFF")
        << DockStation::DownloadPackets({}, "D1D2D3D4", 0xFF, 0xFFFF).first() << "D1D2D3D4"
        << 0xFFFF << "VFF";
    QTest::newRow("count above 7FFF is unsigned")
        << DockStation::DownloadPackets({}, "0000A0B1", 0x12, 0x8001).first() << "0000A0B1"
        << 0x8001 << "V12";
}

void tst_download::firstPacket() {
    QFETCH(QByteArray, frame);
    QFETCH(QString, id);
    QFETCH(int, count);
    QFETCH(QString, firmware);
    const cDownloadHeader header = ReadFirstPacket(frame);
    QCOMPARE(header.PipeID, id);
    QCOMPARE(int(header.RecordCount), count);
    QCOMPARE(FirmwareText(header.Firmware), firmware);
    if (count == 5)
        QCOMPARE(decodeAll(toPackets({frame}), count),
                 (QStringList{"2008-05-04 14:05 12AB3F", "2008-05-04 14:37 00A1B2",
                              "2008-05-04 15:02 12AB3F"}));
}

void tst_download::lookUp_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("found"); // type|name|description|group|group description
    QTest::newRow("site button") << 0 << "12AB3F"
                                 << "1|Gate 1|Left post|North Gate|Gate house";
    QTest::newRow("event book, null texts") << 0 << "00A1B2"
                                            << "2|Fire||Incidents|";
    QTest::newRow("unknown") << 0 << "00FFFF"
                             << "0|Unknown|||";
    QTest::newRow("unknown, German") << 2 << "00FFFF"
                                     << "0|Unbekannt|||";
}

void tst_download::lookUp() {
    QFETCH(int, language);
    QFETCH(QString, code);
    QFETCH(QString, found);
    home->openGlobals(language);
    seedButtons();
    const cRawButton b = LookUpButtonData(code);
    QCOMPARE(b.ButtonCode(), code);
    QCOMPARE(
        QStringList({QString::number(b.EventType), b.Name, b.Description, b.GroupName, b.GroupDesc})
            .join('|'),
        found);
}

void tst_download::storeAgain_data() {
    QTest::addColumn<QStringList>("stored"); // rows already in tblEvents: "time code|reader"
    QTest::addColumn<QStringList>("download");
    QTest::addColumn<int>("already");
    const QStringList d{"2008-05-04 10:00 12AB3F", "2008-05-04 10:05 00A1B2",
                        "2008-05-04 10:10 0C0FFE"};
    QTest::newRow("first download") << QStringList() << d << 0;
    QTest::newRow("stored, not erased") << withReader(d) << d << 3;
    QTest::newRow("grown since") << withReader(d.mid(0, 2)) << d << 2;
    QTest::newRow("another reader's touches") << withReader(d, "0000000B") << d << 0;
    QTest::newRow("earlier touches of the reader")
        << withReader(QStringList{"2008-05-04 09:00 0C0FFE", "2008-05-04 09:30 12AB3F"} +
                      d.mid(0, 1))
        << d << 0;
    // The reader was erased after that download: its first touch repeating a row is new.
    QTest::newRow("another touch ends the run")
        << withReader(QStringList{d.at(0), "2008-05-04 10:05 0C0FFE", d.at(2)}) << d << 0;
    QTest::newRow("a later touch of an earlier download")
        << withReader(d.mid(0, 2) + QStringList{"2008-05-04 10:20 00A1B2"}) << d << 0;
    QTest::newRow("one key twice in a minute")
        << withReader(d.mid(0, 1)) << QStringList{d.at(0), d.at(0), d.at(1)} << 1;
}

void tst_download::storeAgain() {
    QFETCH(QStringList, stored);
    QFETCH(QStringList, download);
    QFETCH(int, already);
    for (const QString& row : stored) {
        const QStringList parts = row.split(QRegularExpression("[ |]"));
        gConn->Execute("INSERT INTO tblEvents (dtDLDateTime, dtDateTime, tButtonCode, tPipeID) "
                       "VALUES ('2008-05-04 12:00:00', ?, ?, ?)",
                       {parts.at(0) + ' ' + parts.at(1) + ":00", parts.at(2), parts.at(3)});
    }
    colRawButtons touches;
    for (const QString& t : download)
        touches.Add(0,
                    DockStation::WallClock(QDate::fromString(t.left(10), "yyyy-MM-dd"),
                                           QTime::fromString(t.mid(11, 5), "HH:mm")),
                    t.right(6), "", "", "", "");
    QCOMPARE(StoreDownload(touches, kReaderId, QDateTime::currentDateTime()), already);
    QCOMPARE(storedTouches(), stored + withReader(download.mid(already)));
}

QTEST_MAIN(tst_download)
#include "tst_download.moc"
