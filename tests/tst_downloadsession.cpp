// The rules of a download, over an in-memory line at a tenth of the line's timings: what the
// session accepts of the reader's stream (split, late, missing, repeated, extra and spoilt
// packets, frames of other codes, status packets), when it sends its request, the watchdog,
// Cancel, its three modes, and the Status window that shows it.
#include "DownloadLogs.h"
#include "MemoryLine.h"
#include "TestHome.h"
#include "cDownloadSession.h"
#include "frmDownload.h"
#include "mQuietLine.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <ctime>
#include <memory>

Q_DECLARE_METATYPE(MemoryLine::Stream)

namespace {

const cLinkTimings kTimings = cLinkTimings().Scaled(0.1);
// Packets follow each other well within the quiet time, as on the line (262.5 ms of 525).
const int kGap = kTimings.QuietMs / 4;

using Frames = QVector<QByteArray>;
using Stream = MemoryLine::Stream;

Frames packetsOf(const QByteArray& slots_, quint8 firmware = 0x08, int recordCount = -1) {
    return DockStation::DownloadPackets(slots_, kReaderId, firmware, recordCount);
}

Stream paced(const Frames& frames, int gapMs = kGap) {
    Stream s;
    for (const QByteArray& f : frames)
        s.append({gapMs, f});
    return s;
}

// Every frame in `parts` chunks, `gapMs` apart.
Stream split(const Frames& frames, int parts, int gapMs) {
    Stream s;
    for (const QByteArray& f : frames) {
        const int size = int(f.size()) / parts + 1;
        for (int i = 0; i < f.size(); i += size)
            s.append({gapMs, f.mid(i, size)});
    }
    return s;
}

QByteArray spoilt(QByteArray frame) {
    frame[frame.size() - 1] = char(frame.at(frame.size() - 1) ^ 0x5A);
    return frame;
}

QByteArray statusFrame(char fill) {
    return DockStation::MakeFrame(QByteArray(1, char(0xF3)) + QByteArray(8, fill));
}

const QString kSilent = QStringLiteral(
    "Download Error\r\nThe reader did not answer. Check that it sits properly in the docking "
    "station, then try again.");
const QString kNoReader = QStringLiteral("Reader not detected. Check reader and try again.");
const QString kNeverQuiet = QStringLiteral(
    "The docking station does not stop sending. Check the reader and the docking station, then "
    "try again.");

QByteArray downloadRequest() {
    return BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, CmdDownload());
}

// What one session did.
struct Outcome {
    bool ok = false;
    QStringList failures;
    int successes = 0;
    QStringList messages;
    QStringList touches;
    QString id;
    QString firmware;
    QVector<QByteArray> written;
    QVector<qint64> writtenAt;
    int pendingAtEnd = 0;
    qint64 firstPacketAt = -1; // ms since the line was made
    qint64 endAt = -1;
    bool gateOpenAfterStop = true;
    int bufferAtStop = -1;
    int bufferAfterStream = -1;
};

struct Scenario {
    QString mode; // "", "id" or "firmware"
    Stream stream;
    Stream leftover;      // still on the line when the session starts
    int cancelAfter = -1; // packets; 0: a while after the request
    cLinkTimings timings = kTimings;
    std::function<void()> onFailure; // runs while the failure is being shown
};

// Fails the test (and leaves `out` part filled) when the session never ends.
void run(const Scenario& s, Outcome& out) {
    MemoryLine line;
    line.onDownload = s.stream;
    line.play(s.leftover);
    {
        cDownloadSession session(line, s.timings);
        session.setGetIDMode(s.mode == "id");
        session.setFirmwareVersion(s.mode == "firmware");
        const auto stop = [&] {
            if (session.Finished())
                return;
            session.Stop();
            out.bufferAtStop = line.InBuffer().size();
        };
        QObject::connect(&session, &cDownloadSession::failed, [&](const QString& text) {
            out.failures << text;
            out.endAt = line.elapsed();
            if (s.onFailure)
                s.onFailure();
        });
        QObject::connect(&session, &cDownloadSession::succeeded, [&] {
            ++out.successes;
            out.endAt = line.elapsed();
        });
        QObject::connect(&session, &cDownloadSession::message,
                         [&](const QString& text) { out.messages << text; });
        QObject::connect(&session, &cDownloadSession::progress, [&](int value) {
            if (value >= 1 && out.firstPacketAt < 0)
                out.firstPacketAt = line.elapsed();
            if (s.cancelAfter > 0 && value >= s.cancelAfter)
                stop();
        });
        QTimer cancelLater;
        cancelLater.setSingleShot(true);
        if (s.cancelAfter == 0) {
            // Long after the watchdog would have fired, had it been started.
            QObject::connect(&cancelLater, &QTimer::timeout, stop);
        }
        session.Start();
        if (s.cancelAfter == 0) {
            QTRY_VERIFY_WITH_TIMEOUT(!line.written.isEmpty(), 10000);
            cancelLater.start(2 * s.timings.WatchdogMs);
        }
        QTRY_VERIFY_WITH_TIMEOUT(session.Finished(), 20000);
        out.ok = session.OK();
        out.touches = touchLines(session.Buttons());
        out.id = session.PipeID();
        out.firmware = session.tFirmware();
        out.pendingAtEnd = line.pending();
        out.written = line.written;
        out.writtenAt = line.writtenAt;
        session.Stop();
        out.gateOpenAfterStop = gReceiveEnabled;
    }
    QTRY_COMPARE_WITH_TIMEOUT(line.pending(), 0, 20000);
    out.bufferAfterStream = line.InBuffer().size();
}

} // namespace

class tst_downloadsession : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void integrity_data();
    void integrity();
    void readerIdMode_data();
    void readerIdMode();
    void lineGoesSilent_data();
    void lineGoesSilent();
    void springForward();
    void statusWindow_data();
    void statusWindow();

private:
    std::unique_ptr<TestHome> home;
};

void tst_downloadsession::initTestCase() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    seedButtons();
}

void tst_downloadsession::init() {
    gReceiveEnabled = false;
}

void tst_downloadsession::integrity_data() {
    QTest::addColumn<Stream>("stream");
    QTest::addColumn<Stream>("leftover");
    QTest::addColumn<int>("cancelAfter");
    QTest::addColumn<int>("quietLimitMs");
    QTest::addColumn<QString>("failure"); // none: whole, or cancelled when cancelAfter >= 0
    QTest::addColumn<QStringList>("touches");

    const auto row = [](const char* name, const Stream& stream, const QString& failure,
                        const QStringList& touches = {}) {
        QTest::newRow(name) << stream << Stream() << -1 << 0 << failure << touches;
    };
    QStringList t0, t58, t59, t118, t150, tZero, unused;
    const Frames empty = packetsOf({});
    const Frames p58 = packetsOf(makeSlots(58, &t58));
    const Frames p59 = packetsOf(makeSlots(59, &t59));
    const Frames p118 = packetsOf(makeSlots(118, &t118));
    const Frames p150 = packetsOf(makeSlots(150, &t150));
    const Frames pZero = packetsOf(makeSlots(150, &tZero, kDay, 70));
    QCOMPARE(p150.size(), 3);

    row("empty reader", paced(empty), "", t0);
    row("58 records, one packet", paced(p58), "", t58);
    row("59 records, two packets", paced(p59), "", t59);
    row("118 records", paced(p118), "", t118);
    row("150 records, three packets", paced(p150), "", t150);
    row("a zero record inside the count is a touch", paced(pZero), "", tZero);
    row("packets split in chunks", split(p150, 4, kGap / 4), "", t150);
    row("packets split across ticks", split(p150, 2, 2 * kTimings.GetPacketsMs), "", t150);

    Stream late = paced(p150);
    late[2].afterMs = kTimings.WatchdogMs * 7 / 10;
    row("a late packet within the watchdog", late, "", t150);
    late[2].afterMs = kTimings.WatchdogMs * 16 / 10;
    row("a packet later than the watchdog", late, "Download Error");

    row("a missing packet", paced({p150.at(0), p150.at(2)}), "Download Error");
    row("a repeated packet", paced({p150.at(0), p150.at(1), p150.at(1), p150.at(2)}), kIncomplete);
    const QByteArray extra =
        DockStation::MakeFrame(QByteArray(1, char(0xF3)) + QByteArray(240, '\0'));
    row("an extra packet", paced(p150 + Frames{extra}), kIncomplete);
    row("an extra packet of an empty reader", paced(empty + Frames{extra}), kIncomplete);
    row("a spoilt first packet", paced({spoilt(p150.at(0)), p150.at(1), p150.at(2)}), kIncomplete);
    row("a spoilt last packet", paced({p150.at(0), p150.at(1), spoilt(p150.at(2))}), kIncomplete);
    row("a spoilt frame after the last packet", paced(p150 + Frames{spoilt(extra)}), kIncomplete);
    // A frame of no data packet in between is not counted and ends nothing.
    const QByteArray otherCode =
        DockStation::MakeFrame(QByteArray(1, char(0x55)) + QByteArray(240, '\0'));
    row("frames of other codes between packets",
        paced({DockStation::ButtonPacket("12AB3F"), p150.at(0), otherCode, p150.at(1),
               DockStation::MakeFrame(QByteArray::fromHex("9300")), p150.at(2)}),
        "", t150);
    Stream noise = paced(p150);
    noise.insert(1, {kGap, QByteArray::fromHex("0013FF37FFFF")});
    row("bytes of no frame between packets", noise, "", t150);
    row("a frame of another code after the last packet",
        paced(p150 + Frames{DockStation::ButtonPacket("12AB3F")}), "", t150);

    row("no reader", paced({statusFrame(char(0xFF))}), kNoReader);
    row("download error (002)", paced({statusFrame(char(0x01))}), "Download Error (002)");
    row("record count FFFF", paced(packetsOf({}, 0x08, 0xFFFF)), "Download Error");
    row("no reader after the first packet", paced({p150.at(0), statusFrame(char(0xFF))}),
        kNoReader);

    QTest::newRow("cancelled during the stream")
        << paced(p150) << Stream() << 1 << 0 << "" << QStringList();
    // The watchdog starts with the request: a silent reader ends the download.
    QTest::newRow("a silent reader") << Stream() << Stream() << -1 << 0 << kSilent << QStringList();
    // A reader whose erase kept its old records sends them behind the end of its log.
    QStringList t10;
    const QByteArray old = makeSlots(150, &unused, kDay.addDays(-3));
    row("old records after the end of the log",
        paced(DockStation::DownloadPackets(makeSlots(10, &t10), kReaderId, 0x08, -1, old)), "",
        t10);
    row("no end of the log after the count", paced(packetsOf(makeSlots(150, &unused), 0x08, 140)),
        kIncomplete);
    // Runs of FF before the start marks cost no tick each: they would outlast the watchdog.
    Stream ffRuns;
    for (const QByteArray& f : p150)
        ffRuns.append({kGap, QByteArray(40, char(0xFF)) + f});
    row("long runs of FF before the start marks", ffRuns, "", t150);

    // A cancelled download's stream is still coming: the request waits until it has ended.
    const Stream earlier = paced(packetsOf(makeSlots(2400, &unused, kDay.addDays(-3))));
    QTest::newRow("an earlier stream still on the line")
        << paced(p150) << earlier << -1 << 0 << "" << t150;
    QTest::newRow("a line that never goes quiet")
        << paced(p150) << earlier << -1 << 4 * kTimings.QuietMs << kNeverQuiet << QStringList();
}

void tst_downloadsession::integrity() {
    QFETCH(Stream, stream);
    QFETCH(Stream, leftover);
    QFETCH(int, cancelAfter);
    QFETCH(int, quietLimitMs);
    QFETCH(QString, failure);
    QFETCH(QStringList, touches);
    Scenario s;
    s.stream = stream;
    s.leftover = leftover;
    s.cancelAfter = cancelAfter;
    if (quietLimitMs > 0)
        s.timings.QuietLimitMs = quietLimitMs;
    Outcome out;
    run(s, out);
    if (QTest::currentTestFailed())
        return;

    const bool whole = failure.isEmpty() && cancelAfter < 0;
    QCOMPARE(out.failures, failure.isEmpty() ? QStringList() : QStringList{failure});
    QCOMPARE(out.successes, whole ? 1 : 0);
    QCOMPARE(out.ok, whole);
    // Nothing of a failed or cancelled run is handed on.
    QCOMPARE(out.touches, whole ? touches : QStringList());
    if (cancelAfter < 0) {
        QCOMPARE(out.id, whole ? kReaderId : QString());
        QCOMPARE(out.firmware, whole ? QString("V08") : QString());
    }
    // One request, written once the line was quiet; none while it never was.
    QCOMPARE(out.written, failure == kNeverQuiet ? QVector<QByteArray>()
                                                 : QVector<QByteArray>{downloadRequest()});
    const bool busy = !leftover.isEmpty();
    QCOMPARE(out.messages.contains(LineBusyText()), busy);
    if (busy && !out.written.isEmpty()) {
        int leftoverEnds = 0;
        for (const MemoryLine::Chunk& chunk : leftover)
            leftoverEnds += chunk.afterMs;
        // A coarse timer may fire up to 5 % early.
        QVERIFY2(out.writtenAt.first() >= leftoverEnds + kTimings.QuietMs * 9 / 10,
                 qPrintable(QString::number(out.writtenAt.first())));
    }
    // A whole download is reported only once the reader has sent all it had.
    if (whole)
        QCOMPARE(out.pendingAtEnd, 0);
    QVERIFY(!out.gateOpenAfterStop);
    // Once stopped, nothing more is taken off the line.
    if (cancelAfter >= 0 && out.bufferAtStop >= 0)
        QCOMPARE(out.bufferAfterStream, out.bufferAtStop);
}

void tst_downloadsession::readerIdMode_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<Stream>("stream");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("firmware");
    QStringList unused;
    const Frames p150 = packetsOf(makeSlots(150, &unused));
    const QByteArray extra =
        DockStation::MakeFrame(QByteArray(1, char(0xF3)) + QByteArray(240, '\0'));
    for (const char* mode : {"id", "firmware"}) {
        const QString m = mode;
        QTest::addRow("%s: three packets", mode)
            << m << paced(p150) << "" << (m == "firmware" ? "V06" : "V08");
        QTest::addRow("%s: record count FFFF", mode)
            << m << paced(packetsOf({}, 0x08, 0xFFFF)) << "Download Error"
            << "";
        QTest::addRow("%s: a spoilt first packet", mode)
            << m << paced({spoilt(p150.at(0)), p150.at(1), p150.at(2)}) << kIncomplete << "";
        QTest::addRow("%s: an extra packet", mode)
            << m << paced(p150 + Frames{extra}) << kIncomplete << "";
    }
    for (const char* mode : {"id", "firmware"})
        QTest::addRow("%s: a silent reader", mode) << QString(mode) << Stream() << kSilent << "";
    QTest::newRow("firmware: another version as it is")
        << "firmware" << paced(packetsOf(makeSlots(10, &unused), 0x12)) << ""
        << "V12";
}

void tst_downloadsession::readerIdMode() {
    QFETCH(QString, mode);
    QFETCH(Stream, stream);
    QFETCH(QString, failure);
    QFETCH(QString, firmware);
    Scenario s;
    s.mode = mode;
    s.stream = stream;
    Outcome out;
    run(s, out);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(out.failures, failure.isEmpty() ? QStringList() : QStringList{failure});
    QCOMPARE(out.ok, failure.isEmpty());
    QCOMPARE(out.touches, QStringList()); // nothing is decoded in these modes
    QCOMPARE(out.id, failure.isEmpty() ? kReaderId : QString());
    QCOMPARE(out.firmware, firmware);
    // An ID is taken only from the whole stream, and only once it is all in: the next
    // command's reply cannot be a leftover data packet.
    if (failure.isEmpty())
        QCOMPARE(out.pendingAtEnd, 0);
}

void tst_downloadsession::lineGoesSilent_data() {
    QTest::addColumn<QByteArray>("after"); // what the reader sends after its first packet
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("byWatchdog");
    QTest::newRow("nothing") << QByteArray() << "Download Error" << true;
    QTest::newRow("no reader") << statusFrame(char(0xFF)) << kNoReader << false;
}

void tst_downloadsession::lineGoesSilent() {
    QFETCH(QByteArray, after);
    QFETCH(QString, failure);
    QFETCH(bool, byWatchdog);
    QStringList unused;
    Scenario s;
    s.stream = paced(packetsOf(makeSlots(150, &unused)).mid(0, 1));
    if (!after.isEmpty())
        s.stream.append({kGap, after});
    // The failure is shown longer than the watchdog runs: it must not raise a second one.
    s.onFailure = [] { QTest::qWait(kTimings.WatchdogMs * 3 / 2); };
    Outcome out;
    run(s, out);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(out.failures, QStringList{failure});
    QVERIFY(out.firstPacketAt >= 0);
    const qint64 silentFor = out.endAt - out.firstPacketAt;
    // A coarse timer may fire up to 5 % early.
    QVERIFY2((silentFor >= kTimings.WatchdogMs * 9 / 10) == byWatchdog,
             qPrintable(QString::number(silentFor)));
}

void tst_downloadsession::springForward() {
    // In Berlin 02:00 to 03:00 of 2025-03-30 is missing from the machine's clock and 02:00 to
    // 03:00 of 2025-10-26 comes twice; the reader logs both as its own clock shows.
    const QByteArray zone = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    auto restore = qScopeGuard([&] {
        if (hadZone)
            qputenv("TZ", zone);
        else
            qunsetenv("TZ");
        tzset();
    });
    qputenv("TZ", "Europe/Berlin");
    tzset();
    QVERIFY2(!QDateTime(QDate(2025, 3, 30), QTime(2, 10)).isValid(),
             "the time zone Europe/Berlin (package tzdata) is needed");
    const QDate spring(2025, 3, 30), autumn(2025, 10, 26);
    const QVector<DockStation::Touch> log = {
        {DockStation::WallClock(spring, QTime(1, 50)), "12AB3F"},
        {DockStation::WallClock(spring, QTime(2, 10)), "00A1B2"},
        {DockStation::WallClock(spring, QTime(2, 40)), "12AB3F"},
        {DockStation::WallClock(spring, QTime(3, 5)), "00A1B2"},
        {DockStation::WallClock(autumn, QTime(2, 30)), "12AB3F"},
        {DockStation::WallClock(autumn, QTime(2, 45)), "00A1B2"}};
    const QStringList expected{"2025-03-30 01:50 12AB3F", "2025-03-30 02:10 00A1B2",
                               "2025-03-30 02:40 12AB3F", "2025-03-30 03:05 00A1B2",
                               "2025-10-26 02:30 12AB3F", "2025-10-26 02:45 00A1B2"};
    MemoryLine line;
    line.onDownload = paced(packetsOf(DockStation::SlotsFromTouches(log)));
    cDownloadSession session(line, kTimings);
    session.Start();
    QTRY_VERIFY_WITH_TIMEOUT(session.Finished(), 10000);
    QVERIFY(session.OK());
    QCOMPARE(touchLines(session.Buttons()), expected);
    gConn->Execute("DELETE FROM tblEvents");
    QCOMPARE(StoreDownload(session.Buttons(), session.PipeID(), QDateTime::currentDateTime()), 0);
    QCOMPARE(storedTouches(), withReader(expected));
}

void tst_downloadsession::statusWindow_data() {
    QTest::addColumn<Stream>("stream");
    QTest::addColumn<bool>("cancel"); // Cancel once the first packet is in
    QTest::addColumn<QStringList>("boxes");
    QStringList unused;
    const Frames p150 = packetsOf(makeSlots(150, &unused));
    QTest::newRow("whole") << paced(p150) << false << QStringList();
    QTest::newRow("Cancel") << paced(p150, 3 * kGap) << true << QStringList();
    QTest::newRow("no reader") << paced({statusFrame(char(0xFF))}) << false
                               << QStringList{kNoReader};
}

void tst_downloadsession::statusWindow() {
    QFETCH(Stream, stream);
    QFETCH(bool, cancel);
    QFETCH(QStringList, boxes);
    MemoryLine line;
    line.onDownload = stream;
    BoxRecorder recorder;
    frmDownload window(line, kTimings);
    QString idShown, said;
    bool warned = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        warned = warned || window.findChild<QLabel*>("lblWarning")->isVisible();
        said = window.findChild<QLabel*>("lblMsgs")->text();
        idShown = window.findChild<QLabel*>("lblPipeID")->text();
        if (cancel && window.findChild<QProgressBar*>("prgOnline")->value() >= 1)
            window.findChild<QPushButton*>("cmdCancel")->click();
    });
    watch.start(5);
    window.exec();
    watch.stop();
    const bool whole = !cancel && boxes.isEmpty();
    QCOMPARE(window.OK(), whole);
    QCOMPARE(recorder.texts(), boxes);
    QVERIFY(warned);
    QVERIFY(!window.findChild<QLabel*>("lblWarning")->isVisible());
    QCOMPARE(idShown, boxes.isEmpty() ? kReaderId : QString());
    if (whole) {
        QCOMPARE(said, QString("Processing Data"));
        QCOMPARE(window.findChild<QLabel*>("lblProgress")->text(), QString("100%"));
        QCOMPARE(window.Buttons().Count(), 142);
    }
    QVERIFY(!gReceiveEnabled);
}

QTEST_MAIN(tst_downloadsession)
#include "tst_downloadsession.moc"
