#pragma once

#include "BusyPointer.h"

#include <QDateTime>
#include <QDialog>
#include <QStringList>
#include <memory>
#include <optional>

class DbCursor;
class cReportHost;
namespace Ui {
class frmRptIncidentParam;
}

// The incident report with sites: a date and time range and three filters (an incident
// button, a reader, a site); builds and previews the Incidents And Locations Report itself.
// Stays open after each preview until Cancel.
class frmRptIncidentParam : public QDialog {
    Q_OBJECT
public:
    // Fills the three lists; a failed read reaches the caller.
    explicit frmRptIncidentParam(cReportHost& host, QWidget* parent = nullptr);
    ~frmRptIncidentParam() override;

    void cmdPrintPreview_Click();
    // Writes the accepted touches into tblTempIncident and previews them; a key below 1 or
    // an empty reader ID filters nothing. Puts the window back in its idle state at its end.
    void BuildIncidentReport_ORIGINAL(DbCursor& EventsRecordset, const QDateTime& StartDate,
                                      const QDateTime& EndDate, qint64 EventId,
                                      const QString& EventName, qint64 SiteId,
                                      const QString& SiteName, const QString& ReaderId,
                                      const QString& ReaderName);

protected:
    // The window's unload, however it closes.
    void done(int result) override;

private:
    void Form_Load();
    void LoadFilterLists();
    void SetBusy(bool busy);

    std::unique_ptr<Ui::frmRptIncidentParam> ui;
    cReportHost& host;
    // The reader IDs of the reader list; an entry's key is its position here.
    QStringList ReaderIds;
    std::optional<BusyPointer> hourglass; // while a report is built
};

// The dialog as the reports page opens it, captioned with the report's name.
std::unique_ptr<QDialog> MakeIncidentSitesDialog(cReportHost& host, const QString& caption);
