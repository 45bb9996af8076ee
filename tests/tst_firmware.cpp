// The reader's firmware version from Tools > "Reader Firmware Version", on a real main window
// against the simulated dock.
#include "DownloadPage.h"
#include "ModalScript.h"
#include "SimulatedDock.h"
#include "frmSetTime.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <memory>

class tst_firmware : public QObject, private DockedWindowFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { end(); }

    void firmware_data();
    void firmware();
};

void tst_firmware::firmware_data() {
    QTest::addColumn<int>("firmware");
    QTest::addColumn<QString>("shown"); // empty: no box
    QTest::newRow("08 shown as V06") << 0x08 << "Firmware Version is V06";
    QTest::newRow("12") << 0x12 << "Firmware Version is V12";
    QTest::newRow("FF: no version") << 0xFF << "";
}

void tst_firmware::firmware() {
    QFETCH(int, firmware);
    QFETCH(QString, shown);
    dock->setFirmware(quint8(firmware));
    // A reader with a log: the whole stream is taken, and nothing of it stored.
    dock->setLog(DockStation::MakeTouches(80, 1, {"12AB3F"}, QDate(2008, 5, 4)));
    QString label;
    const QPointer<QTimer> watcher = WhenOpen<frmFirmwareVersion>([&](frmFirmwareVersion* d) {
        label = d->findChild<QLabel*>("Label1")->text();
        d->findChild<QPushButton*>("cmdClose")->click();
    });
    BoxRecorder boxes;
    window->Action("mnuToolsReaderFW")->trigger();
    QCOMPARE(label, shown);
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(dock->requests().size(), 1);
    QCOMPARE(gConn->Query("SELECT ID FROM tblEvents").count(), 0);
    QVERIFY(!QApplication::overrideCursor());
    delete watcher.data();
}

QTEST_MAIN(tst_firmware)
#include "tst_firmware.moc"
