#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmUserMaintenance;
}

// Replaces the password of one operator.
class frmUserMaintenance : public QDialog {
    Q_OBJECT
public:
    explicit frmUserMaintenance(QWidget* parent = nullptr);
    ~frmUserMaintenance() override;
    void FormStart(int userType);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ResetPasswordFields();
    bool ReadOperatorRecord();
    bool Update();
    void cmdOK_Click();

    std::unique_ptr<Ui::frmUserMaintenance> ui;
    int userType = 0;
    bool hasRow = false;
};
