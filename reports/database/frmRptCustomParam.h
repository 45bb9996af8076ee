#pragma once

#include <QDialog>
#include <memory>

class cReportHost;
namespace Ui {
class frmRptCustomParam;
}

// The choices of the database report: a range of touch dates and times, typed or taken from
// a preset that prints at once. It stays open after each preview, until Cancel.
class frmRptCustomParam : public QDialog {
    Q_OBJECT
public:
    explicit frmRptCustomParam(cReportHost& host, QWidget* parent = nullptr);
    ~frmRptCustomParam() override;

    // 0 "Today", 1 "Last 7 Days", 2 "Last30 Days": sets the range and prints.
    void cmdPreset_Click(int index);
    void cmdPrintPreview_Click();

private:
    void Form_Load();
    void ShowReport();

    std::unique_ptr<Ui::frmRptCustomParam> ui;
    cReportHost& host;
};

// The dialog as the reports page opens it, captioned with the report's name.
std::unique_ptr<QDialog> MakeCustomReportDialog(cReportHost& host, const QString& caption);
