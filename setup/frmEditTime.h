#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmEditTime;
}

// Edits one tour point's interval in minutes.
class frmEditTime : public QDialog {
    Q_OBJECT
public:
    explicit frmEditTime(QWidget* parent = nullptr);
    ~frmEditTime() override;

    bool OK() const { return ok; }
    void setOK(bool value) { ok = value; }
    int IntervalTime() const { return intervalTime; }
    // Also shows the value in the text box.
    void setIntervalTime(int minutes);

    // Takes the typed text when it is a number from 0 to 1439; otherwise says so and stays.
    void AcceptTime();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::frmEditTime> ui;
    int intervalTime = 0;
    bool ok = false;
};
