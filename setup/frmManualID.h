#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmManualID;
}

// Takes a button ID typed by the user instead of read from the reader.
class frmManualID : public QDialog {
    Q_OBJECT
public:
    explicit frmManualID(QWidget* parent = nullptr);
    ~frmManualID() override;

    bool OK() const { return ok; }
    // Six upper-case hexadecimal digits once accepted.
    QString ID() const { return id; }

private:
    void cmdOK_Click();

    std::unique_ptr<Ui::frmManualID> ui;
    bool ok = false;
    QString id;
};
