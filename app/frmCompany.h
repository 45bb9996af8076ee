#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmCompany;
}

// Edits the four company lines printed at the head of every report.
class frmCompany : public QDialog {
    Q_OBJECT
public:
    explicit frmCompany(QWidget* parent = nullptr);
    ~frmCompany() override;

private:
    void cmdOk_Click();
    std::unique_ptr<Ui::frmCompany> ui;
};
