// The reader's options and clock from Tools > "&Reader Options", on a real main window against
// the simulated dock.
#include "DownloadPage.h"
#include "ModalScript.h"
#include "Settings.h"
#include "SimulatedDock.h"
#include "TestHome.h"
#include "cSerialLink.h"
#include "frmMain.h"
#include "frmSetTime.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mPacket.h"
#include "mQuietLine.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QtTest>
#include <memory>

namespace {

void setChecks(frmSetTime* d, bool sound, bool led, bool vibration, bool longBuzz) {
    d->findChild<QCheckBox*>("chkSound")->setChecked(sound);
    d->findChild<QCheckBox*>("chkLED")->setChecked(led);
    d->findChild<QCheckBox*>("chkVibration")->setChecked(vibration);
    d->findChild<QRadioButton*>(longBuzz ? "optTime_1" : "optTime_0")->setChecked(true);
}

} // namespace

class tst_readeroptions : public QObject, private DockedWindowFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { end(); }

    void send_data();
    void send();
    void nothingToSignal();
    void readerStillSending_data();
    void readerStillSending();
    void cancelStores_data();
    void cancelStores();
};

void tst_readeroptions::send_data() {
    QTest::addColumn<QList<bool>>("checks"); // sound, LED, vibration, long
    QTest::addColumn<bool>("custom");
    QTest::addColumn<int>("optionByte");
    QTest::addColumn<int>("optionsStatus");
    QTest::newRow("all, short, PC time")
        << QList<bool>{true, true, true, false} << false << 0x07 << 0;
    QTest::newRow("buzzer long, custom time")
        << QList<bool>{true, false, false, true} << true << 0x09 << 0;
    QTest::newRow("LED only, custom time")
        << QList<bool>{false, true, false, false} << true << 0x02 << 0;
    QTest::newRow("vibration, options refused")
        << QList<bool>{false, false, true, true} << true << 0x0C << 1;
}

void tst_readeroptions::send() {
    QFETCH(QList<bool>, checks);
    QFETCH(bool, custom);
    QFETCH(int, optionByte);
    QFETCH(int, optionsStatus);
    dock->setStatuses(0, quint8(optionsStatus), 0);
    const QDate date(2010, 2, 3); // never today: the date sent is always the picker's
    bool stillOpen = false;
    WhenOpen<frmSetTime>([&](frmSetTime* d) {
        setChecks(d, checks[0], checks[1], checks[2], checks[3]);
        d->findChild<QDateEdit*>("dtpPanelDate")->setDate(date);
        if (custom)
            d->findChild<QTimeEdit*>("DTPicker1")->setTime(QTime(14, 5)); // selects "Custom Time"
        d->findChild<QPushButton*>("cmdSendRealTime")->click();
        stillOpen = d->isVisible();
        if (stillOpen)
            d->findChild<QPushButton*>("cmdCancel")->click();
    });
    BoxRecorder boxes;
    bool closedFirst = false;
    boxes.onBox = [&](const Boxes::Box&) { closedFirst = !QApplication::activeModalWidget(); };
    const QTime before = QTime::currentTime();
    window->Action("mnuToolsPipeOptions")->trigger();

    QCOMPARE(dock->optionByte(), optionByte);
    const DockStation::Clock clock = dock->clock();
    QVERIFY(clock.set);
    QCOMPARE(clock.date, date);
    const QTime sent(clock.hour, clock.minute);
    if (custom)
        QCOMPARE(sent, QTime(14, 5));
    else
        QVERIFY2(qAbs(sent.secsTo(before)) < 120, qPrintable(sent.toString()));
    QCOMPARE(boxes.boxes.size(), 1);
    if (optionsStatus == 0) {
        QCOMPARE(boxes.texts().first(),
                 "Reader update successful\r\n" + sent.toString("HH:mm") + "  03 Feb 2010");
        QVERIFY(closedFirst);
        QVERIFY(!stillOpen);
    } else {
        QCOMPARE(boxes.texts().first(), QString("Reader update failed.  Please try again."));
        QVERIFY(stillOpen);
        QCOMPARE(dock->count(0x13), 1); // a refusal is a reply: no second try
        QCOMPARE(dock->count(0x12), 1);
    }
}

void tst_readeroptions::nothingToSignal() {
    bool stillOpen = false;
    WhenOpen<frmSetTime>([&](frmSetTime* d) {
        setChecks(d, false, false, false, true);
        d->findChild<QPushButton*>("cmdSendRealTime")->click();
        stillOpen = d->isVisible();
        d->findChild<QPushButton*>("cmdCancel")->click();
    });
    BoxRecorder boxes;
    window->Action("mnuToolsPipeOptions")->trigger();
    QCOMPARE(boxes.texts(),
             QStringList{
                 "You must select at least one of the reader options (Led, Buzzer or Vibration)"});
    QVERIFY(stillOpen);
    QVERIFY(dock->requests().isEmpty());
    QVERIFY(!QApplication::overrideCursor());
}

void tst_readeroptions::readerStillSending_data() {
    QTest::addColumn<bool>("cancel"); // the wait for the line
    QTest::newRow("sent once the reader is done") << false;
    QTest::newRow("wait cancelled") << true;
}

void tst_readeroptions::readerStillSending() {
    QFETCH(bool, cancel);
    // A download nobody listens to any more: the reader goes on sending and meanwhile
    // ignores requests; set-options would take any of its packets for the answer.
    dock->setLog(DockStation::MakeTouches(500, 1, {"12AB3F"}, QDate(2008, 5, 4)));
    dock->setPaced(true);
    dock->setBusyWhileSending(true);
    QVERIFY(window->Link().WriteFrame(BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, CmdDownload())));
    QTRY_VERIFY(dock->outputPending());
    WhenOpen<frmSetTime>([&](frmSetTime* d) {
        d->findChild<QPushButton*>("cmdSendRealTime")->click();
        if (d->isVisible())
            d->findChild<QPushButton*>("cmdCancel")->click();
    });
    QString said;
    WhenOpen<QProgressDialog>([&](QProgressDialog* busy) {
        said = busy->labelText();
        if (cancel)
            busy->cancel();
    });
    BoxRecorder boxes;
    window->Action("mnuToolsPipeOptions")->trigger();
    QCOMPARE(said, QString(LineBusyText()));
    QCOMPARE(boxes.boxes.size(), 1);
    if (cancel) {
        QCOMPARE(boxes.texts().first(), QString("Reader update failed.  Please try again."));
        QCOMPARE(dock->count(0x12) + dock->count(0x13), 0);
        return;
    }
    QVERIFY2(boxes.texts().first().startsWith("Reader update successful"),
             qPrintable(boxes.texts().first()));
    QCOMPARE(dock->count(0x12), 1);
    QCOMPARE(dock->count(0x13), 1);
    QCOMPARE(dock->optionByte(), 0x07);
}

void tst_readeroptions::cancelStores_data() {
    QTest::addColumn<QString>("storedDuration");
    QTest::addColumn<bool>("longShown");
    QTest::newRow("stored 1: short") << "1" << false;
    QTest::newRow("stored 0: long") << "0" << true;
    QTest::newRow("stored 2: long") << "2" << true;
}

void tst_readeroptions::cancelStores() {
    QFETCH(QString, storedDuration);
    QFETCH(bool, longShown);
    Settings::SaveSetting("ReaderSetting", "BuzzerDuration", storedDuration);
    Settings::SaveSetting("ReaderSetting", "Led", "0");
    bool shownLong = false, shownLed = true;
    WhenOpen<frmSetTime>([&](frmSetTime* d) {
        shownLong = d->findChild<QRadioButton*>("optTime_1")->isChecked();
        shownLed = d->findChild<QCheckBox*>("chkLED")->isChecked();
        d->findChild<QCheckBox*>("chkSound")->setChecked(false);
        d->findChild<QCheckBox*>("chkSendTimeOnUpload")->click(); // on at start: now off
        d->findChild<QPushButton*>("cmdCancel")->click();
    });
    BoxRecorder boxes;
    window->Action("mnuToolsPipeOptions")->trigger();
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(shownLong, longShown);
    QVERIFY(!shownLed);
    QCOMPARE(Settings::GetSetting("ReaderSetting", "Buzzer"), QString("0"));
    QCOMPARE(Settings::GetSetting("ReaderSetting", "Led"), QString("0"));
    QCOMPARE(Settings::GetSetting("ReaderSetting", "Vibration"), QString("1"));
    QCOMPARE(Settings::GetSetting("ReaderSetting", "BuzzerDuration"),
             QString(longShown ? "2" : "1"));
    QVERIFY(!gAutoSetTime);
    QCOMPARE(Settings::GetSetting("Properties", "AutoSetTime"), QString("False"));
    QVERIFY(dock->requests().isEmpty());
}

QTEST_MAIN(tst_readeroptions)
#include "tst_readeroptions.moc"
