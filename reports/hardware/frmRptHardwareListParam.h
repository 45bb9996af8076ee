#pragma once

#include <QDialog>
#include <memory>

class cReportHost;
namespace Ui {
class frmRptHardwareListParam;
}

// The hardware list's choice of sections: locations, incidents and readers, all checked when
// it opens. Print Preview prints the list of the checked sections; the dialog stays open for
// another run until Cancel.
class frmRptHardwareListParam : public QDialog {
    Q_OBJECT
public:
    explicit frmRptHardwareListParam(cReportHost& host, QWidget* parent = nullptr);
    ~frmRptHardwareListParam() override;

    void cmdPrintPreview_Click();
    // Print Preview is enabled while at least one box is checked.
    void UpdatePrintButton();

private:
    std::unique_ptr<Ui::frmRptHardwareListParam> ui;
    cReportHost& host;
};

// The dialog as the reports page opens it, captioned with the report's name.
std::unique_ptr<QDialog> MakeHardwareListDialog(cReportHost& host, const QString& caption);
