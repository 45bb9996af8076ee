// The main window: toolbar masks, menus by user type, page switching, geometry, language,
// help and company lines.
#include "AssistiveClient.h"
#include "Database.h"
#include "HelpViewer.h"
#include "Page.h"
#include "Settings.h"
#include "ShownWhole.h"
#include "TestHome.h"
#include "TestMain.h"
#include "TightFolder.h"
#include "Translator.h"
#include "frmAbout.h"
#include "frmCompany.h"
#include "frmMain.h"
#include "mCompany.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mMainEntries.h"
#include "mOperators.h"

#include <QAccessible>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <utility>

namespace {

// Row values of the int columns: the operators' numbers.
constexpr int kMaster = Operator::Master, kUser = Operator::User;

class RefusingPage : public Page {
public:
    bool refuse = true;
    int asked = 0;
    bool QueryClose() override {
        ++asked;
        return !refuse;
    }
};

QString states(frmMain& w, const QStringList& names) {
    QStringList out;
    for (const QString& name : names) {
        QAction* a = w.Action(name);
        out << QString("%1%2").arg(a->isVisible() ? "v" : "-").arg(a->isEnabled() ? "e" : "-");
    }
    return out.join(' ');
}

// What the master-only entries could change or open, taken before and after a try.
struct Traces {
    QByteArray settings;
    QString operators, company, page;
    int language = 0;
    bool operator==(const Traces& o) const {
        return settings == o.settings && operators == o.operators && company == o.company &&
               page == o.page && language == o.language;
    }
};

Traces traces(const frmMain& w) {
    Traces t;
    QFile file(Settings::FileName());
    if (file.open(QIODevice::ReadOnly))
        t.settings = file.readAll();
    for (const DbRow& r : gConn->Query("SELECT LoginName, Password FROM tblOperators ORDER BY 1"))
        t.operators += r.text("LoginName") + "=" + r.text("Password") + ";";
    for (int i = 1; i <= 4; ++i)
        t.company += gCompanyInfo[i] + ";";
    t.page = w.CurrentPage() ? w.CurrentPage()->metaObject()->className() : "";
    t.language = gLanguage;
    return t;
}

// Chooses a language in the language dialog once it is open.
void chooseLanguage(int number, bool* seen) {
    QTimer::singleShot(0, [number, seen] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog && dialog->objectName() == "frmSelectLanguage");
        auto* list = dialog->findChild<QListWidget*>("lstLanguages");
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toInt() == number)
                list->setCurrentRow(i);
        *seen = true;
        dialog->findChild<QPushButton*>("cmdOK")->click();
    });
}

} // namespace

class tst_mainwindow : public QObject {
    Q_OBJECT
private slots:
    void init() {
        home = std::make_unique<TestHome>();
        home->openGlobals();
        offline = std::make_unique<BoxRecorder>(); // answers the box of the port that does not open
        gDocked = false;
    }
    void cleanup() {
        offline.reset();
        home.reset();
    }
    void entryRules_data();
    void entryRules();
    void masks_data();
    void masks();
    void wrongMaskChangesNothing();
    void refusingPageStopsTheSwitch();
    void geometry_data();
    void geometry();
    void positionOffEveryScreen();
    void languageSwitchOnAnOpenWindow();
    void languageThatCannotBeShownResets();
    void qtDialogsSpeakTheLanguage();
    void homePage();
    void homePageFits_data();
    void homePageFits();
    void helpContents();
    void companyLines();
    void companyLinesShowWhole_data();
    void companyLinesShowWhole();
    void aboutTitleOnOneLine_data();
    void aboutTitleOnOneLine();
    void aboutBoxSpeaksGerman();
    void settingsThatCannotBeSaved_data();
    void settingsThatCannotBeSaved();
    void damagedSettingsFile_data();
    void damagedSettingsFile();
    void damagedSettingsFileThatCannotBeWritten();
    void plainUserIsRefused_data();
    void plainUserIsRefused();
    void textsSpeakOfWhatTheUserHas_data();
    void textsSpeakOfWhatTheUserHas();

private:
    std::unique_ptr<TestHome> home;
    std::unique_ptr<BoxRecorder> offline;
};

void tst_mainwindow::entryRules_data() {
    QTest::addColumn<int>("userType");
    QTest::addColumn<bool>("docked");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("mask");
    // Shown and enabled ("ve", "v-", "--"), by group: the toolbar; the File menu; the Tools menu
    // with its entries and submenu; the Help menu.
    QTest::addColumn<QString>("toolbar");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("tools");
    QTest::addColumn<QString>("help");
    const QString allTools = "ve ve ve ve ve ve ve ve ve ve",
                  noTools = "-- -- -- -- -- -- -- -- -- --";
    QTest::newRow("master, docked, home") << 1 << true << false << "0111"
                                          << "v- ve ve ve"
                                          << "ve ve ve ve ve" << allTools << "ve ve ve";
    QTest::newRow("master, docked, download page") << 1 << true << false << "1011"
                                                   << "ve v- ve ve"
                                                   << "ve ve ve ve ve" << allTools << "ve ve ve";
    // No station: Home stays the way to connect again, the reader entries wait for one.
    QTest::newRow("master, not docked, home") << 1 << false << false << "0111"
                                              << "ve v- ve ve"
                                              << "ve ve ve ve ve"
                                              << "ve v- v- ve ve ve ve ve ve ve"
                                              << "ve ve ve";
    QTest::newRow("master, not docked, setup page") << 1 << false << false << "1110"
                                                    << "ve v- ve v-"
                                                    << "ve ve ve ve ve"
                                                    << "ve v- v- ve ve ve ve ve ve ve"
                                                    << "ve ve ve";
    QTest::newRow("plain user, docked, home") << 2 << true << false << "0111"
                                              << "v- ve ve --"
                                              << "ve v- v- v- ve" << noTools << "ve ve ve";
    QTest::newRow("plain user, not docked, reports") << 2 << false << false << "1101"
                                                     << "ve v- v- --"
                                                     << "ve v- v- v- ve" << noTools << "ve ve ve";
    QTest::newRow("nobody logged in yet") << 0 << false << false << "1111"
                                          << "ve v- ve --"
                                          << "ve v- v- v- ve" << noTools << "ve ve ve";
    // Busy: every entry refused, Exit too; the menus still open to show it.
    QTest::newRow("master, docked, busy") << 1 << true << true << "1011"
                                          << "v- v- v- v-"
                                          << "ve v- v- v- v-"
                                          << "ve v- v- v- v- v- v- v- v- v-"
                                          << "ve v- v-";
    QTest::newRow("master, not docked, busy") << 1 << false << true << "0111"
                                              << "v- v- v- v-"
                                              << "ve v- v- v- v-"
                                              << "ve v- v- v- v- v- v- v- v- v-"
                                              << "ve v- v-";
    QTest::newRow("plain user, busy") << 2 << true << true << "0111"
                                      << "v- v- v- --"
                                      << "ve v- v- v- v-" << noTools << "ve v- v-";
    QTest::newRow("a short mask enables no button past its end")
        << 1 << true << false << "01"
        << "v- ve v- v-"
        << "ve ve ve ve ve" << allTools << "ve ve ve";
}

// The one rule of every entry, without a window.
void tst_mainwindow::entryRules() {
    QFETCH(int, userType);
    QFETCH(bool, docked);
    QFETCH(bool, busy);
    QFETCH(QString, mask);
    QFETCH(QString, toolbar);
    QFETCH(QString, file);
    QFETCH(QString, tools);
    QFETCH(QString, help);
    const MainEntryInputs in{userType, docked, busy, mask};
    const auto states = [&](const QStringList& names) {
        QStringList out;
        for (const QString& name : names) {
            const MainEntryState s = MainEntry(name, in);
            out << QString("%1%2").arg(s.visible ? "v" : "-").arg(s.enabled ? "e" : "-");
        }
        return out.join(' ');
    };
    const QStringList toolbarNames{"home", "download", "reports", "setup"};
    const QStringList fileNames{"mnuFile", "mnuFileArchive", "mnuFileBackup", "mnuFileRestore",
                                "mnuFileExit"};
    const QStringList toolNames{"mnuTools",         "mnuToolsPipeOptions", "mnuToolsClearPipe",
                                "mnuToolsReaderFW", "mnuViewOptions",      "mnuUserMaintenance",
                                "mnuUMAdmin",       "mnuUMUser",           "mnuToolCompany",
                                "mnuToolsLanguage"};
    const QStringList helpNames{"mnuHelp", "mnuHelpContents", "mnuHelpAbout"};
    QCOMPARE(states(toolbarNames), toolbar);
    QCOMPARE(states(fileNames), file);
    QCOMPARE(states(toolNames), tools);
    QCOMPARE(states(helpNames), help);
    // Every entry the window builds is one of these, and has its caption.
    QCOMPARE(MainEntryNames(), toolbarNames + fileNames + toolNames + helpNames);
    for (const QString& name : MainEntryNames())
        QVERIFY2(!MainEntryCaption(name).isEmpty(), qPrintable(name));
}

void tst_mainwindow::masks_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("userType");
    QTest::addColumn<bool>("docked");
    QTest::addColumn<QString>("buttons"); // home download reports setup
    QTest::addColumn<QString>("menus");   // Tools, User Maintenance, Company Info, Language
    // An entry hidden from the plain user is disabled as well: hidden alone, it still runs.
    const QString masterMenus = "ve ve ve ve", userMenus = "-- -- -- --";
    QTest::newRow("home, master, docked")
        << "0111" << kMaster << true << "v- ve ve ve" << masterMenus;
    // Home connects again whenever no station answers: usable on the home page as well.
    QTest::newRow("home, master, not docked")
        << "0111" << kMaster << false << "ve v- ve ve" << masterMenus;
    QTest::newRow("home, user, not docked")
        << "0111" << kUser << false << "ve v- ve --" << userMenus;
    QTest::newRow("download, master, docked")
        << "1011" << kMaster << true << "ve v- ve ve" << masterMenus;
    QTest::newRow("reports, master, docked")
        << "1101" << kMaster << true << "ve ve v- ve" << masterMenus;
    QTest::newRow("setup, master, not docked")
        << "1110" << kMaster << false << "ve v- ve v-" << masterMenus;
    QTest::newRow("home, user, docked") << "0111" << kUser << true << "v- ve ve --" << userMenus;
    QTest::newRow("reports, user, not docked")
        << "1101" << kUser << false << "ve v- v- --" << userMenus;
    QTest::newRow("blanks around the mask")
        << " 1101 " << kMaster << true << "ve ve v- ve" << masterMenus;
}

void tst_mainwindow::masks() {
    QFETCH(QString, mask);
    QFETCH(int, userType);
    QFETCH(bool, docked);
    QFETCH(QString, buttons);
    QFETCH(QString, menus);
    frmMain w;
    w.setUserType(userType);
    gDocked = docked;
    QString m = mask;
    w.NavigateToolbarButtons(m);
    QCOMPARE(m, mask.trimmed()); // the caller's mask is trimmed
    QCOMPARE(states(w, {"home", "download", "reports", "setup"}), buttons);
    QCOMPARE(states(w, {"mnuTools", "mnuUserMaintenance", "mnuToolCompany", "mnuToolsLanguage"}),
             menus);
    // The File entries stay visible to everyone; only the master user may use them.
    for (const char* name : {"mnuFileArchive", "mnuFileBackup", "mnuFileRestore"}) {
        QVERIFY(w.Action(name)->isVisible());
        QCOMPARE(w.Action(name)->isEnabled(), userType == Operator::Master);
    }
    QVERIFY(w.Action("mnuFileExit")->isEnabled());
}

void tst_mainwindow::wrongMaskChangesNothing() {
    frmMain w;
    w.setUserType(1);
    gDocked = true;
    w.NavigateToolbarButtons(QString("1101"));
    w.NavigateToolbarButtons(QString("011"));
    QCOMPARE(states(w, {"home", "download", "reports", "setup"}), QString("ve ve v- ve"));
    QVERIFY(home->errorLog().contains("Error 10 in NavigateToolbarButtons of Form frmMain\t("));
}

void tst_mainwindow::refusingPageStopsTheSwitch() {
    frmMain w;
    w.setUserType(1);
    w.show();
    w.GoHome();
    auto owned = std::make_unique<RefusingPage>();
    RefusingPage* busy = owned.get();
    QVERIFY(w.ShowPage(std::move(owned)));
    w.GoReports();
    w.GoHome();
    QCOMPARE(w.CurrentPage(), busy);
    QCOMPARE(busy->asked, 2);
    busy->refuse = false;
    w.GoReports();
    QCOMPARE(QString(w.CurrentPage()->metaObject()->className()), QString("frmMdiReports"));
    w.GoSetup();
    QCOMPARE(QString(w.CurrentPage()->metaObject()->className()), QString("frmMDISetup"));
    // The setup page titles itself by its tab.
    QCOMPARE(w.findChild<QLabel*>("lblTitle")->text(), QString("  Sites: Setup"));
}

void tst_mainwindow::geometry_data() {
    QTest::addColumn<QString>("state");
    QTest::newRow("normal") << "normal";
    QTest::newRow("maximized") << "maximized";
    QTest::newRow("minimized") << "minimized";
}

void tst_mainwindow::geometry() {
    QFETCH(QString, state);
    Settings::SaveSetting("Settings", "MainLeft", "1500");
    Settings::SaveSetting("Settings", "MainTop", "750");
    QRect frame;
    {
        frmMain w;
        w.show();
        QCOMPARE(w.pos(), QPoint(100, 50));
        QCOMPARE(w.size(), QSize(641, 446)); // 9615 x 6690 twips
        w.move(30, 45);
        w.resize(700, 500);
        if (state == "maximized")
            w.showMaximized();
        else if (state == "minimized")
            w.showMinimized();
        QApplication::processEvents();
        frame = w.frameGeometry();
        w.close();
    }
    const QStringList saved{Settings::GetSetting("Settings", "MainLeft"),
                            Settings::GetSetting("Settings", "MainTop"),
                            Settings::GetSetting("Settings", "MainWidth"),
                            Settings::GetSetting("Settings", "MainHeight"),
                            Settings::GetSetting("Settings", "Maximized")};
    if (state == "normal")
        QCOMPARE(saved,
                 (QStringList{QString::number(frame.x() * 15), QString::number(frame.y() * 15),
                              QString::number(frame.width() * 15),
                              QString::number(frame.height() * 15), "False"}));
    else if (state == "maximized")
        QCOMPARE(saved, (QStringList{"0", "0", "9615", "6690", "True"}));
    else
        QCOMPARE(saved, (QStringList{"1500", "750", "", "", "False"}));

    frmMain again;
    again.show();
    QApplication::processEvents();
    QCOMPARE(again.isMaximized(), state == "maximized");
    if (state == "normal")
        QCOMPARE(again.frameGeometry(), frame); // the frame comes back where and as large as it was
    // Never smaller than 8000 x 6585 twips.
    again.showNormal();
    again.resize(100, 100);
    QCOMPARE(again.size(), QSize(533, 439));
}

void tst_mainwindow::positionOffEveryScreen() {
    Settings::SaveSetting("Settings", "MainLeft", "900000"); // a screen that is no longer there
    Settings::SaveSetting("Settings", "MainTop", "-45000");
    frmMain w;
    w.show();
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(
        w.frameGeometry().topLeft()));
}

void tst_mainwindow::languageSwitchOnAnOpenWindow() {
    frmMain w;
    w.setUserType(1);
    w.show();
    w.GoHome();
    bool seen = false;
    chooseLanguage(2, &seen);
    w.Action("mnuToolsLanguage")->trigger();
    QVERIFY(seen);
    QCOMPARE(gLanguage, 2);
    QCOMPARE(Settings::GetSetting("Properties", "Language"), QString("2"));
    QCOMPARE(w.menuBar()->actions().first()->text(), QString("&Datei"));
    QCOMPARE(w.Action("home")->text(), QString("Start"));
    QCOMPARE(w.findChild<QLabel*>("lblTitle")->text(), QString("  Start"));
    QCOMPARE(w.StatusText(1), QString("Dockingstation : Nicht erkannt"));
    QCOMPARE(w.CurrentPage()->findChild<QLabel*>("lblVersionMsg")->text(), QString("Version 1.00"));
    QCOMPARE(w.CurrentPage()->findChild<QLabel*>("lblMainTitle")->text(),
             QString("TK-22 Trevano Berichte"));

    chooseLanguage(1, &seen);
    w.Action("mnuToolsLanguage")->trigger();
    QCOMPARE(w.Action("mnuFileExit")->text(), QString("E&xit"));
    QCOMPARE(w.Action("reports")->text(), QString("Reports"));
}

// Qt's own dialogs (file, print) take their texts from Qt's translations of the language.
void tst_mainwindow::qtDialogsSpeakTheLanguage() {
    DictionaryQtTranslator forms(*gTranslator); // as the program installs it
    QCoreApplication::installTranslator(&forms);
    const auto lookIn = [] {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        return dialog.findChild<QLabel*>("lookInLabel")->text();
    };
    QCOMPARE(lookIn(), QString("Look in:"));
    frmMain w;
    w.setUserType(1);
    w.show();
    bool seen = false;
    chooseLanguage(2, &seen);
    w.Action("mnuToolsLanguage")->trigger();
    QVERIFY(seen);
    QCOMPARE(lookIn(), QString("Suchen in:"));
    QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QString("Drucken"));

    chooseLanguage(1, &seen);
    w.Action("mnuToolsLanguage")->trigger();
    QCOMPARE(lookIn(), QString("Look in:"));
    QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QString("Print"));
}

void tst_mainwindow::languageThatCannotBeShownResets() {
    frmMain w;
    w.setUserType(1);
    w.show();
    BoxRecorder boxes;
    QVERIFY(QFile::remove(home->file("QX7.MLD"))); // German is listed but can no longer be read
    bool seen = false;
    chooseLanguage(2, &seen);
    w.Action("mnuToolsLanguage")->trigger();
    QCOMPARE(boxes.texts().value(0),
             QString("German could not be displayed\r\nResetting to default language..."));
    QCOMPARE(gLanguage, 0);
    QCOMPARE(Settings::GetSetting("Properties", "Language"), QString("0"));
    QCOMPARE(w.Action("home")->text(), QString("Home"));
}

void tst_mainwindow::homePage() {
    QVERIFY(QFile::remove(home->file("contact.bmp")));
    gReceiveEnabled = true;
    Settings::SaveSetting("ComPort_Settings", "ComPort", "9"); // outside 1 to 8
    frmMain w;
    w.setUserType(2);
    w.show();
    w.GoHome();
    QVERIFY(!gReceiveEnabled); // the home page stops the serial receive path
    Page* page = w.CurrentPage();
    QCOMPARE(page->findChild<QLabel*>("lblMainTitle")->text(), QString("TK-22 Trevano Reports"));
    QCOMPARE(page->findChild<QLabel*>("lblCopyright")->text(),
             QString("Copyright (C) 2026 Trevano Lite"));
    QVERIFY(page->findChild<QLabel*>("imgContact")->pixmap().isNull());
    QCOMPARE(home->errorLog().count("Form_Load of Form frmMdiMenu"), 1);
    QCOMPARE(Settings::GetSetting("ComPort_Settings", "ComPort"), QString("1"));
}

void tst_mainwindow::homePageFits_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("smallest");
    QTest::newRow("English, default size") << 0 << false;
    QTest::newRow("German, default size") << 2 << false;
    QTest::newRow("German, smallest size") << 2 << true;
}

// Every text of the home page shows whole and its pictures do not overlap anything.
void tst_mainwindow::homePageFits() {
    QFETCH(int, language);
    QFETCH(bool, smallest);
    gTranslator->language = language;
    gTranslator->Open();
    frmMain w;
    w.setUserType(1);
    w.show();
    w.GoHome();
    if (smallest)
        w.resize(w.minimumSize());
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Page* page = w.CurrentPage();
    // The layouts have settled once a pass of the event loop moves no label any more.
    const auto places = [page] {
        QVector<QRect> all;
        for (const QLabel* label : page->findChildren<QLabel*>())
            all << QRect(label->mapTo(page, QPoint(0, 0)), label->size());
        return all;
    };
    QVector<QRect> placesBefore;
    QTRY_VERIFY([&] {
        const QVector<QRect> now = places();
        return std::exchange(placesBefore, now) == now;
    }());
    QVERIFY(page->findChild<QLabel*>("imgContact")->pixmap().width() > 0);
    QVector<QRect> taken;
    for (const char* name : {"lblMainTitle", "imgIcon", "imgContact", "lblContactNote",
                             "lblVersionMsg", "lblCopyright"}) {
        auto* label = page->findChild<QLabel*>(name);
        QVERIFY(label && label->isVisible());
        const QRect r(label->mapTo(page, QPoint(0, 0)), label->size());
        QVERIFY2(page->rect().contains(r), name);
        const QSize needed = label->wordWrap() ? QSize(label->minimumSizeHint().width(),
                                                       label->heightForWidth(label->width()))
                                               : label->sizeHint();
        QVERIFY2(label->width() >= needed.width() && label->height() >= needed.height(),
                 qPrintable(QString("%1 %2x%3 needs %4x%5")
                                .arg(name)
                                .arg(label->width())
                                .arg(label->height())
                                .arg(needed.width())
                                .arg(needed.height())));
        // What each shows, text or picture, overlaps nothing else.
        const QSize content = label->pixmap().isNull()
                                  ? needed.boundedTo(label->size())
                                  : label->pixmap().deviceIndependentSize().toSize();
        const QRect shown =
            QStyle::alignedRect(label->layoutDirection(), label->alignment(), content, r);
        for (const QRect& other : taken)
            QVERIFY2(!shown.intersects(other), name);
        taken << shown;
    }
}

void tst_mainwindow::helpContents() {
    frmMain w;
    w.show();
    BoxRecorder boxes;
    gHelpFile = home->file("QX7_ENG.html");
    w.Action("mnuHelpContents")->trigger();
    QVERIFY(boxes.boxes.isEmpty());
    HelpViewer* viewer = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<HelpViewer*>(top))
            viewer = v;
    QVERIFY(viewer && viewer->isVisible());
    QVERIFY(viewer->browser()->toPlainText().contains("Starting the program and logging in"));

    gHelpFile.clear();
    w.Action("mnuHelpContents")->trigger();
    QCOMPARE(
        boxes.texts(),
        QStringList{
            "Unable to display Help Contents. There is no Help associated with this project."});
    QCOMPARE(boxes.boxes.first().title, w.windowTitle());
}

void tst_mainwindow::companyLines() {
    const QString sixty = QString(60, 'x');
    const QString pair = QString::fromUtf8("\xF0\x9F\x8F\xA2"); // one character, two units
    Settings::SaveSetting("Properties", "CompanyInfo1", sixty);
    Settings::SaveSetting("Properties", "CompanyInfo4", QString(49, 'y') + pair + pair);
    Settings::SaveSetting("Properties", "CompanyInfo2", "  ACME, Inc.  ");
    LoadCompanyInfo();
    QCOMPARE(gCompanyInfo[1], QString(50, 'x'));
    QCOMPARE(gCompanyInfo[4], QString(49, 'y') + pair); // 50 characters, the pair whole
    QCOMPARE(Settings::GetSetting("Properties", "CompanyInfo1"), sixty); // the stored value stays
    frmCompany dialog;
    auto* line1 = dialog.findChild<QLineEdit*>("txtLine_0");
    auto* line3 = dialog.findChild<QLineEdit*>("txtLine_2");
    line1->setText(QString(48, 'z') + pair + pair + pair);
    QCOMPARE(line1->text(), QString(48, 'z') + pair + pair);
    dialog.findChild<QLineEdit*>("txtLine_3")->setText(QString());
    QCOMPARE(dialog.findChild<QLineEdit*>("txtLine_1")->text(), QString("  ACME, Inc.  "));
    line3->setText("Night patrol, \"North\" gate");
    dialog.findChild<QPushButton*>("cmdOk")->click();
    QCOMPARE(gCompanyInfo[3], QString("Night patrol, \"North\" gate"));
    QCOMPARE(Settings::GetSetting("Properties", "CompanyInfo1"), QString(48, 'z') + pair + pair);
    QCOMPARE(Settings::GetSetting("Properties", "CompanyInfo2"), QString("  ACME, Inc.  "));
    QCOMPARE(Settings::GetSetting("Properties", "CompanyInfo3"),
             QString("Night patrol, \"North\" gate"));
    QCOMPARE(Settings::GetSetting("Properties", "CompanyInfo4"), QString());
}

void tst_mainwindow::companyLinesShowWhole_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("line");
    const QString lines[] = {
        QString::fromUtf8("Sicherheitsdienst Müller & Söhne GmbH, Hauptstr. 1"),
        QString::fromUtf8("Wachschutz Nord GmbH & Co. KG, Industriestraße 147"),
        QString::fromUtf8("Notruf 0800 123 45 67, Zentrale: 040 987 654 32 10"),
        QString::fromUtf8("Objektschutz · Revierdienst · Alarmverfolgung 24/7")};
    for (const QString& line : lines) {
        QTest::addRow("English, %s", qPrintable(line.left(12))) << 0 << line;
        QTest::addRow("German, %s", qPrintable(line.left(12))) << 2 << line;
    }
}

// A company line at its length limit shows whole in every box at the dialog's first size, and
// the dialog still fits the smallest screen.
void tst_mainwindow::companyLinesShowWhole() {
    QFETCH(int, language);
    QFETCH(QString, line);
    QCOMPARE(line.size(), kCompanyLineLength);
    gTranslator->language = language;
    gTranslator->Open();
    frmCompany dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (int i = 0; i < 4; ++i) {
        auto* box = dialog.findChild<QLineEdit*>(QString("txtLine_%1").arg(i));
        QVERIFY2(ShowsWhole(box, line),
                 qPrintable(QString("box %1, %2 wide").arg(i).arg(box->width())));
    }
    QVERIFY(dialog.frameGeometry().width() <= 1024 && dialog.frameGeometry().height() <= 768);
}

void tst_mainwindow::aboutTitleOnOneLine_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 0;
    QTest::newRow("German") << 2;
}

void tst_mainwindow::aboutTitleOnOneLine() {
    QFETCH(int, language);
    gTranslator->language = language;
    gTranslator->Open();
    frmAbout about;
    about.Populate();
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    auto* title = about.findChild<QLabel*>("lblTitle");
    const QFontMetrics metrics(title->font());
    QVERIFY(!title->text().isEmpty());
    QVERIFY2(title->width() >= metrics.horizontalAdvance(title->text()),
             qPrintable(QString("%1 wide for %2").arg(title->width()).arg(title->text())));
    const int height = title->wordWrap() ? title->heightForWidth(title->width()) : title->height();
    QVERIFY2(height < 2 * metrics.lineSpacing(), qPrintable(QString::number(height)));
    QVERIFY(about.frameGeometry().width() <= 1024);
}

// Every line the About box shows in German is German: where it reads as in English, the
// dictionary says the German is the same (a number may follow), or it is the company's name.
void tst_mainwindow::aboutBoxSpeaksGerman() {
    const auto shown = [](int language) {
        gTranslator->language = language;
        gTranslator->Open();
        frmAbout about;
        about.Populate();
        QStringList lines{about.windowTitle()};
        for (QLabel* label : about.findChildren<QLabel*>())
            lines << label->text().split(QRegularExpression("\\r?\\n"));
        for (QPushButton* button : about.findChildren<QPushButton*>())
            lines << button->text();
        return lines;
    };
    const QStringList english = shown(0);
    const QStringList german = shown(2);
    QCOMPARE(german.size(), english.size());
    const QStringList names{"Trevano Lite"};
    static const QRegularExpression number("[\\s\\d.]+$");
    for (int i = 0; i < german.size(); ++i) {
        const QString line = german.at(i).trimmed();
        if (line.isEmpty() || line != english.at(i).trimmed() || names.contains(line))
            continue;
        const QString text = QString(line).remove(number);
        QVERIFY2(gTranslator->HasTranslation(text) && gTranslator->Translate(text) == text,
                 qPrintable("English left: " + line));
    }
}

void tst_mainwindow::settingsThatCannotBeSaved_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("read-only folder") << true;
    QTest::newRow("full disk") << false;
}

// The company lines that cannot be saved: one message and one log line with the reason, the
// lines still used until the program ends.
void tst_mainwindow::settingsThatCannotBeSaved() {
    QFETCH(bool, readOnly);
    const QString folder = QFileInfo(Settings::FileName()).absolutePath();
    TightFolder disk(folder, readOnly ? TightFolder::ReadOnly : TightFolder::Full, 64 * 1024);
    if (!disk.usable())
        QSKIP(qPrintable(disk.how));
    // A file-size limit is no full disk to QSettings: it writes what fits and reports success.
    if (disk.sizeLimited() || (!readOnly && !disk.mounted()))
        QSKIP(qPrintable("a full disk needs a tmpfs here; " + disk.how));
    QVERIFY(
        Settings::SaveSetting("Properties", "CompanyInfo2", "saved")); // ends an earlier failure
    disk.close();
    BoxRecorder boxes;
    {
        frmCompany dialog;
        dialog.show();
        dialog.findChild<QLineEdit*>("txtLine_0")->setText("Night Watch Ltd");
        dialog.findChild<QPushButton*>("cmdOk")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(gCompanyInfo[1], QString("Night Watch Ltd"));
    QCOMPARE(boxes.texts(),
             QStringList{"The settings could not be saved in " + Settings::FileName() +
                         ". Changes of the settings are lost when the program ends.\r\n" +
                         disk.reason});
    QCOMPARE(boxes.boxes.first().icon, Boxes::Icon::Warning);
    QCOMPARE(home->errorLog().count("\tCannot save the setting "), 1);
    QVERIFY(home->errorLog().contains("\tCannot save the setting Properties/CompanyInfo1 to " +
                                      Settings::FileName() + ": " + disk.reason + "\n"));
}

void tst_mainwindow::damagedSettingsFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kept"); // a value of the damaged file that could still be read
    QTest::newRow("NUL bytes of a power loss") << QByteArray(300, '\0') << "";
    QTest::newRow("NUL bytes after sound lines")
        << QByteArray("[Properties]\nLanguage=2\n[Info]\nLastLogin=2\n") + QByteArray(64, '\0')
        << "Properties/Language=2";
    QTest::newRow("junk") << QByteArray("\x89PNG\r\n\x1a\n\xff\xfe junk ]]] [[[ ====\n") << "";
    QTest::newRow("unclosed section")
        << QByteArray("[Properties]\nLanguage=2\n[Info\nLastLogin=1\n") << "Properties/Language=2";
}

// A settings file that cannot be read is said to be damaged, once, and written anew by the
// save (the login's is the first): no report of a failed save, the damaged file kept beside.
void tst_mainwindow::damagedSettingsFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kept);
    const QString file = Settings::FileName();
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    {
        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(bytes);
    }
    BoxRecorder boxes;
    QVERIFY(Settings::SaveSetting("Info", "LastLogin", "2"));
    QCOMPARE(boxes.texts(),
             QStringList{"The settings file " + file +
                         " was damaged and could not be read. It has been written anew: settings "
                         "that could not be read are back at their defaults.\r\nThe damaged file "
                         "was kept as " +
                         file + ".damaged."});
    QCOMPARE(home->errorLog().count("\tThe settings file " + file + " could not be read ("), 1);
    QVERIFY(!home->errorLog().contains("Cannot save the setting"));
    QFile copy(file + ".damaged");
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), bytes);

    // Read afresh from the disk, the file is sound and holds the saved value.
    QFile rewritten(file);
    QVERIFY(rewritten.open(QIODevice::ReadOnly));
    const QByteArray now = rewritten.readAll();
    QCOMPARE(Settings::DamageIn(now), QString());
    const QString fresh = home->file("fresh.ini");
    QVERIFY(QFile::copy(file, fresh));
    QSettings reread(fresh, QSettings::IniFormat);
    QCOMPARE(reread.value("Info/LastLogin").toString(), QString("2"));
    QCOMPARE(reread.status(), QSettings::NoError);
    if (!kept.isEmpty())
        QCOMPARE(reread.value(kept.section('=', 0, 0)).toString(), kept.section('=', 1));

    // Sound now: the next saves say nothing.
    QVERIFY(Settings::SaveSetting("ComPort_Settings", "ComPort", "1"));
    QCOMPARE(boxes.boxes.size(), 1);
}

// A damaged file that cannot be written anew is a failed save and reported as one.
void tst_mainwindow::damagedSettingsFileThatCannotBeWritten() {
    const QString file = Settings::FileName();
    const QString folder = QFileInfo(file).absolutePath();
    TightFolder disk(folder, TightFolder::ReadOnly);
    if (!disk.usable())
        QSKIP(qPrintable(disk.how));
    const QByteArray bytes(300, '\0');
    {
        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(bytes);
    }
    disk.close();
    BoxRecorder boxes;
    QVERIFY(!Settings::SaveSetting("Info", "LastLogin", "2"));
    QCOMPARE(boxes.texts(), QStringList{"The settings could not be saved in " + file +
                                        ". Changes of the settings are lost when the program "
                                        "ends.\r\n" +
                                        disk.reason});
    QVERIFY(!home->errorLog().contains("could not be read"));
    QFile still(file);
    QVERIFY(still.open(QIODevice::ReadOnly));
    QCOMPARE(still.readAll(), bytes);
}

void tst_mainwindow::plainUserIsRefused_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("shown"); // visible, though disabled, to the plain user
    QTest::newRow("setup page") << "setup" << false;
    QTest::newRow("master's password") << "mnuUMAdmin" << false;
    QTest::newRow("user's password") << "mnuUMUser" << false;
    QTest::newRow("company lines") << "mnuToolCompany" << false;
    QTest::newRow("com options") << "mnuViewOptions" << false;
    QTest::newRow("language") << "mnuToolsLanguage" << false;
    QTest::newRow("reader options") << "mnuToolsPipeOptions" << false;
    QTest::newRow("erase reader") << "mnuToolsClearPipe" << false;
    QTest::newRow("firmware version") << "mnuToolsReaderFW" << false;
    QTest::newRow("archive") << "mnuFileArchive" << true;
    QTest::newRow("backup") << "mnuFileBackup" << true;
    QTest::newRow("restore") << "mnuFileRestore" << true;
}

// Each master-only entry, for the plain user with a reader docked: disabled, and pressed as an
// assistive client would, triggered, or its handler reached directly, it opens nothing and
// changes nothing. The master user reaches the same entry by the same way.
void tst_mainwindow::plainUserIsRefused() {
    QFETCH(QString, action);
    QFETCH(bool, shown);
    gDocked = true;
    Settings::SaveSetting("Properties", "CompanyInfo1", "Night Watch Ltd");
    frmMain w;
    w.setUserType(2);
    w.show();
    w.NavigateToolbarButtons(QString("0111"));
    QAction* entry = w.Action(action);
    QVERIFY(entry);
    QVERIFY(!entry->isEnabled());
    QCOMPARE(entry->isVisible(), shown);

    // Every modal window that shows is noted and closed; for the master user only the entry's
    // own, so that the connection attempt after it runs its course.
    QStringList opened;
    bool closeAll = true;
    int looks = 0;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, [&] {
        ++looks;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && (closeAll || opened.isEmpty())) {
            opened << modal->objectName();
            modal->close();
        }
    });
    watcher.start(10);
    BoxRecorder boxes;
    FileAnswers files({});
    const Traces before = traces(w);
    QVERIFY(pressAsAssistiveClient(entry));
    entry->trigger();
    emit entry->triggered(false); // as any path that reaches the handler
    // Whatever the handler queued runs before this marker, and the watcher looks twice more
    // after it: a window opened on the way would be noted.
    int looksAtMarker = -1;
    QMetaObject::invokeMethod(
        &w, [&] { looksAtMarker = looks; }, Qt::QueuedConnection);
    QTRY_VERIFY(looksAtMarker >= 0 && looks >= looksAtMarker + 2);
    QCOMPARE(opened, QStringList());
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(files.dialogs.size(), 0);
    QVERIFY(traces(w) == before);

    // The master user gets through the same way: the refusal above is the user type's.
    closeAll = false;
    boxes.answers = {Boxes::AnswerNo}; // "Are you sure you want to clear the reader?"
    w.setUserType(1);
    w.NavigateToolbarButtons(QString("0111"));
    QVERIFY(entry->isEnabled() && entry->isVisible());
    QVERIFY(pressAsAssistiveClient(entry));
    QTRY_VERIFY(!opened.isEmpty() || !boxes.boxes.isEmpty() || !files.dialogs.isEmpty() ||
                !(traces(w) == before));
    watcher.stop();
}

void tst_mainwindow::textsSpeakOfWhatTheUserHas_data() {
    QTest::addColumn<int>("userType");
    QTest::addColumn<int>("language");
    QTest::newRow("master user, English") << 1 << 0;
    QTest::newRow("plain user, English") << 2 << 0;
    QTest::newRow("master user, German") << 1 << 2;
    QTest::newRow("plain user, German") << 2 << 2;
}

// The home page's note names menu paths ("Help > Contents") and the status bar a toolbar button
// to connect again: each must be there, shown to this user, in his language.
void tst_mainwindow::textsSpeakOfWhatTheUserHas() {
    QFETCH(int, userType);
    QFETCH(int, language);
    gTranslator->language = language;
    gTranslator->Open();
    frmMain w;
    w.setUserType(userType);
    w.show();
    w.GoHome(); // no station: the box of the port that does not open, then the hint
    const auto plain = [](QString text) { return text.remove('&').trimmed(); };

    const QString note = w.CurrentPage()->findChild<QLabel*>("lblContactNote")->text();
    const QRegularExpression path("(\\w+) > (\\w+(?: [A-Z]\\w+)?)");
    int paths = 0;
    for (auto it = path.globalMatch(note); it.hasNext(); ++paths) {
        const QRegularExpressionMatch m = it.next();
        QAction* found = nullptr;
        for (QAction* menu : w.menuBar()->actions())
            if (menu->isVisible() && plain(menu->text()) == m.captured(1) && menu->menu())
                for (QAction* entry : menu->menu()->actions())
                    if (entry->isVisible() && plain(entry->text()) == m.captured(2))
                        found = entry;
        QVERIFY2(found, qPrintable(m.captured(0) + " in: " + note));
    }
    QVERIFY2(paths > 0, qPrintable(note));

    const QString hint = w.StatusText(2);
    QVERIFY(!hint.isEmpty());
    bool named = false;
    for (QAction* button : w.findChild<QToolBar*>("tbrMain")->actions())
        named = named || (hint.contains(plain(button->text())) && button->isVisible() &&
                          button->isEnabled());
    QVERIFY2(named, qPrintable(hint));
}

TREVANO_TEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
