#pragma once

#include <QDialog>
#include <memory>

class QTreeWidget;
class cReportHost;
namespace Ui {
class frmRptIncidentNew;
}

// The incident report's choices: a date and time range, the readers whose touches count and
// the incident buttons to report on. Stays open after each preview until Cancel.
class frmRptIncidentNew : public QDialog {
    Q_OBJECT
public:
    explicit frmRptIncidentNew(cReportHost& host, QWidget* parent = nullptr);
    ~frmRptIncidentNew() override;

    // 0 ("All") ticks every entry of the list, any other index ("None") unticks them.
    void cmdReaders_Click(int index);
    void cmdEvents_Click(int index);
    void cmdPrintPreview_Click();

    QTreeWidget* lvwReaders() const;
    QTreeWidget* lvwEvents() const;

protected:
    // The window's unload, however it closes.
    void done(int result) override;

private:
    void Form_Load();
    void InitForm();
    void SetIdle(bool idle);

    std::unique_ptr<Ui::frmRptIncidentNew> ui;
    cReportHost& host;
};

// The dialog as the reports page opens it, captioned with the report's name.
std::unique_ptr<QDialog> MakeIncidentReportDialog(cReportHost& host, const QString& caption);
