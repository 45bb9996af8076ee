#pragma once

#include "cLinkHost.h"
#include "cReportHost.h"
#include "cSetupHost.h"
#include "mOperators.h"

#include <QMainWindow>
#include <QSet>
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

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void InitToolbar();
    void RestoreSavedPosition();
    void SavePosition();
    void ChangeLanguage();
    void ResetLanguage();
    void UpdateLanguage();
    void GoConnect();
    void ClosePort();
    // Nothing is offered on a closed port or without a docking station.
    void ShowNotDocked();
    void EnableReaderEntries(bool docked);
    // Hides and disables what the plain user may not use; each handler checks again, so that
    // a path that reaches an action directly (an assistive client) is refused as well.
    void ApplyRights();
    bool IsMaster() const { return userType == Operator::Master; }
    void mnuToolsLanguage_Click();
    void comPort_Lost(int error, const QString& description);
    void BuildMenus();
    void TranslateWindow();
    void mnuHelpContents_Click();
    void mnuToolsPipeOptions_Click();
    void mnuToolsClearPipe_Click();
    void mnuToolsReaderFW_Click();
    void mnuHelpAbout_Click();
    void OpenUserMaintenance(int type, const QString& label);
    void OpenCompany();
    void GoArchive();
    void GoBackup();
    void GoRestore();
    QAction* addEntry(QMenu* menu, const QString& name);

    qint16 userType = 0;
    qint16 iComPort = 1;
    bool bOnline = false;
    bool bDockingDetected = false;
    int dockingShown = -1; // what the first panel shows: -1 online text, 0/1 docking text

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
    bool geometryAdjusted = false;
    QSize savedFrameSize;
};
