#include "frmMain.h"

#include "Boxes.h"
#include "BusyPointer.h"
#include "HelpViewer.h"
#include "Page.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "Twips.h"
#include "cReaderOptions.h"
#include "cSerialLink.h"
#include "frmAbout.h"
#include "frmArchive.h"
#include "frmCompany.h"
#include "frmDownload.h"
#include "frmGoOnline.h"
#include "frmMDISetup.h"
#include "frmMdiDownload.h"
#include "frmMdiMenu.h"
#include "frmMdiReports.h"
#include "frmPrpComms.h"
#include "frmSetTime.h"
#include "frmUserMaintenance.h"
#include "mBackup.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mTranslations.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kDefaultWidthTwips = 9615;
constexpr int kDefaultHeightTwips = 6690;
constexpr int kMinWidthTwips = 8000;
constexpr int kMinHeightTwips = 6585;

const QString kSettings = QStringLiteral("Settings");

struct ToolbarButton {
    const char* key;
    const char* caption;
};
const ToolbarButton kButtons[] = {{"home", TR_TEXT("Home")},
                                  {"download", TR_TEXT("Download")},
                                  {"reports", TR_TEXT("Reports")},
                                  {"setup", TR_TEXT("Setup")}};

struct MenuEntry {
    const char* name;
    const char* caption;
};

// Captions as designed; translated whenever the window is.
const MenuEntry kMenuEntries[] = {
    {"mnuFile", TR_TEXT("&File")},
    {"mnuFileArchive", TR_TEXT("&Archive Events")},
    {"mnuFileBackup", TR_TEXT("&Backup")},
    {"mnuFileRestore", TR_TEXT("&Restore")},
    {"mnuFileExit", TR_TEXT("E&xit")},
    {"mnuTools", TR_TEXT("&Tools")},
    {"mnuToolsPipeOptions", TR_TEXT("&Reader Options")},
    {"mnuToolsClearPipe", TR_TEXT("&Erase Reader")},
    {"mnuToolsReaderFW", TR_TEXT("Reader Firmware Version")},
    {"mnuViewOptions", TR_TEXT("Com &Options...")},
    {"mnuUserMaintenance", TR_TEXT("User &Maintenance")},
    {"mnuUMAdmin", TR_TEXT("&Master")},
    {"mnuUMUser", TR_TEXT("&User")},
    {"mnuToolCompany", TR_TEXT("Company &Info")},
    {"mnuToolsLanguage", TR_TEXT("&Language")},
    {"mnuHelp", TR_TEXT("&Help")},
    {"mnuHelpContents", TR_TEXT("&Contents")},
    {"mnuHelpAbout", TR_TEXT("&About ")},
};

// Hidden from the plain user and refused to him; the setup button is one of the toolbar's.
const char* const kMasterOnly[] = {"setup",
                                   "mnuTools",
                                   "mnuToolsPipeOptions",
                                   "mnuToolsClearPipe",
                                   "mnuToolsReaderFW",
                                   "mnuViewOptions",
                                   "mnuUserMaintenance",
                                   "mnuUMAdmin",
                                   "mnuUMUser",
                                   "mnuToolCompany",
                                   "mnuToolsLanguage"};
// Shown to everyone, usable by the master user only.
const char* const kMasterFileEntries[] = {"mnuFileArchive", "mnuFileBackup", "mnuFileRestore"};
// Reading or erasing the reader waits for a docking station as well.
const char* const kReaderEntries[] = {"mnuToolsPipeOptions", "mnuToolsClearPipe"};

int twipsToPixels(double twips) {
    return qRound(twips / kTwipsPerPixel);
}

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));

    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);

    pctMenu = new QWidget(central);
    pctMenu->setObjectName(QStringLiteral("pctMenu"));
    pctMenu->setAutoFillBackground(true);
    pctMenu->setStyleSheet(
        QStringLiteral("#pctMenu { background: #e9f1f7; border-bottom: 1px solid #9db4c8; }"));
    auto* menuLayout = new QVBoxLayout(pctMenu);
    menuLayout->setContentsMargins(2, 2, 2, 2);
    menuLayout->setSpacing(0);
    toolbar = new QToolBar(pctMenu);
    toolbar->setObjectName(QStringLiteral("tbrMain"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setIconSize(QSize(32, 32));
    toolbar->setMovable(false);
    lblTitle = new QLabel(pctMenu);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    lblTitle->setFont(titleFont);
    lblTitle->setStyleSheet(QStringLiteral("color: #1f3f63; padding: 4px 0px;"));
    menuLayout->addWidget(toolbar);
    menuLayout->addWidget(lblTitle);
    centralLayout->addWidget(pctMenu);

    auto* host = new QWidget(central);
    host->setObjectName(QStringLiteral("pageHost"));
    pageHost = new QVBoxLayout(host);
    pageHost->setContentsMargins(0, 0, 0, 0);
    centralLayout->addWidget(host, 1);
    setCentralWidget(central);

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    auto* panel1 = new QWidget(bar);
    auto* panel1Layout = new QHBoxLayout(panel1);
    panel1Layout->setContentsMargins(2, 0, 2, 0);
    panelIcon = new QLabel(panel1);
    panelIcon->setObjectName(QStringLiteral("sbPanel1Icon"));
    panelText = new QLabel(panel1);
    panelText->setObjectName(QStringLiteral("sbPanel1"));
    panel1Layout->addWidget(panelIcon);
    panel1Layout->addWidget(panelText);
    panel2 = new QLabel(bar);
    panel2->setObjectName(QStringLiteral("sbPanel2"));
    bar->addWidget(panel1);
    bar->addWidget(panel2, 1);
    setStatusBar(bar);

    link = new cSerialLink(this);
    readerOptions = std::make_unique<cReaderOptions>();
    gReaderOptions = readerOptions.get();
    connect(link, &cSerialLink::portLost, this, &frmMain::comPort_Lost);

    BuildMenus();
    setMinimumSize(twipsToPixels(kMinWidthTwips), twipsToPixels(kMinHeightTwips));

    // Load of the window.
    try {
        TranslateWindow();
        InitToolbar();
        RestoreSavedPosition();
        setWindowTitle(Translator::FormatStr(Translate(QStringLiteral("%0:s - Version %1:s")),
                                             {GetProductTitle(), GetVersionString()}));
        UpdateLanguage();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("MDIForm_Load of Form frmMain"), e, false);
    }
}

frmMain::~frmMain() = default;

QAction* frmMain::addEntry(QMenu* menu, const QString& name) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(name);
    return action;
}

void frmMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = bar->addMenu(QString());
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    connect(addEntry(mnuFile, QStringLiteral("mnuFileArchive")), &QAction::triggered, this,
            &frmMain::GoArchive);
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileBar0"));
    connect(addEntry(mnuFile, QStringLiteral("mnuFileBackup")), &QAction::triggered, this,
            &frmMain::GoBackup);
    connect(addEntry(mnuFile, QStringLiteral("mnuFileRestore")), &QAction::triggered, this,
            &frmMain::GoRestore);
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileBar5"));
    connect(addEntry(mnuFile, QStringLiteral("mnuFileExit")), &QAction::triggered, this,
            &QWidget::close);

    mnuTools = bar->addMenu(QString());
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    connect(addEntry(mnuTools, QStringLiteral("mnuToolsPipeOptions")), &QAction::triggered, this,
            &frmMain::mnuToolsPipeOptions_Click);
    connect(addEntry(mnuTools, QStringLiteral("mnuToolsClearPipe")), &QAction::triggered, this,
            &frmMain::mnuToolsClearPipe_Click);
    connect(addEntry(mnuTools, QStringLiteral("mnuToolsReaderFW")), &QAction::triggered, this,
            &frmMain::mnuToolsReaderFW_Click);
    QAction* comOptions = addEntry(mnuTools, QStringLiteral("mnuViewOptions"));
    connect(comOptions, &QAction::triggered, this, &frmMain::GoOptions);
    mnuUserMaintenance = mnuTools->addMenu(QString());
    mnuUserMaintenance->setObjectName(QStringLiteral("mnuUserMaintenance"));
    mnuUserMaintenance->menuAction()->setObjectName(QStringLiteral("mnuUserMaintenance"));
    connect(addEntry(mnuUserMaintenance, QStringLiteral("mnuUMAdmin")), &QAction::triggered, this,
            [this] { OpenUserMaintenance(1, QStringLiteral("mnuUMAdmin_Click of Form frmMain")); });
    connect(addEntry(mnuUserMaintenance, QStringLiteral("mnuUMUser")), &QAction::triggered, this,
            [this] { OpenUserMaintenance(2, QStringLiteral("mnuUMUser_Click of Form frmMain")); });
    connect(addEntry(mnuTools, QStringLiteral("mnuToolCompany")), &QAction::triggered, this,
            &frmMain::OpenCompany);
    connect(addEntry(mnuTools, QStringLiteral("mnuToolsLanguage")), &QAction::triggered, this,
            &frmMain::mnuToolsLanguage_Click);

    mnuHelp = bar->addMenu(QString());
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    connect(addEntry(mnuHelp, QStringLiteral("mnuHelpContents")), &QAction::triggered, this,
            &frmMain::mnuHelpContents_Click);
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuHelpBar0"));
    connect(addEntry(mnuHelp, QStringLiteral("mnuHelpAbout")), &QAction::triggered, this,
            &frmMain::mnuHelpAbout_Click);

    ApplyRights(); // nobody is logged in yet
}

void frmMain::setUserType(int vNewValue) {
    userType = static_cast<qint16>(vNewValue);
    ApplyRights();
}

void frmMain::ApplyRights() {
    const bool master = IsMaster();
    // Hidden alone an action still runs when it is triggered: it is disabled as well. For the
    // master user the setup button follows the page's mask, the reader entries the station.
    for (const char* name : kMasterOnly) {
        QAction* action = Action(QLatin1String(name));
        if (!action)
            continue; // the toolbar is not built yet
        action->setVisible(master);
        if (!master)
            action->setEnabled(false);
        else if (qstrcmp(name, "setup") != 0)
            action->setEnabled(true);
    }
    EnableReaderEntries(gDocked);
    for (const char* name : kMasterFileEntries)
        Action(QLatin1String(name))->setEnabled(master);
}

QAction* frmMain::Action(const QString& objectName) const {
    if (objectName == QLatin1String("mnuTools"))
        return mnuTools->menuAction();
    if (objectName == QLatin1String("mnuFile"))
        return mnuFile->menuAction();
    if (objectName == QLatin1String("mnuHelp"))
        return mnuHelp->menuAction();
    if (objectName == QLatin1String("mnuUserMaintenance"))
        return mnuUserMaintenance->menuAction();
    for (QAction* a : findChildren<QAction*>())
        if (a->objectName() == objectName)
            return a;
    return nullptr;
}

void frmMain::TranslateWindow() {
    for (const MenuEntry& entry : kMenuEntries)
        if (QAction* action = Action(QLatin1String(entry.name)))
            action->setText(Translate(QLatin1String(entry.caption)));
    mnuFile->setTitle(Translate(QStringLiteral("&File")));
    mnuTools->setTitle(Translate(QStringLiteral("&Tools")));
    mnuHelp->setTitle(Translate(QStringLiteral("&Help")));
    mnuUserMaintenance->setTitle(Translate(QStringLiteral("User &Maintenance")));
    if (dockingShown >= 0)
        ShowDockingDetect(dockingShown == 1);
}

void frmMain::InitToolbar() {
    try {
        // Rebuilding keeps the enabled and visible states of the buttons.
        QHash<QString, QPair<bool, bool>> states;
        for (QAction* a : toolbar->actions())
            states.insert(a->objectName(), {a->isEnabled(), a->isVisible()});
        const QList<QAction*> old = toolbar->actions();
        toolbar->clear();
        qDeleteAll(old);
        for (const ToolbarButton& b : kButtons) {
            const QString key = QLatin1String(b.key);
            QAction* a = toolbar->addAction(QIcon(QStringLiteral(":/pictures/%1.png").arg(key)),
                                            Translate(QLatin1String(b.caption)));
            a->setObjectName(key);
            if (states.contains(key)) {
                a->setEnabled(states.value(key).first);
                a->setVisible(states.value(key).second);
            }
            if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(a)))
                button->setMinimumWidth(twipsToPixels(700) + 24);
            connect(a, &QAction::triggered, this, [this, key] {
                if (key == QLatin1String("home"))
                    GoHome();
                else if (key == QLatin1String("download"))
                    GoOnline();
                else if (key == QLatin1String("reports"))
                    GoReports();
                else
                    GoSetup();
            });
        }
        ApplyRights();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("InitToolbar of Form frmMain"), e, false);
    }
}

void frmMain::RestoreSavedPosition() {
    if (Settings::GetBool(kSettings, QStringLiteral("Maximized"), false)) {
        resize(twipsToPixels(kDefaultWidthTwips), twipsToPixels(kDefaultHeightTwips));
        setWindowState(Qt::WindowMaximized);
        return;
    }
    setWindowState(Qt::WindowNoState);
    const int left = twipsToPixels(Settings::GetDouble(kSettings, QStringLiteral("MainLeft"), 0));
    const int top = twipsToPixels(Settings::GetDouble(kSettings, QStringLiteral("MainTop"), 0));
    const int width = twipsToPixels(
        Settings::GetDouble(kSettings, QStringLiteral("MainWidth"), kDefaultWidthTwips));
    const int height = twipsToPixels(
        Settings::GetDouble(kSettings, QStringLiteral("MainHeight"), kDefaultHeightTwips));
    QRect frame(left, top, qMax(width, minimumWidth()), qMax(height, minimumHeight()));
    // A position left behind by a screen that is gone is brought back.
    if (!QGuiApplication::screenAt(frame.center()) && !QGuiApplication::screenAt(frame.topLeft())) {
        if (QScreen* primary = QGuiApplication::primaryScreen())
            frame.moveTopLeft(primary->availableGeometry().topLeft());
    }
    move(frame.topLeft());
    resize(frame.size());
    savedFrameSize = frame.size();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (geometryAdjusted)
        return;
    geometryAdjusted = true;
    // The stored size is the frame's: take the decoration off once it is known.
    QTimer::singleShot(0, this, [this] {
        if (windowState() != Qt::WindowNoState || size() != savedFrameSize)
            return;
        const QSize decoration = frameGeometry().size() - size();
        if (decoration.width() > 0 || decoration.height() > 0)
            resize(savedFrameSize - decoration);
    });
}

void frmMain::SavePosition() {
    try {
        if (isMaximized()) {
            Settings::SaveSetting(kSettings, QStringLiteral("MainLeft"), QStringLiteral("0"));
            Settings::SaveSetting(kSettings, QStringLiteral("MainTop"), QStringLiteral("0"));
            Settings::SaveInt(kSettings, QStringLiteral("MainWidth"), kDefaultWidthTwips);
            Settings::SaveInt(kSettings, QStringLiteral("MainHeight"), kDefaultHeightTwips);
            Settings::SaveBool(kSettings, QStringLiteral("Maximized"), true);
        } else if (isMinimized()) {
            Settings::SaveBool(kSettings, QStringLiteral("Maximized"), false);
        } else {
            const QRect frame = frameGeometry();
            Settings::SaveInt(kSettings, QStringLiteral("MainLeft"),
                              qint64(frame.left()) * kTwipsPerPixel);
            Settings::SaveInt(kSettings, QStringLiteral("MainTop"),
                              qint64(frame.top()) * kTwipsPerPixel);
            Settings::SaveInt(kSettings, QStringLiteral("MainWidth"),
                              qint64(frame.width()) * kTwipsPerPixel);
            Settings::SaveInt(kSettings, QStringLiteral("MainHeight"),
                              qint64(frame.height()) * kTwipsPerPixel);
            Settings::SaveBool(kSettings, QStringLiteral("Maximized"), false);
        }
    } catch (const AppError& e) {
        HandleError(QStringLiteral("MDIForm_Unload of Form frmMain"), e, false);
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!closing) {
        if (page && !page->QueryClose()) {
            event->ignore();
            return;
        }
        closing = true;
        SavePosition();
        gReaderOptions = nullptr;
        readerOptions.reset(); // writes its settings back
        ExitApp();
    }
    event->accept();
}

void frmMain::ExitApp() {
    if (exited)
        return;
    exited = true;
    if (gConn && gConn->State() == DbConnection::StateOpen)
        gConn->Close();
    gConn.reset();
    if (help)
        help->close();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->close();
    if (!closing)
        close();
}

int frmMain::widthTwips() const {
    return frameGeometry().width() * kTwipsPerPixel;
}

bool frmMain::ShowPage(std::unique_ptr<Page> next) {
    if (page) {
        if (!page->QueryClose())
            return false;
        page.reset();
    }
    page = std::move(next);
    pageHost->addWidget(page.get());
    page->show();
    return true;
}

void frmMain::GoHome() {
    // Each step runs even when an earlier one failed; a page that refuses to close stops it.
    try {
        if (!ShowPage(std::make_unique<frmMdiMenu>()))
            return;
        page->Translate();
    } catch (const AppError&) {
    }
    SetTitle(Translate(QStringLiteral("Home")));
    NavigateToolbarButtons(QStringLiteral("0111"));
    int port = Settings::GetInt(QStringLiteral("ComPort_Settings"), QStringLiteral("ComPort"), 1);
    if (port < 1 || port > 8)
        port = 1;
    iComPort = static_cast<qint16>(port);
    Settings::SaveInt(QStringLiteral("ComPort_Settings"), QStringLiteral("ComPort"), iComPort);
    if (!bOnline)
        GoConnect();
}

cInBuffer& frmMain::InBuffer() {
    return link->InBuffer();
}

QSerialPort& frmMain::comPort() {
    return link->comPort();
}

bool frmMain::WaitFor(int Retries, quint8 DestinationID, const QByteArray& SendCommand,
                      int WaitMilliseconds, quint8 ExpectCommand, bool bAcceptAll,
                      QByteArray& ReceivedCmdAndData) {
    return link->WaitFor(Retries, DestinationID, SendCommand, WaitMilliseconds, ExpectCommand,
                         bAcceptAll, ReceivedCmdAndData);
}

void frmMain::GoConnect() {
    try {
        if (link->IsOpen())
            link->ClosePort();
        const QString portText = QString::number(iComPort);
        LinkYield();
        frmGoOnline dialog(this);
        bool again = false;
        do {
            again = false;
            dialog.Online = bOnline;
            dialog.MyComObject = link;
            dialog.MyCommPort = portText;
            dialog.MyCommSettings = QStringLiteral("9600,n,8,1");
            dialog.exec();
            if (dialog.OK) {
                bOnline = dialog.Online;
                bDockingDetected = dialog.DockingDetected;
                if (bDockingDetected) {
                    gDocked = true;
                    EnableReaderEntries(true);
                    NavigateToolbarButtons(QStringLiteral("0111"));
                } else {
                    const int answer = gTranslator->IvMessageBox(
                        Translate(QStringLiteral("Could not connect to the docking station.")) +
                            QStringLiteral("\r\n") +
                            Translate(QStringLiteral("Check hardware and settings and try again.")),
                        QString(), IvBox::Information, IvBox::RetryIgnore, 0);
                    again = answer != Boxes::AnswerIgnore;
                    gDocked = false;
                    EnableReaderEntries(false);
                    for (const char* key : {"home", "reports", "setup"})
                        Action(QLatin1String(key))->setEnabled(true);
                    Action(QStringLiteral("download"))->setEnabled(false);
                    NavigateToolbarButtons(QStringLiteral("0111"));
                }
            } else {
                bOnline = false;
                bDockingDetected = false;
                ShowNotDocked();
                gTranslator->IvMessageBox(
                    Translate(QStringLiteral("Could not open the com port.")) +
                        QStringLiteral("\r\n") +
                        Translate(QStringLiteral("Check settings and try again.")) +
                        QStringLiteral("\r\n") +
                        Translate(QStringLiteral("Working in Offline Mode")),
                    QString(), IvBox::Information, IvBox::Ok, 0);
            }
            ShowOnlineMode(bOnline);
            ShowDockingDetect(bDockingDetected);
        } while (again);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("GoConnect of Form frmMain"), e, false);
    }
}

void frmMain::ClosePort() {
    link->ClosePort();
    bOnline = false;
    bDockingDetected = false;
    ShowNotDocked();
}

void frmMain::ShowNotDocked() {
    gDocked = false;
    EnableReaderEntries(false);
    Action(QStringLiteral("download"))->setEnabled(false);
    ShowDockingDetect(false);
}

void frmMain::EnableReaderEntries(bool docked) {
    for (const char* name : kReaderEntries)
        Action(QLatin1String(name))->setEnabled(docked && IsMaster());
}

void frmMain::comPort_Lost(int error, const QString& description) {
    HandleError(QStringLiteral("comPort_OnComm of Form frmMain"), AppError(error, description),
                false);
    ClosePort();
}

void frmMain::GoOnline() {
    try {
        if (!ShowPage(std::make_unique<frmMdiDownload>(*this)))
            return;
        SetTitle(Translate(QStringLiteral("Download")));
        page->Translate();
        NavigateToolbarButtons(QStringLiteral("1011"));
    } catch (const AppError& e) {
        HandleError(QStringLiteral("GoOnline of Form frmMain"), e, false);
    }
}

void frmMain::GoReports() {
    try {
        if (!ShowPage(std::make_unique<frmMdiReports>(*this)))
            return;
        SetTitle(Translate(QStringLiteral("Reports")));
        NavigateToolbarButtons(QStringLiteral("1101"));
    } catch (const AppError& e) {
        HandleError(QStringLiteral("GoReports of Form frmMain"), e, false);
    }
}

void frmMain::GoSetup() {
    if (!IsMaster())
        return;
    try {
        if (!ShowPage(std::make_unique<frmMDISetup>(*this)))
            return;
        SetTitle(Translate(QStringLiteral("Setup")));
        page->Translate();
        NavigateToolbarButtons(QStringLiteral("1110"));
    } catch (const AppError& e) {
        HandleError(QStringLiteral("GoSetup of Form frmMain"), e, false);
    }
}

void frmMain::GoOptions() {
    if (!IsMaster())
        return;
    try {
        ClosePort();
        LinkYield();
        ShowOnlineMode(bOnline);
        frmPrpComms dialog(this);
        dialog.comPort = iComPort;
        dialog.Populate();
        dialog.exec();
        if (dialog.OK) {
            iComPort = dialog.comPort;
            Settings::SaveInt(QStringLiteral("ComPort_Settings"), QStringLiteral("ComPort"),
                              iComPort);
            GoConnect();
        } else {
            ShowDockingDetect(false); // the port stays closed
        }
    } catch (const AppError& e) {
        HandleError(QStringLiteral("GoOptions of Form frmMain"), e, false);
    }
}

void frmMain::SetTitle(const QString& TitleText) {
    lblTitle->setText(QStringLiteral("  ") + TitleText);
}

bool frmMain::Docked() const {
    return gDocked;
}

void frmMain::NavigateToolbarButtons(const QString& tMask) {
    QString mask = tMask;
    NavigateToolbarButtons(mask);
}

void frmMain::NavigateToolbarButtons(QString& tMask) {
    try {
        tMask = tMask.trimmed();
        const QList<QAction*> buttons = toolbar->actions();
        if (tMask.size() != buttons.size())
            throw AppError(AppError::WrongMaskLength,
                           QStringLiteral("The mask \"%1\" does not fit %2 buttons")
                               .arg(tMask)
                               .arg(buttons.size()));
        for (int i = 0; i < buttons.size(); ++i)
            buttons.at(i)->setEnabled(tMask.at(i) == QLatin1Char('1'));
        ApplyRights();
        if (!gDocked)
            Action(QStringLiteral("download"))->setEnabled(false);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("NavigateToolbarButtons of Form frmMain"), e, false);
    }
}

void frmMain::ShowDockingDetect(bool IsDetected) {
    dockingShown = IsDetected ? 1 : 0;
    panelText->setText(IsDetected ? Translate(QStringLiteral("Docking Station : OK"))
                                  : Translate(QStringLiteral("Docking Station : Not Detected")));
    panelIcon->setPixmap(QPixmap(IsDetected ? QStringLiteral(":/pictures/online.png")
                                            : QStringLiteral(":/pictures/offline.png")));
}

void frmMain::ShowOnlineMode(bool IsOnline) {
    dockingShown = -1;
    panelText->setText(IsOnline ? QStringLiteral("Status: ONLINE, COM ") + QString::number(iComPort)
                                : QStringLiteral("Status: Offline"));
    panelIcon->setPixmap(QPixmap(IsOnline ? QStringLiteral(":/pictures/online.png")
                                          : QStringLiteral(":/pictures/offline.png")));
}

void frmMain::SetStatusText(int panel, const QString& text) {
    if (panel == 1)
        panelText->setText(text);
    else
        panel2->setText(text);
}

QString frmMain::StatusText(int panel) const {
    return panel == 1 ? panelText->text() : panel2->text();
}

void frmMain::ChangeLanguage() {
    try {
        int chosen = gLanguage;
        if (gTranslator->SelectLanguage(QString(), 0, 0, chosen, this)) {
            gLanguage = static_cast<qint16>(chosen);
            gTranslator->language = gLanguage;
            Settings::SaveInt(QStringLiteral("Properties"), QStringLiteral("Language"), gLanguage);
            gTranslator->Open();
            UpdateLanguage();
        }
    } catch (const AppError& e) {
        HandleError(QStringLiteral("ChangeLanguage of Form frmMain"), e, false);
        ResetLanguage();
    }
    TranslateWindow();
    InitToolbar();
    setWindowTitle(Translator::FormatStr(Translate(QStringLiteral("%0:s - Version %1:s")),
                                         {GetProductTitle(), GetVersionString()}));
    if (qobject_cast<frmMdiMenu*>(page.get()))
        page->Translate();
}

void frmMain::ResetLanguage() {
    try {
        FallBackToLanguage(0, QStringLiteral("Resetting to default language..."));
    } catch (const AppError& e) {
        HandleError(QStringLiteral("ResetLanguage of Form frmMain"), e, false);
    }
}

void frmMain::UpdateLanguage() {
    const QString localized = ProgramFile(Translate(QStringLiteral("QX7_ENG.html")));
    const QString english = ProgramFile(QStringLiteral("QX7_ENG.html"));
    if (QFile::exists(localized))
        gHelpFile = localized;
    else if (gHelpFile.isEmpty() && QFile::exists(english))
        gHelpFile = english;
}

void frmMain::mnuHelpContents_Click() {
    try {
        if (gHelpFile.isEmpty() || !QFile::exists(gHelpFile)) {
            Boxes::Show(windowTitle(),
                        QStringLiteral("Unable to display Help Contents. There is no Help "
                                       "associated with this project."),
                        Boxes::Icon::Information);
            return;
        }
        if (!help)
            help = std::make_unique<HelpViewer>();
        try {
            help->ShowContents(gHelpFile);
        } catch (const AppError& e) {
            Boxes::Show(windowTitle(), e.description);
        }
    } catch (const AppError& e) {
        HandleError(QStringLiteral("mnuHelpContents_Click of Form frmMain"), e, false);
    }
}

void frmMain::mnuToolsLanguage_Click() {
    if (!IsMaster())
        return;
    ChangeLanguage();
    GoHome();
}

void frmMain::mnuHelpAbout_Click() {
    try {
        frmAbout about(this);
        about.Populate();
        about.exec();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("mnuHelpAbout_Click of Form frmMain"), e, false);
    }
}

void frmMain::OpenUserMaintenance(int type, const QString& label) {
    if (!IsMaster())
        return;
    try {
        frmUserMaintenance dialog(this);
        dialog.FormStart(type);
        dialog.exec();
    } catch (const AppError& e) {
        HandleError(label, e, false);
    }
}

void frmMain::GoArchive() {
    if (!IsMaster())
        return;
    try {
        frmArchive dialog(this);
        dialog.exec();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("frmMain::GoArchive"), e, true);
    }
}

void frmMain::GoBackup() {
    if (IsMaster())
        RunBackup(this);
}

void frmMain::GoRestore() {
    if (!IsMaster())
        return;
    // A replaced database is opened by the next start only; a lost one never runs on.
    if (RunRestore(this) != RestoreOutcome::NotRestored)
        ExitApp();
}

void frmMain::SetToolbarEnabled(bool enabled) {
    toolbar->setEnabled(enabled);
}

void frmMain::mnuToolsPipeOptions_Click() {
    if (!IsMaster())
        return;
    try {
        frmSetTime dialog(*link, this);
        dialog.Translate();
        dialog.exec();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("mnuToolsPipeOptions_Click of Form frmMain"), e, false);
    }
    GoHome();
}

void frmMain::mnuToolsClearPipe_Click() {
    if (!IsMaster())
        return;
    GoOnline();
    if (auto* download = qobject_cast<frmMdiDownload*>(page.get()))
        download->EraseRequest(false);
}

void frmMain::mnuToolsReaderFW_Click() {
    if (!IsMaster())
        return;
    try {
        QString version;
        {
            const BusyPointer busy;
            frmDownload download(*link, this);
            download.setFirmwareVersion(true);
            download.setGetIDMode(false);
            download.exec();
            version = download.tFirmware();
        }
        if (!version.isEmpty() && version != QLatin1String("VFF")) {
            frmFirmwareVersion box(version, this);
            box.exec();
        }
    } catch (const AppError& e) {
        HandleError(QStringLiteral("getFWVersion of Form frmFirmwareVersion"), e, false);
    }
}

void frmMain::OpenCompany() {
    if (!IsMaster())
        return;
    frmCompany dialog(this);
    dialog.exec();
}
