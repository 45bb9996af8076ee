#include "frmMain.h"

#include "HelpViewer.h"
#include "Page.h"
#include "Settings.h"
#include "Twips.h"
#include "cReaderOptions.h"
#include "cSerialLink.h"
#include "frmArchive.h"
#include "frmMDISetup.h"
#include "frmMdiDownload.h"
#include "frmMdiMenu.h"
#include "frmMdiReports.h"
#include "frmPrpComms.h"
#include "mBackup.h"
#include "mConnect.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mMainTools.h"
#include "mTranslations.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

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
    connect(&link->Sequences(), &cLinkSequences::RunningChanged, this, &frmMain::SequenceRunning);

    BuildMenus();
    setMinimumSize(cMainPlacement::MinimumSize());

    // Load of the window.
    try {
        TranslateWindow();
        InitToolbar();
        placement.Restore(*this);
        setWindowTitle(Translator::FormatStr(Translate(QStringLiteral("%0:s - Version %1:s")),
                                             {GetProductTitle(), GetVersionString()}));
        UpdateHelpFile();
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
    Bind(addEntry(mnuFile, QStringLiteral("mnuFileArchive")), [this] { GoArchive(); });
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileBar0"));
    Bind(addEntry(mnuFile, QStringLiteral("mnuFileBackup")), [this] { GoBackup(); });
    Bind(addEntry(mnuFile, QStringLiteral("mnuFileRestore")), [this] { GoRestore(); });
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileBar5"));
    Bind(addEntry(mnuFile, QStringLiteral("mnuFileExit")), [this] { close(); });

    mnuTools = bar->addMenu(QString());
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    Bind(addEntry(mnuTools, QStringLiteral("mnuToolsPipeOptions")),
         [this] { mnuToolsPipeOptions_Click(); });
    Bind(addEntry(mnuTools, QStringLiteral("mnuToolsClearPipe")),
         [this] { mnuToolsClearPipe_Click(); });
    Bind(addEntry(mnuTools, QStringLiteral("mnuToolsReaderFW")),
         [this] { ShowFirmwareVersion(*link, this); });
    Bind(addEntry(mnuTools, QStringLiteral("mnuViewOptions")), [this] { GoOptions(); });
    mnuUserMaintenance = mnuTools->addMenu(QString());
    mnuUserMaintenance->setObjectName(QStringLiteral("mnuUserMaintenance"));
    mnuUserMaintenance->menuAction()->setObjectName(QStringLiteral("mnuUserMaintenance"));
    Bind(addEntry(mnuUserMaintenance, QStringLiteral("mnuUMAdmin")), [this] {
        ShowUserMaintenance(Operator::Master, QStringLiteral("mnuUMAdmin_Click of Form frmMain"),
                            this);
    });
    Bind(addEntry(mnuUserMaintenance, QStringLiteral("mnuUMUser")), [this] {
        ShowUserMaintenance(Operator::User, QStringLiteral("mnuUMUser_Click of Form frmMain"),
                            this);
    });
    Bind(addEntry(mnuTools, QStringLiteral("mnuToolCompany")), [this] { ShowCompany(this); });
    Bind(addEntry(mnuTools, QStringLiteral("mnuToolsLanguage")),
         [this] { mnuToolsLanguage_Click(); });

    mnuHelp = bar->addMenu(QString());
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    Bind(addEntry(mnuHelp, QStringLiteral("mnuHelpContents")),
         [this] { ShowHelpContents(help, windowTitle()); });
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuHelpBar0"));
    Bind(addEntry(mnuHelp, QStringLiteral("mnuHelpAbout")), [this] { ShowAbout(this); });

    ApplyEntries(); // nobody is logged in yet
}

void frmMain::Bind(QAction* action, std::function<void()> handler) {
    connect(action, &QAction::triggered, this,
            [this, name = action->objectName(), handler = std::move(handler)] {
                if (Allows(name))
                    handler();
            });
}

void frmMain::setUserType(int vNewValue) {
    userType = static_cast<qint16>(vNewValue);
    ApplyEntries();
}

bool frmMain::Busy() const {
    return link->Sequences().Running() || QApplication::activeModalWidget() != nullptr;
}

bool frmMain::Allows(const QString& entry) const {
    return MainEntry(entry, {userType, gDocked, Busy(), mask}).enabled;
}

void frmMain::ApplyEntries() {
    const MainEntryInputs now{userType, gDocked, Busy(), mask};
    for (const QString& name : MainEntryNames()) {
        QAction* action = Action(name);
        if (!action)
            continue; // the toolbar is not built yet
        const MainEntryState state = MainEntry(name, now);
        action->setVisible(state.visible);
        action->setEnabled(state.enabled);
    }
}

void frmMain::SequenceRunning(bool running) {
    ApplyEntries();
    if (!running && closeWhenIdle)
        QTimer::singleShot(0, this, &QWidget::close);
}

bool frmMain::event(QEvent* event) {
    const bool result = QMainWindow::event(event);
    if (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowUnblocked)
        ApplyEntries();
    return result;
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
    for (const QString& name : MainEntryNames())
        if (QAction* action = Action(name))
            action->setText(Translate(MainEntryCaption(name)));
    mnuFile->setTitle(Translate(QStringLiteral("&File")));
    mnuTools->setTitle(Translate(QStringLiteral("&Tools")));
    mnuHelp->setTitle(Translate(QStringLiteral("&Help")));
    mnuUserMaintenance->setTitle(Translate(QStringLiteral("User &Maintenance")));
    if (dockingShown >= 0)
        ShowDockingDetect(dockingShown == 1);
    if (reconnectHint)
        ShowReconnectHint();
}

void frmMain::InitToolbar() {
    try {
        const QList<QAction*> old = toolbar->actions();
        toolbar->clear();
        qDeleteAll(old);
        for (const QString& key : MainToolbarKeys()) {
            QAction* a = toolbar->addAction(QIcon(QStringLiteral(":/pictures/%1.png").arg(key)),
                                            Translate(MainEntryCaption(key)));
            a->setObjectName(key);
            if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(a)))
                button->setMinimumWidth(twipsToPixels(700) + 24);
            Bind(a, [this, key] {
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
        ApplyEntries();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("InitToolbar of Form frmMain"), e, false);
    }
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    placement.Shown(*this);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!closing) {
        // Nothing is torn down under a running wait: the window closes once the sequence ends.
        if (link->Sequences().Running()) {
            closeWhenIdle = true;
            event->ignore();
            return;
        }
        if (page && !page->QueryClose()) {
            event->ignore();
            return;
        }
        closing = true;
        cMainPlacement::Save(*this);
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
    if (Busy())
        return;
    // Each step runs even when an earlier one failed; a page that refuses to close stops it.
    try {
        auto menu = std::make_unique<frmMdiMenu>();
        menu->setMasterUser(IsMaster());
        if (!ShowPage(std::move(menu)))
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
        ConnectLink(*link, iComPort, bOnline, this, [this](const ConnectRound& round) {
            bOnline = round.online;
            bDockingDetected = round.docked;
            gDocked = round.docked;
            if (round.opened)
                NavigateToolbarButtons(QStringLiteral("0111"));
            else
                ApplyEntries();
            ShowOnlineMode(bOnline);
            ShowDockingDetect(bDockingDetected);
        });
    } catch (const AppError& e) {
        HandleError(QStringLiteral("GoConnect of Form frmMain"), e, false);
    }
    ShowReconnectHint();
}

void frmMain::ClosePort() {
    link->ClosePort();
    bOnline = false;
    bDockingDetected = false;
    gDocked = false;
    ApplyEntries();
    ShowOnlineMode(false);
    ShowReconnectHint();
}

void frmMain::ShowReconnectHint() {
    reconnectHint = !gDocked;
    panel2->setText(reconnectHint
                        ? Translate(QStringLiteral("Not connected. Press Home to connect again."))
                        : QString());
}

void frmMain::comPort_Lost(int error, const QString& description) {
    HandleError(QStringLiteral("comPort_OnComm of Form frmMain"), AppError(error, description),
                false);
    ClosePort();
}

void frmMain::GoOnline() {
    if (Busy())
        return;
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
    if (Busy())
        return;
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
    if (!IsMaster() || Busy())
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
    if (!IsMaster() || Busy())
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
    QString copy = tMask;
    NavigateToolbarButtons(copy);
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
        mask = tMask;
        ApplyEntries();
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
            UpdateHelpFile();
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

void frmMain::mnuToolsLanguage_Click() {
    ChangeLanguage();
    GoHome();
}

void frmMain::GoArchive() {
    try {
        frmArchive dialog(this);
        dialog.exec();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("frmMain::GoArchive"), e, true);
    }
}

void frmMain::GoBackup() {
    RunBackup(this);
}

void frmMain::GoRestore() {
    // A replaced database is opened by the next start only; a lost one never runs on.
    if (RunRestore(this) != RestoreOutcome::NotRestored)
        ExitApp();
}

void frmMain::SetToolbarEnabled(bool enabled) {
    toolbar->setEnabled(enabled);
}

void frmMain::mnuToolsPipeOptions_Click() {
    ShowReaderOptions(*link, this);
    GoHome();
}

void frmMain::mnuToolsClearPipe_Click() {
    GoOnline();
    if (auto* download = qobject_cast<frmMdiDownload*>(page.get()))
        download->EraseRequest(false);
}
