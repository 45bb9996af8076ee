// Downloading a reader: the decoder on packets the simulator builds, the button look-up on a
// seeded database, and whole runs of the download page on a real main window against the
// simulated docking station (storing, erasing, setting the clock, and the ways they fail).
#include "SimulatedDock.h"
#include "TestHome.h"
#include "cSerialLink.h"
#include "frmDownload.h"
#include "frmMain.h"
#include "frmMdiDownload.h"
#include "mDownload.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mQuietLine.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QtTest>
#include <ctime>
#include <memory>

namespace {

const QString kReaderId = QStringLiteral("34125678");
const QDate kDay(2008, 5, 4);

int dayCode(const QDate& d) {
    return int(QDate(2000, 1, 1).daysTo(d));
}

QByteArray marker(int hour, int day) {
    QByteArray s;
    s.append(char(hour)).append(char(day & 0xFF)).append(char(day >> 8)).append(char(0xAA));
    return s;
}
QByteArray touch(const QString& code, int minute) {
    const QByteArray b = QByteArray::fromHex(code.toLatin1());
    QByteArray s;
    s.append(b.at(2)).append(b.at(1)).append(b.at(0)).append(char(minute));
    return s;
}
QString line(const QDateTime& t, const QString& code) {
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm ")) + code;
}

// `count` record slots from `day` on: a date marker every 20 slots (one hour later each),
// touches between, so that markers fall on both sides of packet boundaries; slot `zeroAt`
// holds four zero bytes. `expected` gets the touches.
QByteArray makeSlots(int count, QStringList* expected, const QDate& day = kDay, int zeroAt = -1) {
    QByteArray slots_;
    int hours = 7; // since the start of `day`
    const auto at = [&](int minute) {
        return QDateTime(day.addDays(hours / 24), QTime(hours % 24, minute));
    };
    for (int i = 0; i < count; ++i) {
        if (i == zeroAt) {
            slots_ += QByteArray(4, '\0');
            *expected << line(at(0), "000000");
            continue;
        }
        if (i % 20 == 0) {
            ++hours;
            slots_ += marker(hours % 24, dayCode(day.addDays(hours / 24)));
            continue;
        }
        const QString code = QStringLiteral("A0%1").arg(i, 4, 16, QLatin1Char('0')).toUpper();
        slots_ += touch(code, i % 60);
        *expected << line(at(i % 60), code);
    }
    return slots_;
}

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

// Three sites' buttons and one event book; code 00FFFF belongs to no button.
void seedButtons() {
    gConn->Execute(
        "INSERT INTO tblListItems (ID, tName, tDesc, wType) VALUES (1, 'North Gate', 'Gate house', 1)");
    gConn->Execute(
        "INSERT INTO tblListItems (ID, tName, tDesc, wType) VALUES (2, 'Incidents', NULL, 2)");
    gConn->Execute("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                   "VALUES (1, '12AB3F', 'Gate 1', 'Left post')");
    gConn->Execute("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                   "VALUES (2, '00A1B2', 'Fire', NULL)");
}

QString rowsText() {
    QStringList out;
    for (const DbRow& r : gConn->Query("SELECT * FROM tblEvents ORDER BY ID"))
        out << QStringList{r.text("dtDateTime"),  r.text("tButtonCode"), r.text("tButtonName"),
                           r.text("tButtonDesc"), r.text("wGroupType"),  r.text("tGroupName"),
                           r.text("tGroupDesc"),  r.text("tPipeID")}
                   .join('|');
    return out.join('\n');
}

// The stored touches in the order stored, as "yyyy-MM-dd HH:mm CODE|reader".
QStringList storedTouches() {
    QStringList out;
    for (const DbRow& r :
         gConn->Query("SELECT dtDateTime, tButtonCode, tPipeID FROM tblEvents ORDER BY ID")) {
        QString time = r.text("dtDateTime");
        if (time.endsWith(":00"))
            time.chop(3);
        out << time + ' ' + r.text("tButtonCode") + '|' + r.text("tPipeID");
    }
    return out;
}

QStringList withReader(const QStringList& touches, const QString& reader = kReaderId) {
    QStringList out;
    for (const QString& t : touches)
        out << t + '|' + reader;
    return out;
}

const QString kIncomplete = "Download Error\r\nThe reader's data did not arrive whole; nothing "
                            "of it was used. Please try again.";

int eraseRequests(const DockStation& dock) {
    int n = 0;
    for (const DockStation::Request& r : dock.requests())
        n += r.code() == 0x72 && r.data.size() == 4 ? 1 : 0;
    return n;
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

    void fullDownload();
    void emptyReader();
    void walkWhileConnected();
    void readerFault_data();
    void readerFault();
    void lineGoesSilent_data();
    void lineGoesSilent();
    void storeFails();
    void lineLost_data();
    void lineLost();
    void eraseRetry_data();
    void eraseRetry();
    void readerIdMode_data();
    void readerIdMode();
    void eraseWaitsForTheStream();

    void integrity_data();
    void integrity();
    void storedNotErased();
    void springForward();

private:
    frmMdiDownload* openPage(SimulatedDock& dock);
    QString pageMessage() const;

    std::unique_ptr<TestHome> home;
    std::unique_ptr<frmMain> window;
};

void tst_download::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    gDocked = false;
    gReceiveEnabled = false;
    gAutoSetTime = true;
}

void tst_download::cleanup() {
    window.reset();
    home.reset();
}

frmMdiDownload* tst_download::openPage(SimulatedDock& dock) {
    window = std::make_unique<frmMain>();
    window->setUserType(1);
    window->GoHome();
    if (!gDocked)
        return nullptr;
    window->GoOnline();
    dock.clearJournal();
    return qobject_cast<frmMdiDownload*>(window->CurrentPage());
}

QString tst_download::pageMessage() const {
    return window->CurrentPage()->findChild<QLabel*>("lblMsg")->text();
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
        << d << 1;
    QTest::newRow("another touch ends the run")
        << withReader(QStringList{d.at(0), "2008-05-04 10:05 0C0FFE", d.at(2)}) << d << 1;
    QTest::newRow("a later touch of an earlier download")
        << withReader(d.mid(0, 2) + QStringList{"2008-05-04 10:20 00A1B2"}) << d << 2;
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

void tst_download::fullDownload() {
    seedButtons();
    SimulatedDock dock;
    QVector<DockStation::Touch> log;
    // 150 touches over two days: three packets, markers on packet boundaries.
    log = DockStation::MakeTouches(150, 2, {"12AB3F", "00A1B2", "00FFFF"}, kDay);
    dock.setLog(log);
    dock.setReaderId(kReaderId);
    dock.setPaced(true);
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    BoxRecorder boxes;
    QString idShown;
    bool closeRefused = false;
    QTimer peek; // the Status window's reader ID, read while it runs
    connect(&peek, &QTimer::timeout, this, [&] {
        if (auto* status = page->findChild<QDialog*>("frmDownload")) {
            closeRefused = !page->QueryClose();
            if (!status->findChild<QLabel*>("lblPipeID")->text().isEmpty())
                idShown = status->findChild<QLabel*>("lblPipeID")->text();
        }
    });
    peek.start(50);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    page->findChild<QPushButton*>("cmdOnline_0")->click();
    peek.stop();

    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(" / ")));
    QCOMPARE(idShown, kReaderId);
    QVERIFY(closeRefused);
    QStringList expected;
    for (const DockStation::Touch& t : log) {
        const QString names = t.code == "12AB3F"   ? "Gate 1|Left post|1|North Gate|Gate house"
                              : t.code == "00A1B2" ? "Fire||2|Incidents|"
                                                   : "Unknown||0||";
        expected << t.time.toString("yyyy-MM-dd HH:mm:00|") + t.code + "|" + names + "|" +
                        kReaderId;
    }
    QCOMPARE(rowsText(), expected.join('\n'));
    const DbRows dl = gConn->Query("SELECT DISTINCT dtDLDateTime FROM tblEvents");
    QCOMPARE(dl.count(), 1);
    const QDateTime downloaded =
        QDateTime::fromString(dl.first().text("dtDLDateTime"), "yyyy-MM-dd HH:mm:ss");
    QVERIFY2(downloaded >= before && downloaded <= QDateTime::currentDateTime(),
             qPrintable(downloaded.toString()));

    QCOMPARE(pageMessage(),
             QString("Download Successful\r\nData Readings = 150\r\nReader Memory erased"));
    auto* list = page->findChild<QTreeWidget*>("lvwDownload");
    QCOMPARE(list->topLevelItemCount(), 150);
    QCOMPARE(list->topLevelItem(0)->text(0), QString("1"));
    QCOMPARE(list->topLevelItem(0)->text(4), QString("Gate 1"));
    QCOMPARE(list->topLevelItem(2)->text(4), QString("Unknown"));
    QCOMPARE(list->currentItem(), list->topLevelItem(149));

    // Download, then erase, then the clock: the reader forgets its log only after the commit.
    QVector<quint8> codes;
    for (const DockStation::Request& r : dock.requests())
        codes << r.code();
    QCOMPARE(codes, (QVector<quint8>{0x72, 0x72, 0x12}));
    QCOMPARE(eraseRequests(dock), 1);
    QVERIFY(dock.logSlots().isEmpty());
    const DockStation::Clock clock = dock.clock();
    QVERIFY(clock.set);
    const QDateTime set(clock.date, QTime(clock.hour, clock.minute));
    QVERIFY2(qAbs(set.secsTo(QDateTime::currentDateTime())) < 120, qPrintable(set.toString()));
    QVERIFY(page->QueryClose());
}

void tst_download::emptyReader() {
    SimulatedDock dock;
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    gAutoSetTime = false;
    BoxRecorder boxes;
    page->findChild<QPushButton*>("cmdOnline_0")->click();
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(pageMessage(), QString("The Reader was empty\r\nReader Memory erased"));
    QCOMPARE(gConn->Query("SELECT ID FROM tblEvents").count(), 0);
    QCOMPARE(eraseRequests(dock), 1);
    QCOMPARE(dock.count(0x12), 0); // AutoSetTime off
}

void tst_download::walkWhileConnected() {
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

void tst_download::readerFault_data() {
    QTest::addColumn<int>("reply");
    QTest::addColumn<QString>("box");
    QTest::newRow("no reader") << int(DockStation::DownloadReply::NoReader)
                               << "Reader not detected. Check reader and try again.";
    QTest::newRow("download error")
        << int(DockStation::DownloadReply::DownloadError) << "Download Error (002)";
    QTest::newRow("count FFFF") << int(DockStation::DownloadReply::CountError) << "Download Error";
}

void tst_download::readerFault() {
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

void tst_download::lineGoesSilent_data() {
    QTest::addColumn<QByteArray>("after"); // what the reader sends after its first packet
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("byWatchdog");
    QTest::newRow("nothing") << QByteArray() << "Download Error" << true;
    QTest::newRow("no reader") << QByteArray::fromHex("F3FFFFFFFFFFFFFFFF")
                               << "Reader not detected. Check reader and try again." << false;
}

void tst_download::lineGoesSilent() {
    QFETCH(QByteArray, after);
    QFETCH(QString, box);
    QFETCH(bool, byWatchdog);
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(150, 1, {"12AB3F"}, kDay));
    dock.setStallAfterPackets(1);
    dock.setAfterStream(after);
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    BoxRecorder boxes;
    QElapsedTimer sinceStart;
    qint64 boxAt = 0;
    // The box stays open longer than the watchdog: it must not raise a second one.
    boxes.onBox = [&](const Boxes::Box&) {
        if (boxAt == 0)
            boxAt = sinceStart.elapsed();
        QTest::qWait(5500);
    };
    sinceStart.start();
    page->findChild<QPushButton*>("cmdOnline_0")->click();
    QCOMPARE(boxes.texts(), QStringList{box});
    QVERIFY2((boxAt > 5000 + 1300) == byWatchdog, qPrintable(QString::number(boxAt)));
    QCOMPARE(pageMessage(), QString("Download Failed"));
    QCOMPARE(gConn->Query("SELECT ID FROM tblEvents").count(), 0);
    QCOMPARE(eraseRequests(dock), 0);
}

void tst_download::lineLost_data() {
    QTest::addColumn<int>("afterPackets"); // packets received before the line goes
    QTest::newRow("before the request") << 0;
    QTest::newRow("after the first packet") << 1;
}

void tst_download::lineLost() {
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
    QCOMPARE(window->StatusText(1), QString("Docking Station : Not Detected"));
    QVERIFY(!gDocked);
    QVERIFY(!window->Action("download")->isEnabled());
    QVERIFY(!gReceiveEnabled);
}

void tst_download::storeFails() {
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

void tst_download::eraseRetry_data() {
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

void tst_download::eraseRetry() {
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

void tst_download::readerIdMode_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("box");
    QTest::newRow("three packets") << ""
                                   << "";
    QTest::newRow("count FFFF") << "count"
                                << "Download Error";
    QTest::newRow("bad first packet") << "bad-first" << kIncomplete;
    QTest::newRow("extra packet") << "extra" << kIncomplete;
}

void tst_download::readerIdMode() {
    QFETCH(QString, fault);
    QFETCH(QString, box);
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(150, 1, {"12AB3F"}, kDay));
    dock.setReaderId("D1D2D3D4");
    dock.setPaced(true);
    if (fault == "count")
        dock.setDownloadReply(DockStation::DownloadReply::CountError);
    dock.setBadFirstPacket(fault == "bad-first");
    dock.setExtraPacket(fault == "extra");
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    BoxRecorder boxes;
    bool ok = false;
    QString id;
    {
        frmDownload download(window->Link(), window.get());
        download.setGetIDMode(true);
        download.exec();
        ok = download.OK();
        id = download.PipeID();
        QCOMPARE(download.Buttons().Count(), 0);
    }
    // An ID is taken only from a whole stream.
    QCOMPARE(ok, box.isEmpty());
    QCOMPARE(boxes.texts(), box.isEmpty() ? QStringList{} : QStringList{box});
    QCOMPARE(id, box.isEmpty() ? QString("D1D2D3D4") : QString());
    if (!box.isEmpty())
        return;
    // The rest of the stream is in before the window reports, so the next command's reply
    // cannot be a leftover data packet.
    QVERIFY(!dock.outputPending());
    QVERIFY(page->EraseReader());
    QVERIFY(dock.logSlots().isEmpty());
}

void tst_download::eraseWaitsForTheStream() {
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

void tst_download::integrity_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("slotCount");
    QTest::addColumn<QString>("box"); // of the first attempt; none when it is whole
    QTest::newRow("bad-first-packet") << "bad-first" << 150 << kIncomplete;
    QTest::newRow("repeated-packet") << "repeat" << 150 << kIncomplete;
    QTest::newRow("missing-packet") << "missing" << 150 << "Download Error";
    QTest::newRow("extra-packet") << "extra" << 150 << kIncomplete;
    QTest::newRow("cancel-then-download") << "cancel" << 1000 << "";
    QTest::newRow("zero-record-in-count") << "zero" << 150 << "";
    QTest::newRow("58-records") << "" << 58 << "";
    QTest::newRow("118-records") << "" << 118 << "";
}

void tst_download::integrity() {
    QFETCH(QString, fault);
    QFETCH(int, slotCount);
    QFETCH(QString, box);
    QStringList expected;
    SimulatedDock dock;
    dock.setLogSlots(makeSlots(slotCount, &expected, kDay, fault == "zero" ? 70 : -1));
    dock.setReaderId(kReaderId);
    dock.setPaced(true);
    dock.setBadFirstPacket(fault == "bad-first");
    dock.setRepeatPacket(fault == "repeat" ? 2 : 0);
    dock.setMissingPacket(fault == "missing" ? 2 : 0);
    dock.setExtraPacket(fault == "extra");
    dock.setBusyWhileSending(fault == "cancel");
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    gAutoSetTime = false;
    BoxRecorder boxes;
    auto* download = page->findChild<QPushButton*>("cmdOnline_0");
    QSet<QString> said; // by the Status window
    bool cancelled = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        auto* status = page->findChild<QDialog*>("frmDownload");
        if (!status)
            return;
        said << status->findChild<QLabel*>("lblMsgs")->text();
        if (fault == "cancel" && !cancelled &&
            status->findChild<QProgressBar*>("prgOnline")->value() >= 1) {
            cancelled = true;
            status->findChild<QPushButton*>("cmdCancel")->click();
        }
    });
    watch.start(20);
    if (fault == "cancel") {
        download->click();
        QVERIFY(cancelled);
        QCOMPARE(pageMessage(), QString("Download Failed"));
        QVERIFY(dock.outputPending()); // the reader is still sending the first stream
    }
    download->click();

    // Never erased with a touch missing, never a touch stored twice, nothing of a failed
    // attempt kept.
    const bool erased = dock.logSlots().isEmpty();
    QCOMPARE(storedTouches(), erased ? withReader(expected) : QStringList());
    QCOMPARE(erased, box.isEmpty());
    QCOMPARE(boxes.texts(), box.isEmpty() ? QStringList() : QStringList{box});
    QCOMPARE(pageMessage().startsWith("Download Successful"), erased);
    QCOMPARE(said.contains(LineBusyText()), fault == "cancel");
    if (erased)
        return;
    dock.clearStreamFaults();
    download->click();
    QVERIFY(dock.logSlots().isEmpty());
    QCOMPARE(storedTouches(), withReader(expected));
    QCOMPARE(boxes.boxes.size(), 1);
}

void tst_download::storedNotErased() {
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

void tst_download::springForward() {
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
    SimulatedDock dock;
    dock.setLog(log);
    dock.setReaderId(kReaderId);
    frmMdiDownload* page = openPage(dock);
    QVERIFY(page);
    gAutoSetTime = false;
    BoxRecorder boxes;
    page->findChild<QPushButton*>("cmdOnline_0")->click();
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(" / ")));
    QCOMPARE(storedTouches(), withReader({"2025-03-30 01:50 12AB3F", "2025-03-30 02:10 00A1B2",
                                          "2025-03-30 02:40 12AB3F", "2025-03-30 03:05 00A1B2",
                                          "2025-10-26 02:30 12AB3F", "2025-10-26 02:45 00A1B2"}));
    QVERIFY(dock.logSlots().isEmpty());
    auto* list = page->findChild<QTreeWidget*>("lvwDownload");
    QCOMPARE(list->topLevelItem(1)->text(2), QString("02:10"));
}

QTEST_MAIN(tst_download)
#include "tst_download.moc"
