// Connecting on a real main window: the status dialog, the docking check against the
// simulated docking station, the Retry / Ignore box, a port that will not open, a line that
// hangs up, and the port dialog.
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

// Enabled states of the toolbar buttons home, download, reports, setup, as "0101".
QString buttons(frmMain& w) {
    QString mask;
    for (const char* key : {"home", "download", "reports", "setup"})
        mask += w.Action(key)->isEnabled() ? '1' : '0';
    return mask;
}

} // namespace

class tst_connect : public QObject, public ConnectWindow {
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void docked();
    void silentStation_data();
    void silentStation();
    void portWillNotOpen();
    void hangUpClearsTheDockedState();
    void reconnectsWhenTheStationIsBack();
    void simulatorProgram();
};

void tst_connect::docked() {
    SimulatedDock dock;
    BoxRecorder boxes;
    window->GoHome();
    QVERIFY(boxes.boxes.isEmpty());
    QVERIFY(gDocked);
    QCOMPARE(window->StatusText(1), QString("Docking Station : OK"));
    QCOMPARE(buttons(*window), QString("0111"));
    QCOMPARE(window->StatusText(2), QString());
    QVERIFY(window->SerialLink().IsOpen());
    QCOMPARE(dock.count(0x11), 1);
    QCOMPARE(dock.requests().first().frame, QByteArray::fromHex("FFFFFF55030103510001116A"));
    QCOMPARE(dock.noise(), QByteArray("\r\n\r\n"));
    QVERIFY(window->Action("mnuViewOptions")->isEnabled());

    // Online: coming home again does not reconnect.
    window->GoReports();
    window->GoHome();
    QCOMPARE(dock.count(0x11), 1);
    QCOMPARE(window->StatusText(1), QString("Docking Station : OK"));
    QCOMPARE(buttons(*window), QString("0111"));
}

void tst_connect::silentStation_data() {
    QTest::addColumn<QList<int>>("answers");
    QTest::newRow("Ignore") << QList<int>{Boxes::AnswerIgnore};
    QTest::newRow("Retry, then Ignore") << QList<int>{Boxes::AnswerRetry, Boxes::AnswerIgnore};
}

void tst_connect::silentStation() {
    QFETCH(QList<int>, answers);
    SimulatedDock dock;
    dock.setSilent(true);
    BoxRecorder boxes;
    boxes.answers = answers;
    window->GoHome();
    QCOMPARE(boxes.boxes.size(), answers.size());
    for (const Boxes::Box& box : boxes.boxes) {
        QCOMPARE(box.text, kSilentBox);
        QCOMPARE(box.buttons, Boxes::Buttons::RetryIgnore);
    }
    // Retry repeats only the docking check: the port stays open, CR LF goes out once.
    QCOMPARE(dock.count(0x11), answers.size());
    QCOMPARE(dock.noise(), QByteArray("\r\n\r\n"));
    QVERIFY(!gDocked);
    // Home stays usable on the home page: pressing it is how to connect again.
    QCOMPARE(buttons(*window), QString("1011"));
    QCOMPARE(window->StatusText(1), kNotDetected);
    QCOMPARE(window->StatusText(2), kReconnectHint);
    QVERIFY(!window->Action("mnuToolsPipeOptions")->isEnabled());
    QVERIFY(!window->Action("mnuToolsClearPipe")->isEnabled());

    // Not online: coming home tries again.
    dock.setSilent(false);
    window->Action("home")->trigger();
    QVERIFY(gDocked);
    QCOMPARE(buttons(*window), QString("0111"));
    QCOMPARE(window->StatusText(2), QString());
    QCOMPARE(dock.count(0x11), answers.size() + 1);
}

void tst_connect::portWillNotOpen() {
    BoxRecorder boxes;
    QString statusText;
    boxes.onBox = [&](const Boxes::Box&) {
        if (auto* dialog = window->findChild<frmGoOnline*>())
            statusText = dialog->findChild<QLabel*>("lblMsgs")->text();
    };
    window->GoHome();
    QCOMPARE(boxes.texts(), QStringList{kOfflineBox});
    QCOMPARE(boxes.boxes.first().buttons, Boxes::Buttons::Ok);
    QVERIFY2(statusText.contains("Could Not Open Com 1\r\n"), qPrintable(statusText));
    QVERIFY(!gDocked);
    QVERIFY(!window->SerialLink().IsOpen());
    QCOMPARE(window->StatusText(1), kNotDetected);
    QCOMPARE(window->StatusText(2), kReconnectHint);
    QCOMPARE(buttons(*window), QString("1011"));
}

void tst_connect::hangUpClearsTheDockedState() {
    SimulatedDock dock;
    BoxRecorder boxes;
    window->GoHome();
    QVERIFY(gDocked);
    dock.hangUp();
    QTRY_VERIFY(!window->SerialLink().IsOpen());
    QVERIFY(!gDocked);
    QCOMPARE(window->StatusText(1), kOffline);
    QCOMPARE(window->StatusText(2), kReconnectHint);
    // On the home page too, the Home button the hint speaks of can be pressed.
    QCOMPARE(buttons(*window), QString("1011"));
    QVERIFY(home->errorLog().contains("comPort_OnComm of Form frmMain"));
    QVERIFY(boxes.boxes.isEmpty());
    // No longer online: home connects again, and finds no line.
    window->Action("home")->trigger();
    QCOMPARE(boxes.texts(), QStringList{kOfflineBox});
    QCOMPARE(window->StatusText(2), kReconnectHint);
}

void tst_connect::reconnectsWhenTheStationIsBack() {
    BoxRecorder boxes;
    {
        SimulatedDock first;
        window->GoHome();
        QVERIFY(gDocked);
        first.hangUp();
        QTRY_COMPARE(window->StatusText(1), kOffline);
        QVERIFY(!gDocked);
        QVERIFY(!window->SerialLink().IsOpen());
        // Elsewhere in the program the state stays what the line says.
        window->Action("reports")->trigger();
        QCOMPARE(window->StatusText(1), kOffline);
        QCOMPARE(window->StatusText(2), kReconnectHint);
    }
    SimulatedDock again;
    window->Action("home")->trigger();
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(" / ")));
    QVERIFY(gDocked);
    QCOMPARE(window->StatusText(1), QString("Docking Station : OK"));
    QCOMPARE(buttons(*window), QString("0111"));
    QCOMPARE(window->StatusText(2), QString());
    QCOMPARE(again.count(0x11), 1);
}

namespace {

// The simulator program as a user starts it, pointing COM1 at itself through the setting.
class SimulatorProgram {
public:
    SimulatorProgram() {
        process.setProgram(QStringLiteral(TREVANO_DOCKSTATION));
        process.setArguments({"--port", "1", "--touches", "0"});
        process.start();
    }
    ~SimulatorProgram() {
        if (process.state() == QProcess::NotRunning)
            return;
        process.write("quit\n");
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(2000);
    }
    // Waits for a line of its output that contains `text`.
    bool said(const QString& text) {
        QElapsedTimer waited;
        waited.start();
        while (!output.contains(text) && waited.elapsed() < 10000) {
            process.waitForReadyRead(100);
            output += QString::fromLocal8Bit(process.readAllStandardOutput());
        }
        return output.contains(text);
    }
    void type(const QByteArray& line) { process.write(line + '\n'); }
    QString output;

private:
    QProcess process;
};

} // namespace

void tst_connect::simulatorProgram() {
    qunsetenv("TREVANO_COM1"); // the setting the simulator writes is to be used
    BoxRecorder boxes;
    {
        SimulatorProgram simulator;
        QVERIFY2(simulator.said("Port COM1 of the program now opens it"),
                 qPrintable(simulator.output));
        window->GoHome();
        QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(" / ")));
        QCOMPARE(window->StatusText(1), QString("Docking Station : OK"));
        simulator.type("hangup");
        QTRY_COMPARE(window->StatusText(1), kOffline);
        QVERIFY(!gDocked);
        QVERIFY(simulator.said("Line closed"));
        QVERIFY(!StoredSetting("ComPort_Settings/Device1"));
    }
    // Started again: the next Home connects.
    SimulatorProgram again;
    QVERIFY2(again.said("Port COM1 of the program now opens it"), qPrintable(again.output));
    window->GoHome();
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(" / ")));
    QCOMPARE(window->StatusText(1), QString("Docking Station : OK"));
    QVERIFY(gDocked);
}

QTEST_MAIN(tst_connect)
#include "tst_connect.moc"
