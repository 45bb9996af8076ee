#pragma once

#include "mOperators.h"

#include <QDialog>
#include <memory>

namespace Ui {
class frmLogin;
}

// Chooses the master user or the plain user and checks the password.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    explicit frmLogin(QWidget* parent = nullptr);
    ~frmLogin() override;
    // 0 abandoned or failed, 1 master user, 2 plain user.
    int LoginResult() const { return loginResult; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SetOptionCaptions();
    void LoadLoginImage();
    void RestoreLastLogin();
    void DoLogin();
    void focusPassword();

    std::unique_ptr<Ui::frmLogin> ui;
    int loginResult = Operator::None;
    int failures = 0;
};
