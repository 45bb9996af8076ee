// The port dialog: which device each COM opens, the devices the system offers, and what is
// stored for the choice.
#include "ConnectChecks.h"
#include "ConnectWindow.h"
#include "SimulatedDock.h"
#include "TestHome.h"
#include "cSerialLink.h"
#include "frmGoOnline.h"
#include "frmMain.h"
#include "frmPrpComms.h"
#include "mLinkGlobals.h"
#include "mSerialDevices.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QtTest>
#include <memory>

namespace {

// Answers the port dialog once it is open: picks `index` (or cancels with -1).
void answerPortDialog(int index, QString* shownEntry) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto* dialog = qobject_cast<frmPrpComms*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        auto* combo = dialog->findChild<QComboBox*>("cboLocalPort");
        *shownEntry = combo->currentText();
        if (index < 0) {
            dialog->findChild<QPushButton*>("cmdSetupCancel")->click();
            return;
        }
        combo->setCurrentIndex(index);
        dialog->findChild<QPushButton*>("cmdSetupOK")->click();
    });
    timer->start(20);
}

// Answers the port dialog once: picks entry `index`, types `device` (when not null) and
// clicks OK; when the dialog is still open after that, cancels it. What the device field
// showed, and whether it could be edited, is kept.
struct DeviceAnswer {
    QString shownDevice;
    bool deviceEditable = false;
    bool stayedOpen = false;
    std::function<void()> afterOk; // runs once OK is clicked, before the program connects
};
void answerDeviceDialog(int index, const QString& device, DeviceAnswer* answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto* dialog = qobject_cast<frmPrpComms*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        dialog->findChild<QComboBox*>("cboLocalPort")->setCurrentIndex(index);
        auto* field = dialog->findChild<QComboBox*>("cboDevice");
        answer->shownDevice = field->currentText();
        answer->deviceEditable = field->isEnabled() && field->isEditable();
        if (!device.isNull())
            field->setCurrentText(device);
        dialog->findChild<QPushButton*>("cmdSetupOK")->click();
        if (answer->afterOk)
            answer->afterOk();
        answer->stayedOpen = dialog->isVisible();
        if (answer->stayedOpen)
            dialog->findChild<QPushButton*>("cmdSetupCancel")->click();
    });
    timer->start(20);
}

} // namespace

class tst_comports : public QObject, public ConnectWindow {
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void deviceChoice_data();
    void deviceChoice();
    void offeredDevices();
    void portDialog_data();
    void portDialog();
    void populate_data();
    void populate();
};

void tst_comports::deviceChoice_data() {
    QTest::addColumn<QString>("before");      // ComPort_Settings/Device2 before, null: none
    QTest::addColumn<QString>("environment"); // TREVANO_COM2, empty: unset
    QTest::addColumn<QString>("typed");       // null: the field is left as it is; "<dock>"
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("after"); // the setting afterwards, null: still none
    QTest::newRow("the default kept: nothing written")
        << QString() << QString() << QString() << true << QString();
    QTest::newRow("a pseudo-terminal") << QString() << QString() << "<dock>" << true << "<dock>";
    QTest::newRow("a device replaced")
        << "/dev/ttyUSB7" << QString() << "<dock>" << true << "<dock>";
    QTest::newRow("back to the default")
        << "/dev/ttyUSB7" << QString() << "/dev/ttyS1" << true << "";
    QTest::newRow("no path: refused, nothing lost")
        << "/dev/ttyUSB7" << QString() << "ttyUSB0" << false << "/dev/ttyUSB7";
    QTest::newRow("a folder: refused") << QString() << QString() << "/dev" << false << QString();
    QTest::newRow("the environment wins")
        << QString() << "<dock>" << QString() << true << QString();
}

void tst_comports::deviceChoice() {
    QFETCH(QString, before);
    QFETCH(QString, environment);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, after);
    SimulatedDock dock(1);
    const auto dockPath = [&](QString text) { return text.replace("<dock>", dock.devicePath()); };
    qunsetenv("TREVANO_COM2");
    if (!environment.isEmpty())
        qputenv("TREVANO_COM2", dockPath(environment).toUtf8());
    if (!before.isNull())
        QVERIFY(Settings::SaveSetting("ComPort_Settings", "Device2", before));
    BoxRecorder boxes;
    boxes.answers = {Boxes::AnswerOk, Boxes::AnswerIgnore};
    window->GoHome();
    QVERIFY(gDocked);
    boxes.boxes.clear();

    DeviceAnswer answer;
    // A port left at a device of the machine must not open it: no test touches real ports.
    const QByteArray nowhere = home->file("no-port-2").toUtf8();
    answer.afterOk = [&] {
        if (environment.isEmpty() && dockPath(after) != dock.devicePath())
            qputenv("TREVANO_COM2", nowhere);
    };
    answerDeviceDialog(1, typed.isNull() ? QString() : dockPath(typed), &answer);
    window->GoOptions();
    qunsetenv("TREVANO_COM2");
    QCOMPARE(answer.shownDevice, environment.isEmpty()
                                     ? (before.isNull() ? QString("/dev/ttyS1") : before)
                                     : dockPath(environment));
    QCOMPARE(answer.deviceEditable, environment.isEmpty());
    QCOMPARE(answer.stayedOpen, !accepted);
    QCOMPARE(StoredSetting("ComPort_Settings/Device2"), !after.isNull());
    QCOMPARE(Settings::GetSetting("ComPort_Settings", "Device2"), dockPath(after));
    if (!accepted) {
        QCOMPARE(boxes.texts().first(),
                 QString("Enter the full path of a serial device, such as /dev/ttyUSB0."));
        QCOMPARE(Settings::GetSetting("ComPort_Settings", "ComPort"), QString("1"));
        return;
    }
    QCOMPARE(Settings::GetSetting("ComPort_Settings", "ComPort"), QString("2"));
    // COM2 now opens the device chosen: the docking station answers there.
    const bool reachesDock = dockPath(after) == dock.devicePath() || !environment.isEmpty();
    QCOMPARE(gDocked, reachesDock);
    if (reachesDock) {
        QCOMPARE(window->SerialLink().PortNumber(), 2);
        QCOMPARE(window->StatusText(1), QString("Docking Station : OK"));
    }
}

void tst_comports::offeredDevices() {
    SimulatedDock dock(1);
    // A USB adapter as the system lists it, with its stable name beside.
    QTemporaryDir byId;
    const QString stable = byId.filePath("usb-Adapter_Maker_Serial_A1B2-if00-port0");
    QVERIFY(QFile::link(dock.devicePath(), stable));
    QVERIFY(QFile::link("/dev/nowhere", byId.filePath("usb-Unplugged-if00-port0")));
    const QStringList system{dock.devicePath(), "/dev/ttyS0", "/dev/ttyACM0"};
    QCOMPARE(SerialDevices::Offered(4, "/dev/ttyS3", system, byId.path()),
             (QStringList{"/dev/ttyS3", "/dev/ttyACM0", "/dev/ttyS0", stable}));
    // What a port opens now comes first and once.
    QCOMPARE(SerialDevices::Offered(4, "/dev/ttyACM0", system, byId.path()),
             (QStringList{"/dev/ttyACM0", "/dev/ttyS0", stable, "/dev/ttyS3"}));

    qunsetenv("TREVANO_COM4");
    frmPrpComms dialog;
    dialog.setPortLister([&] { return system; });
    dialog.setByIdFolder(byId.path());
    dialog.comPort = 4;
    dialog.Populate();
    auto* field = dialog.findChild<QComboBox*>("cboDevice");
    QCOMPARE(field->currentText(), QString("/dev/ttyS3"));
    const int index = field->findText(stable);
    QVERIFY(index >= 0);
    field->setCurrentIndex(index);
    dialog.findChild<QPushButton*>("cmdSetupOK")->click();
    QVERIFY(dialog.OK);
    QCOMPARE(dialog.comPort, qint16(4));
    QCOMPARE(Settings::GetSetting("ComPort_Settings", "Device4"), stable);

    // The stable name leads to the station.
    cSerialLink link;
    QVERIFY(link.OpenPort(4, "9600,n,8,1"));
    QByteArray reply;
    QVERIFY(link.WaitFor(1, 0x01, QByteArray(1, char(0x11)), 900, 0x80, false, reply));
    // Shown on the port's entry the next time.
    frmPrpComms next;
    QCOMPARE(next.findChild<QComboBox*>("cboLocalPort")->itemText(3),
             QString("COM4:  (%1)").arg(stable));
}

void tst_comports::portDialog_data() {
    QTest::addColumn<int>("choice"); // entry index, -1 cancels
    QTest::addColumn<bool>("docked");
    QTest::addColumn<QString>("storedPort");
    QTest::newRow("COM3: chosen") << 2 << true << "3";
    QTest::newRow("cancelled") << -1 << false << "1";
}

void tst_comports::portDialog() {
    QFETCH(int, choice);
    QFETCH(bool, docked);
    QFETCH(QString, storedPort);
    SimulatedDock dock(1);
    dock.pointAt(3);
    BoxRecorder boxes;
    window->GoHome();
    QVERIFY(gDocked);
    QString shown;
    answerPortDialog(choice, &shown);
    window->GoOptions();
    QCOMPARE(shown, "COM1:  (" + dock.portPath(1) + ")");
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(gDocked, docked);
    QCOMPARE(window->SerialLink().IsOpen(), docked);
    // Cancelled, the port stays closed and the program says how to connect again.
    QCOMPARE(window->StatusText(1), docked ? QString("Docking Station : OK") : kOffline);
    QCOMPARE(window->StatusText(2), docked ? QString() : kReconnectHint);
    QCOMPARE(Settings::GetSetting("ComPort_Settings", "ComPort"), storedPort);
    QCOMPARE(dock.count(0x11), docked ? 2 : 1);
    if (docked) {
        QCOMPARE(window->SerialLink().PortNumber(), 3);
        return;
    }
    // That way works on the home page, where the dialog was left.
    QVERIFY(window->Action("home")->isEnabled());
    window->Action("home")->trigger();
    QVERIFY(gDocked);
    QCOMPARE(window->SerialLink().PortNumber(), 1);
    QCOMPARE(window->StatusText(1), QString("Docking Station : OK"));
    QCOMPARE(window->StatusText(2), QString());
    QCOMPARE(dock.count(0x11), 2);
}

void tst_comports::populate_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("selected");
    QTest::newRow("3") << 3 << "COM3:";
    QTest::newRow("8") << 8 << "COM8:";
    QTest::newRow("0") << 0 << "COM2:";
    QTest::newRow("9") << 9 << "COM2:";
}

void tst_comports::populate() {
    QFETCH(int, port);
    QFETCH(QString, selected);
    qputenv("TREVANO_COM3", "/tmp/simulated-com3");
    frmPrpComms dialog;
    dialog.comPort = qint16(port);
    dialog.Populate();
    auto* combo = dialog.findChild<QComboBox*>("cboLocalPort");
    QCOMPARE(combo->count(), 8);
    QVERIFY(combo->currentText().startsWith(selected + "  ("));
    QCOMPARE(combo->itemText(2), QString("COM3:  (/tmp/simulated-com3)"));
    QCOMPARE(combo->itemData(7).toInt(), 8);
    QVERIFY(!dialog.OK);
}

QTEST_MAIN(tst_comports)
#include "tst_comports.moc"
