#pragma once

#include "cLinkHost.h"
#include "cMainPlacement.h"
#include "cReportHost.h"
#include "cSetupHost.h"
#include "mMainEntries.h"
#include "mOperators.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class Page;
class QAction;
class QSerialPort;
class cInBuffer;
class cSerialLink;
class QLabel;
class QMenu;
class QToolBar;
class QVBoxLayout;
class HelpViewer;
class cReaderOptions;

// The main window: the toolbar of the four pages, the title strip, the status bar, the
// menus, and one page shown at a time.
class frmMain : public QMainWindow, public cLinkHost, public cSetupHost, public cReportHost {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The serial link to the docking station (one for the window's life).
    cInBuffer& InBuffer();
    QSerialPort& comPort();
    cSerialLink& SerialLink() { return *link; }
    bool WaitFor(int Retries, quint8 DestinationID, const QByteArray& SendCommand,
                 int WaitMilliseconds, quint8 ExpectCommand, bool bAcceptAll,
                 QByteArray& ReceivedCmdAndData);

    void ExitApp();
    void GoHome();
    void GoOptions();
    void GoReports();
    void GoSetup();
    // Trims the caller's mask; a mask of the wrong length is logged and changes nothing.
    void NavigateToolbarButtons(QString& tMask);
    void NavigateToolbarButtons(const QString& tMask);
    void SetTitle(const QString& TitleText) override;
    bool Docked() const override;
    void ShowDockingDetect(bool IsDetected);
    void ShowOnlineMode(bool IsOnline);
    int UserType() const { return userType; }
    // Also shows or hides, and enables or disables, what only the master user may use.
    void setUserType(int vNewValue);
    void GoOnline();

    Page* CurrentPage() const { return page.get(); }
    // Replaces the page shown; false when the page shown refuses to close.
    bool ShowPage(std::unique_ptr<Page> next);
    QToolBar* tbrMain() const { return toolbar; }
    // Writes a panel of the status bar (1 the docking/online panel, 2 the reader panel).
    void SetStatusText(int panel, const QString& text) override;
    cSerialLink& Link() override { return *link; }
    void SetToolbarEnabled(bool enabled) override;
    QString StatusText(int panel) const;
    int widthTwips() const override;
    QAction* Action(const QString& objectName) const;
    // A link sequence runs or a modal dialog is open: every entry is refused.
    bool Busy() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void InitToolbar();
    void ChangeLanguage();
    void GoConnect();
    void ClosePort();
    // Says on the status bar, on every page, how to connect again while no station answers.
    void ShowReconnectHint();
    // Shows and enables every entry as MainEntry says for the state now.
    void ApplyEntries();
    bool Allows(const QString& entry) const;
    // The entry's handler runs only while MainEntry allows the entry, whatever path fired it.
    void Bind(QAction* action, std::function<void()> handler);
    void SequenceRunning(bool running);
    bool IsMaster() const { return userType == Operator::Master; }
    void mnuToolsLanguage_Click();
    void comPort_Lost(int error, const QString& description);
    void BuildMenus();
    void TranslateWindow();
    void mnuToolsPipeOptions_Click();
    void mnuToolsClearPipe_Click();
    void GoArchive();
    void GoBackup();
    void GoRestore();
    QAction* addEntry(QMenu* menu, const QString& name);

    qint16 userType = 0;
    qint16 iComPort = 1;
    bool bOnline = false;
    bool bDockingDetected = false;
    int dockingShown = -1; // what the first panel shows: -1 online text, 0/1 docking text
    bool reconnectHint = false;
    QString mask = QStringLiteral("1111"); // of the page shown

    QWidget* pctMenu = nullptr;
    QToolBar* toolbar = nullptr;
    QLabel* lblTitle = nullptr;
    QVBoxLayout* pageHost = nullptr;
    QLabel* panelIcon = nullptr;
    QLabel* panelText = nullptr;
    QLabel* panel2 = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* mnuTools = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* mnuUserMaintenance = nullptr;
    std::unique_ptr<cReaderOptions> readerOptions;
    cSerialLink* link = nullptr;
    std::unique_ptr<Page> page;
    std::unique_ptr<HelpViewer> help;
    bool closing = false;
    bool exited = false;
    bool closeWhenIdle = false; // closing waits for the link sequence that runs
    cMainPlacement placement;
};
