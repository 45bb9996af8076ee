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

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
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

// `count` record slots: a date marker every 20 slots (one hour later each), touches between,
// so that markers fall on both sides of packet boundaries. `expected` gets the touches.
QByteArray makeSlots(int count, QStringList* expected) {
    QByteArray slots_;
    int hour = 7;
    for (int i = 0; i < count; ++i) {
        if (i % 20 == 0) {
            slots_ += marker(++hour, dayCode(kDay));
            continue;
        }
        const QString code = QStringLiteral("A0%1").arg(i, 4, 16, QLatin1Char('0')).toUpper();
        slots_ += touch(code, i % 60);
        *expected << line(QDateTime(kDay, QTime(hour, i % 60)), code);
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

QStringList decodeAll(const colPackets& packets) {
    QStringList out;
    const colRawButtons touches = DecodePackets(packets, [](const QString& code) {
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
    void firstPacket_data();
    void firstPacket();
    void lookUp_data();
    void lookUp();

    void fullDownload();
    void emptyReader();
    void readerFault_data();
    void readerFault();
    void lineGoesSilent_data();
    void lineGoesSilent();
    void storeFails();
    void eraseRetry_data();
    void eraseRetry();
    void readerIdMode_data();
    void readerIdMode();

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
    QTest::newRow("end of log ends the packet")
        << marker(9, d) + touch("12AB3F", 1) + QByteArray(4, '\0') + touch("00A1B2", 2) << 1
        << QStringList{"2008-05-04 09:01 12AB3F"};
    QStringList first;
    QByteArray endInFirst =
        makeSlots(57, &first) + QByteArray(4, '\0') + touch("00A1B2", 3) + touch("00A1B2", 4);
    QTest::newRow("end of log ignores later packets") << endInFirst << 2 << first;
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
    QCOMPARE(ExpectedPacketCount(int(records.size() / 4)), packets);
    QCOMPARE(decodeAll(toPackets(frames)), touches);
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
        QCOMPARE(decodeAll(toPackets({frame})),
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
    QTest::addColumn<bool>("countError");
    QTest::newRow("three packets") << false;
    QTest::newRow("count FFFF") << true;
}

void tst_download::readerIdMode() {
    QFETCH(bool, countError);
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(150, 1, {"12AB3F"}, kDay));
    dock.setReaderId("D1D2D3D4");
    dock.setPaced(true);
    if (countError)
        dock.setDownloadReply(DockStation::DownloadReply::CountError);
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
    QCOMPARE(ok, !countError);
    QCOMPARE(boxes.texts(), countError ? QStringList{"Download Error"} : QStringList{});
    if (countError)
        return;
    QCOMPARE(id, QString("D1D2D3D4"));
    // The rest of the stream is in before the window reports, so the next command's reply
    // cannot be a leftover data packet.
    QVERIFY(!dock.outputPending());
    QVERIFY(page->EraseReader());
    QVERIFY(dock.logSlots().isEmpty());
}

QTEST_MAIN(tst_download)
#include "tst_download.moc"
