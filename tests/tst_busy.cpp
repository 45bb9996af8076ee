// The main window while a link sequence runs or a modal dialog is open: every menu and toolbar
// entry is disabled and refused on every path, a port change reaches no other station, and
// closing the window waits for the sequence.
#include "AssistiveClient.h"
#include "DownloadLogs.h"
#include "DownloadPage.h"
#include "HelpViewer.h"
#include "Page.h"
#include "Settings.h"
#include "SimulatedDock.h"
#include "TestHome.h"
#include "cSerialLink.h"
#include "frmMDISetup.h"
#include "frmMain.h"
#include "frmMdiDownload.h"
#include "frmPrpComms.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mMainEntries.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// A fifth of the line's pauses and time-outs: the simulated station answers at once.
const cLinkTimings kTimings = cLinkTimings().Scaled(0.2);

QString modalClass() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? QString(modal->metaObject()->className()) : QString();
}

// What an entry could change or open, taken just before and after the entries are tried.
struct Snapshot {
    const Page* page = nullptr;
    bool portOpen = false;
    int port = 0;
    QByteArray settings;
    int helpShown = 0;
    bool windowShown = false;
    int boxes = 0, fileDialogs = 0;

    QStringList differences(const Snapshot& o) const {
        QStringList out;
        if (page != o.page)
            out << "page";
        if (portOpen != o.portOpen || port != o.port)
            out << "port";
        if (settings != o.settings)
            out << "settings";
        if (helpShown != o.helpShown)
            out << "help";
        if (windowShown != o.windowShown)
            out << "window";
        if (boxes != o.boxes)
            out << "box";
        if (fileDialogs != o.fileDialogs)
            out << "file dialog";
        return out;
    }
};

} // namespace

class tst_busy : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void entriesRefused_data();
    void entriesRefused();
    void portChangeInThePauseReachesNoOtherStation();
    void closingWaitsForTheSequence();

private:
    // A main window on its home page, connected to `dock` at the scaled timings.
    void dockWindow(SimulatedDock& dock);
    Snapshot snapshot() const;
    // Tries every entry on every path and notes what was enabled or did anything.
    void tryEveryEntry();

    std::unique_ptr<TestHome> home;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<BoxRecorder> boxes;
    std::unique_ptr<FileAnswers> files;
    QStringList enabledWhileBusy, effects, opened;
};

void tst_busy::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    gDocked = false;
    gReceiveEnabled = false;
    gAutoSetTime = true;
    boxes = std::make_unique<BoxRecorder>();
    files = std::make_unique<FileAnswers>(QStringList{});
    window = std::make_unique<frmMain>();
    window->SerialLink().setTimings(kTimings);
    window->setUserType(1);
    window->show();
    enabledWhileBusy.clear();
    effects.clear();
    opened.clear();
}

void tst_busy::cleanup() {
    window.reset();
    files.reset();
    boxes.reset();
    home.reset();
}

void tst_busy::dockWindow(SimulatedDock& dock) {
    window->GoHome();
    QVERIFY(gDocked);
    dock.clearJournal();
    boxes->boxes.clear();
}

Snapshot tst_busy::snapshot() const {
    Snapshot s;
    s.page = window->CurrentPage();
    s.portOpen = window->SerialLink().IsOpen();
    s.port = window->SerialLink().PortNumber();
    QFile file(Settings::FileName());
    if (file.open(QIODevice::ReadOnly))
        s.settings = file.readAll();
    for (QWidget* top : QApplication::topLevelWidgets())
        s.helpShown += qobject_cast<HelpViewer*>(top) && top->isVisible() ? 1 : 0;
    s.windowShown = window->isVisible();
    s.boxes = int(boxes->boxes.size());
    s.fileDialogs = int(files->dialogs.size());
    return s;
}

void tst_busy::tryEveryEntry() {
    // A modal window that a refused entry would have opened is noted and closed at once.
    const QString own = modalClass();
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modalClass() != own) {
            opened << modalClass();
            modal->close();
        }
    });
    closer.start(5);
    const Snapshot before = snapshot();
    const QStringList menus{"mnuFile", "mnuTools", "mnuHelp"};
    for (const QString& name : MainEntryNames()) {
        QAction* entry = window->Action(name);
        if (menus.contains(name))
            continue;
        if (entry->isVisible() && entry->isEnabled())
            enabledWhileBusy << name;
        pressAsAssistiveClient(entry);
        entry->trigger();
        emit entry->triggered(false); // as any path that reaches the handler
    }
    // The page operations called as they are.
    window->GoHome();
    window->GoOnline();
    window->GoReports();
    window->GoSetup();
    window->GoOptions();
    effects << snapshot().differences(before);
}

void tst_busy::entriesRefused_data() {
    QTest::addColumn<QString>("sequence");
    QTest::newRow("connecting") << "connecting";
    QTest::newRow("connecting, the Retry box") << "retry box";
    QTest::newRow("download window") << "download window";
    QTest::newRow("download, the pause after the store") << "pause";
    QTest::newRow("erasing the reader") << "erase";
    QTest::newRow("reader options and clock") << "options";
    QTest::newRow("firmware version") << "firmware";
    QTest::newRow("reading a reader ID") << "reader id";
    QTest::newRow("modal dialog: About") << "about";
    QTest::newRow("modal dialog: Com Options") << "com options";
}

// Each entry, pressed as an assistive client would, triggered, or its signal fired, opens
// nothing and changes nothing while the sequence runs; afterwards the entries are back.
void tst_busy::entriesRefused() {
    QFETCH(QString, sequence);
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(5, 1, {"12AB3F"}, kDay));
    if (sequence != "connecting" && sequence != "retry box")
        dockWindow(dock);
    if (sequence == "retry box") {
        dock.setSilent(true);
        boxes->answers = {Boxes::AnswerIgnore};
    }
    if (sequence == "erase")
        boxes->answers = {Boxes::AnswerYes};

    // When the sequence is under way, and which modal window is its own and is closed after.
    std::function<bool()> underWay;
    bool closeOwn = false;
    if (sequence == "connecting")
        underWay = [] { return modalClass() == "frmGoOnline"; };
    else if (sequence == "download window" || sequence == "firmware" || sequence == "reader id")
        underWay = [] { return modalClass() == "frmDownload"; };
    else if (sequence == "pause")
        underWay = [this] {
            auto* label = window->CurrentPage()->findChild<QLabel*>("lblMsg");
            return modalClass().isEmpty() && label && label->isVisible() &&
                   label->text().startsWith("Download Successful");
        };
    else if (sequence == "erase")
        underWay = [this] { return boxes->boxes.size() == 1 && modalClass().isEmpty(); };
    else {
        // A dialog of its own, closed once the entries were tried.
        const QString dialog = sequence == "options" ? "frmSetTime"
                               : sequence == "about" ? "frmAbout"
                                                     : "frmPrpComms";
        if (sequence == "options" || sequence == "about" || sequence == "com options") {
            underWay = [dialog] { return modalClass() == dialog; };
            closeOwn = true;
        }
    }

    bool tried = false;
    const auto attempt = [&] {
        if (tried)
            return;
        tried = true;
        tryEveryEntry();
        if (closeOwn)
            QApplication::activeModalWidget()->close();
    };
    if (sequence == "retry box")
        boxes->onBox = [&](const Boxes::Box&) { attempt(); };
    bool readClicked = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (underWay && underWay()) {
            attempt();
        } else if (modalClass() == "frmFirmwareVersion") {
            QApplication::activeModalWidget()->close();
        } else if (modalClass() == "frmAddReader") {
            QWidget* dialog = QApplication::activeModalWidget();
            if (tried)
                dialog->close();
            else if (!readClicked)
                QTimer::singleShot(0, dialog->findChild<QPushButton*>("cmdRead"),
                                   &QPushButton::click);
            readClicked = true;
        }
    });
    watch.start(5);

    if (sequence == "connecting" || sequence == "retry box") {
        window->GoHome();
    } else if (sequence == "reader id") {
        window->GoSetup();
        qobject_cast<frmMDISetup*>(window->CurrentPage())->AddReader();
    } else if (sequence == "download window" || sequence == "pause") {
        window->GoOnline();
        qobject_cast<frmMdiDownload*>(window->CurrentPage())->DownloadReader();
    } else {
        const QString entry = sequence == "erase"      ? "mnuToolsClearPipe"
                              : sequence == "options"  ? "mnuToolsPipeOptions"
                              : sequence == "firmware" ? "mnuToolsReaderFW"
                              : sequence == "about"    ? "mnuHelpAbout"
                                                       : "mnuViewOptions";
        window->Action(entry)->trigger();
    }
    watch.stop();
    QVERIFY(tried);
    QCOMPARE(enabledWhileBusy, QStringList());
    QCOMPARE(effects, QStringList());
    QCOMPARE(opened, QStringList());
    QVERIFY(window->isVisible());

    // Over, the window is usable again.
    QVERIFY(!window->Busy());
    QVERIFY(window->Action("mnuToolsLanguage")->isEnabled());
    QVERIFY(window->Action("mnuFileExit")->isEnabled());
    QVERIFY(window->Action("mnuHelpAbout")->isEnabled());
}

// Station B stands on COM3, station A on COM2. Com Options chosen in the pause after B's
// touches are stored, with COM2 picked should the dialog open: B is erased and its clock set,
// A hears nothing.
void tst_busy::portChangeInThePauseReachesNoOtherStation() {
    SimulatedDock stationA(2);
    SimulatedDock stationB(3);
    stationA.setLog(DockStation::MakeTouches(4, 1, {"00A1B2"}, kDay));
    stationB.setLog(DockStation::MakeTouches(5, 1, {"12AB3F"}, kDay));
    QVERIFY(Settings::SaveSetting("ComPort_Settings", "ComPort", "3"));
    dockWindow(stationB);
    QCOMPARE(window->SerialLink().PortNumber(), 3);
    stationA.clearJournal();

    bool dialogShown = false, pressed = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<frmPrpComms*>(QApplication::activeModalWidget())) {
            dialogShown = true;
            dialog->findChild<QComboBox*>("cboLocalPort")->setCurrentIndex(1); // COM2:
            dialog->findChild<QPushButton*>("cmdSetupOK")->click();
            return;
        }
        auto* label = window->CurrentPage()->findChild<QLabel*>("lblMsg");
        if (!pressed && label && label->isVisible() &&
            label->text().startsWith("Download Successful") && modalClass().isEmpty()) {
            pressed = true;
            QAction* comOptions = window->Action("mnuViewOptions");
            QVERIFY(!comOptions->isEnabled());
            QVERIFY(pressAsAssistiveClient(comOptions));
            comOptions->trigger();
            emit comOptions->triggered(false);
        }
    });
    watch.start(5);
    window->GoOnline();
    qobject_cast<frmMdiDownload*>(window->CurrentPage())->DownloadReader();
    watch.stop();

    QVERIFY(pressed);
    QVERIFY(!dialogShown);
    QVERIFY2(stationA.requests().isEmpty(), "station A was spoken to");
    QCOMPARE(eraseRequests(stationB), 1);
    QVERIFY(stationB.clock().set);
    QVERIFY(stationB.logSlots().isEmpty());
    QCOMPARE(stationA.logSlots(),
             DockStation::SlotsFromTouches(DockStation::MakeTouches(4, 1, {"00A1B2"}, kDay)));
    QCOMPARE(window->SerialLink().PortNumber(), 3);
    QCOMPARE(Settings::GetSetting("ComPort_Settings", "ComPort"), QString("3"));
    QVERIFY(window->CurrentPage()->findChild<QLabel*>("lblMsg")->text().contains(
        "Reader Memory erased"));
}

// Closing the window in the pause after the store: the erase and the clock still reach the
// reader, the database stays open for them, and the window closes once they are done.
void tst_busy::closingWaitsForTheSequence() {
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(5, 1, {"12AB3F"}, kDay));
    dockWindow(dock);
    bool closed = false;
    bool stillOpen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* label = window->CurrentPage()->findChild<QLabel*>("lblMsg");
        if (!closed && label && label->isVisible() &&
            label->text().startsWith("Download Successful") && modalClass().isEmpty()) {
            closed = true;
            window->close();
            stillOpen = window->isVisible() && gConn != nullptr;
        }
    });
    watch.start(5);
    window->GoOnline();
    qobject_cast<frmMdiDownload*>(window->CurrentPage())->DownloadReader();
    watch.stop();
    QVERIFY(closed);
    QVERIFY(stillOpen);
    QCOMPARE(eraseRequests(dock), 1);
    QVERIFY(dock.clock().set);
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(!gConn);
    QVERIFY(!Settings::GetSetting("Settings", "MainWidth").isEmpty()); // closed the usual way
}

QTEST_MAIN(tst_busy)
#include "tst_busy.moc"
