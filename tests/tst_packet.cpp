// Frames, the packet helpers, the day code and the receive buffer: no port involved.
#include "AppError.h"
#include "TestHome.h"
#include "cInBuffer.h"
#include "mPacket.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

// A frame with the request header, checksummed here independently of BuildPacket.
QByteArray frame(const QByteArray& data) {
    QByteArray f = hex("FFFFFF55030103510000");
    f[9] = char(data.size());
    f += data;
    unsigned sum = 0;
    for (int i = 4; i < f.size(); ++i)
        sum += quint8(f.at(i));
    return f + char(sum & 0xFF);
}

bool checksumHolds(const QByteArray& f) {
    unsigned sum = 0;
    for (int i = 4; i < f.size() - 1; ++i)
        sum += quint8(f.at(i));
    return quint8(f.back()) == (sum & 0xFF);
}

const QByteArray kDock = hex("FFFFFF55030103510001116A");
const QByteArray kReply = hex("FFFFFF5503010351000180D9");

} // namespace

class tst_packet : public QObject {
    Q_OBJECT
private slots:
    void buildPacket_data();
    void buildPacket();
    void buildPacketRefusesLongData();
    void hexTexts();
    void setBit_data();
    void setBit();
    void dayCode_data();
    void dayCode();
    void commandsCarryThePcCode();
    void packetCollection();
    void getPacket_data();
    void getPacket();
    void bufferFuzz();
};

void tst_packet::buildPacket_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("docking check") << hex("11") << kDock;
    QTest::newRow("no-reader status, the sum wraps")
        << hex("F3FFFFFFFFFFFFFFFF") << hex("FFFFFF55030103510009F3FFFFFFFFFFFFFFFF4C");
    QTest::newRow("set clock 14:05 on 2008-05-04, PC code 00 00") << hex("120000"
                                                                         "0E05"
                                                                         "0BE6")
                                                                  << hex("FFFFFF5503010351000712"
                                                                         "0000"
                                                                         "0E050BE6"
                                                                         "75");
    QTest::newRow("255 data bytes") << QByteArray(255, char(0x01))
                                    << (hex("FFFFFF55030103510"
                                            "0FF") +
                                        QByteArray(255, char(0x01)) + hex("56"));
}

void tst_packet::buildPacket() {
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, frame);
    QCOMPARE(BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, data).toHex(' '), frame.toHex(' '));
}

void tst_packet::buildPacketRefusesLongData() {
    BoxRecorder boxes;
    QVERIFY(BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, QByteArray(256, '\x11')).isEmpty());
    QCOMPARE(boxes.texts(), QStringList{"Illegal value in Build packet : Data too long"});
}

void tst_packet::hexTexts() {
    QCOMPARE(Hex00(0x00), QString("00"));
    QCOMPARE(Hex00(0x0A), QString("0A"));
    QCOMPARE(Hex00(0xFF), QString("FF"));
    QCOMPARE(BytesToHex(QByteArray()), QString());
    QCOMPARE(BytesToHex(hex("0AFF")), QString("0A FF "));
    QCOMPARE(BytesToHex(hex("0010")), QString("00 10 "));
}

void tst_packet::setBit_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("after");
    QTest::addColumn<bool>("refused");
    QTest::newRow("00, bit 3") << 0x00 << 3 << 0x08 << false;
    QTest::newRow("00, bit 0") << 0x00 << 0 << 0x01 << false;
    QTest::newRow("01, bit 7") << 0x01 << 7 << 0x81 << false;
    QTest::newRow("08, bit 3 again") << 0x08 << 3 << 0x08 << false;
    QTest::newRow("00, bit 8") << 0x00 << 8 << 0x00 << true;
    QTest::newRow("05, bit -1") << 0x05 << -1 << 0x05 << true;
}

void tst_packet::setBit() {
    QFETCH(int, before);
    QFETCH(int, n);
    QFETCH(int, after);
    QFETCH(bool, refused);
    BoxRecorder boxes;
    quint8 b = quint8(before);
    SetBit(b, n);
    QCOMPARE(int(b), after);
    QCOMPARE(boxes.texts(), refused ? QStringList{"Error"} : QStringList{});
}

void tst_packet::dayCode_data() {
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<bool>("encodes");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");
    QTest::newRow("day 0") << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << true << 0x00 << 0x00;
    QTest::newRow("2008-05-04") << QDateTime(QDate(2008, 5, 4), QTime(0, 0)) << true << 0x0B
                                << 0xE6;
    QTest::newRow("2008-05-04 23:59")
        << QDateTime(QDate(2008, 5, 4), QTime(23, 59)) << true << 0x0B << 0xE6;
    QTest::newRow("last day") << QDateTime(QDate(2179, 6, 6), QTime(12, 0)) << true << 0xFF << 0xFF;
    QTest::newRow("before day 0") << QDateTime(QDate(1999, 12, 31), QTime(23, 59)) << false << 0
                                  << 0;
    QTest::newRow("after the last day")
        << QDateTime(QDate(2179, 6, 7), QTime(0, 0)) << false << 0 << 0;
}

void tst_packet::dayCode() {
    QFETCH(QDateTime, moment);
    QFETCH(bool, encodes);
    QFETCH(int, high);
    QFETCH(int, low);
    quint8 h = 0x5A, l = 0x5A;
    QCOMPARE(DateToDayCode(moment, h, l), encodes);
    if (!encodes)
        return;
    QCOMPARE(int(h), high);
    QCOMPARE(int(l), low);
    QCOMPARE(DayCodeToDate(h, l), moment.date());
}

void tst_packet::commandsCarryThePcCode() {
    const QByteArray pc = QByteArray(1, char(kPcCodeMSB)) + char(kPcCodeLSB);
    QCOMPARE(CmdDockingCheck(), hex("11"));
    QCOMPARE(CmdSetClock(14, 5, 0x0B, 0xE6), hex("12") + pc + hex("0E050BE6"));
    QCOMPARE(CmdSetOptions(0x07), hex("13") + pc + hex("07"));
    QCOMPARE(CmdErase(), hex("72") + pc + hex("FF"));
    QCOMPARE(CmdDownload(), hex("72") + pc + hex("000000"));
}

void tst_packet::packetCollection() {
    colPackets packets;
    packets.Add(kDock).Tag = 1;
    packets.Add(kReply, "second").Tag = 2;
    packets.Add(hex("FF"));
    QCOMPARE(packets.Count(), 3);
    QCOMPARE(packets.Item(1).RawData(), kDock);
    QCOMPARE(packets.Item("second").Tag.toInt(), 2);
    packets.Remove("second");
    QCOMPARE(packets.Item(2).RawData(), hex("FF"));
    QList<QByteArray> inOrder;
    for (const cPacket& p : packets)
        inOrder << p.RawData();
    QCOMPARE(inOrder, (QList<QByteArray>{kDock, hex("FF")}));
    for (auto bad : {0, 3}) {
        try {
            packets.Item(bad);
            QFAIL("an index that is not there is refused");
        } catch (const AppError& e) {
            QCOMPARE(e.number, int(AppError::InvalidCall));
        }
    }
    QVERIFY_THROWS_EXCEPTION(AppError, packets.Item("second"));
    QVERIFY_THROWS_EXCEPTION(AppError, packets.Add(kDock, "dup"); packets.Add(kDock, "dup"));
}

// A script of steps on one buffer: "A hex" appends, "Z n" appends n zero bytes, "G hex" expects
// GetPacket to return that frame, "G -" expects false, "R hex" expects the held bytes, "S n"
// the number of bytes held, "C n" what Count answers.
void tst_packet::getPacket_data() {
    QTest::addColumn<QStringList>("script");
    const QString dock = kDock.toHex();
    const QString reply = kReply.toHex();
    const QByteArray big = frame(QByteArray(1, char(0xF3)) + QByteArray(240, char(0x42)));
    QVERIFY(big.size() == 252);
    const QString badDock = QString(dock).replace(dock.size() - 2, 2, "6b");
    const QByteArray empty = hex("FFFFFF550301035100"
                                 "00"
                                 "58"); // N = 0

    QTest::newRow("one frame") << QStringList{"A " + dock, "G " + dock, "R ", "C 0"};
    QTest::newRow("two frames back to back")
        << QStringList{"A " + dock + reply, "G " + dock, "G " + reply, "G -"};
    QTest::newRow("a frame and one byte")
        << QStringList{"A " + dock + "07", "G " + dock, "R 07", "C 0", "S 1"};
    QTest::newRow("garbage, then a frame") << QStringList{"A 0102ff0355" + dock, "G " + dock, "R "};
    QTest::newRow("four FF: one call drops one FF")
        << QStringList{"A ff" + dock, "G -", "R " + dock, "G " + dock};
    QTest::newRow("five FF: two calls") << QStringList{"A ffff" + dock, "G -", "G -", "G " + dock};
    QTest::newRow("FF FF 55 starts nothing") << QStringList{"A ffff55" + dock, "G " + dock};
    QTest::newRow("three FF and no start mark: keeps from the second-to-last FF")
        << QStringList{"A aabbffffff00cc", "G -", "R ffff00cc", "G -", "R ffff00cc"};
    QTest::newRow("no start at all: untouched")
        << QStringList{"A 010203ffff", "G -", "R 010203ffff", "C 4"};
    QTest::newRow("wrong checksum drops the frame")
        << QStringList{"A " + badDock + reply, "G -", "R " + reply, "G " + reply};
    QTest::newRow("the first 20 bytes of 252, then the rest") << QStringList{
        "A " + big.left(20).toHex(), "G -", "R " + big.left(20).toHex(), "A " + big.mid(20).toHex(),
        "G " + big.toHex(),          "R "};
    QTest::newRow("incomplete: the bytes before it stay")
        << QStringList{"A 0102" + kDock.left(9).toHex(), "G -", "R 0102" + kDock.left(9).toHex()};
    QTest::newRow("no data: waits for one byte more than the frame")
        << QStringList{"A " + empty.toHex(), "G -", "A 07", "G " + empty.toHex(), "R 07"};
    QTest::newRow("appending nothing") << QStringList{"A ", "S 0", "C 0", "G -"};
    QTest::newRow("filled to the limit") << QStringList{"Z 40960", "A 07", "S 40961", "C 40960"};
    QTest::newRow("one byte past the limit replaces everything")
        << QStringList{"Z 40961", "A 07", "R 07"};
    QTest::newRow("frame behind a run that is dropped")
        << QStringList{"Z 40000", "A " + big.toHex() + big.toHex() + big.toHex() + big.toHex(),
                       "S 1008", "G " + big.toHex()};
}

void tst_packet::getPacket() {
    QFETCH(QStringList, script);
    cInBuffer buffer;
    for (const QString& step : script) {
        const QString arg = step.mid(2);
        const QByteArray bytes = QByteArray::fromHex(arg.toLatin1());
        switch (step.at(0).toLatin1()) {
        case 'A':
            buffer.Append(bytes);
            break;
        case 'Z':
            buffer.Append(QByteArray(arg.toInt(), '\0'));
            break;
        case 'G': {
            QByteArray got = "left over";
            const bool found = buffer.GetPacket(got);
            if (arg == "-") {
                QVERIFY2(!found, qPrintable(step));
                QVERIFY(got.isEmpty());
            } else {
                QVERIFY2(found, qPrintable(step));
                QCOMPARE(got.toHex(), bytes.toHex());
            }
            break;
        }
        case 'R':
            QCOMPARE(buffer.Buffer().toHex(), bytes.toHex());
            break;
        case 'S':
            QCOMPARE(buffer.size(), arg.toInt());
            break;
        case 'C':
            QCOMPARE(buffer.Count(), arg.toInt());
            break;
        }
    }
}

// Whatever arrives in whatever chunks: no crash, no frame with a wrong checksum, never more
// than the buffer holds.
void tst_packet::bufferFuzz() {
    QRandomGenerator random(20240611);
    cInBuffer buffer;
    int frames = 0;
    const auto someBytes = [&](int n) {
        QByteArray b;
        for (int i = 0; i < n; ++i) {
            const quint32 r = random.bounded(10);
            b += r < 3 ? char(0xFF) : r < 5 ? char(0x55) : char(random.bounded(256));
        }
        return b;
    };
    for (int step = 0; step < 30000; ++step) {
        const quint32 op = random.bounded(100);
        if (op < 25) {
            buffer.Append(someBytes(int(random.bounded(40))));
        } else if (op < 45) {
            QByteArray f = frame(someBytes(int(random.bounded(256))));
            if (random.bounded(4) == 0)
                f[f.size() - 1] = char(f.back() + 1);
            const int cut = int(random.bounded(f.size() + 1));
            buffer.Append(random.bounded(3) == 0 ? f.left(cut) : f);
        } else if (op < 46) {
            buffer.Append(someBytes(int(random.bounded(42000))));
        } else if (op < 47) {
            buffer.Clear();
        } else {
            QByteArray got;
            if (buffer.GetPacket(got)) {
                ++frames;
                QVERIFY(got.startsWith(hex("FFFFFF55")));
                QCOMPARE(got.size(), quint8(got.at(9)) + 11);
                QVERIFY(checksumHolds(got));
            } else {
                QVERIFY(got.isEmpty());
            }
        }
        QVERIFY(buffer.size() <= cInBuffer::kMaxBytes);
    }
    QVERIFY2(frames > 500, "the fuzzing reached whole frames");
}

QTEST_MAIN(tst_packet)
#include "tst_packet.moc"
