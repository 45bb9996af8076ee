#pragma once

#include "Page.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class cLinkHost;
class cLinkLine;
enum class LinkResult;

// The download page: downloads the docked reader into the database, erases it and sets
// its clock.
class frmMdiDownload : public Page {
    Q_OBJECT
public:
    explicit frmMdiDownload(cLinkHost& host, QWidget* parent = nullptr);
    void Translate() override;
    bool QueryClose() override { return !busy; }
    bool EraseRequest(bool bIgnoreConfirm);
    bool EraseReader();
    void DownloadReader();
    bool Busy() const { return busy; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The erase on `line`, asked again after a failure; a lost line ends it at once.
    LinkResult EraseOn(cLinkLine& line, bool bIgnoreConfirm);
    void UpdateReaderClock(cLinkLine& line);
    void SayLineLost();
    void SetupColumns();
    void SizeColumns();
    void setControlsEnabled(bool enabled);

    cLinkHost& host;
    bool busy = false;
    QPushButton* cmdOnline_0;
    QPushButton* cmdOnline_1;
    QTreeWidget* lvwDownload;
    QLabel* lblMsg;
    QLabel* lblRptDate;
};
