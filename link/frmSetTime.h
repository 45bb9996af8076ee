#pragma once

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLabel;
class QRadioButton;
class QTimeEdit;
class cSerialLink;
class cCommandExchange;
enum class LinkResult;

// "Configuration": sets the docked reader's clock and its signal options.
class frmSetTime : public QDialog {
    Q_OBJECT
public:
    explicit frmSetTime(cSerialLink& link, QWidget* parent = nullptr);
    void Translate();

protected:
    void done(int result) override;

private:
    void ShowPCTime();
    void LoadReaderSettings();
    LinkResult SendTime(cCommandExchange& exchange);
    LinkResult SendReaderOptions(cCommandExchange& exchange);
    void cmdSendRealTime_Click();

    cSerialLink& link;
    QString sentTime;
    bool stored = false;
    QCheckBox* chkSendTimeOnUpload;
    QDateEdit* dtpPanelDate;
    QRadioButton* optSetTime_0;
    QRadioButton* optSetTime_1;
    QLabel* lblPCTime;
    QTimeEdit* DTPicker1;
    QCheckBox* chkSound;
    QCheckBox* chkLED;
    QCheckBox* chkVibration;
    QRadioButton* optTime_0;
    QRadioButton* optTime_1;
    QLabel* lblNote;
    QWidget* fraDate;
    QWidget* Frame10;
    QWidget* Frame2;
    QWidget* Frame1;
    QWidget* cmdSendRealTime;
    QWidget* cmdCancel;
};

// Shows the reader's firmware version.
class frmFirmwareVersion : public QDialog {
    Q_OBJECT
public:
    explicit frmFirmwareVersion(const QString& version, QWidget* parent = nullptr);
};
