// Whole runs of the download page on a real main window against the simulated docking station
// at the line's timing: the touches stored and listed, the reader erased and its clock set.
#include "DownloadLogs.h"
#include "DownloadPage.h"
#include "SimulatedDock.h"

#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace {

QString rowsText() {
    QStringList out;
    for (const DbRow& r : gConn->Query("SELECT * FROM tblEvents ORDER BY ID"))
        out << QStringList{r.text("dtDateTime"),  r.text("tButtonCode"), r.text("tButtonName"),
                           r.text("tButtonDesc"), r.text("wGroupType"),  r.text("tGroupName"),
                           r.text("tGroupDesc"),  r.text("tPipeID")}
                   .join('|');
    return out.join('\n');
}

} // namespace

class tst_downloadruns : public QObject, private DownloadPageFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { end(); }

    void fullDownload();
    void emptyReader();
};

void tst_downloadruns::fullDownload() {
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

void tst_downloadruns::emptyReader() {
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

QTEST_MAIN(tst_downloadruns)
#include "tst_downloadruns.moc"
