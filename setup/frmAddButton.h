#pragma once

#include "mButtons.h"

#include <QDialog>
#include <QStringList>
#include <QTimer>
#include <memory>

class cSerialLink;
namespace Ui {
class frmAddButton;
}

// Adds one key to a group: the user touches it to the docked reader, whose button-ID packet
// the dialog takes from the link's receive buffer every 300 ms, or types its ID. An ID that
// any group already uses is refused. The caller writes the button.
class frmAddButton : public QDialog {
    Q_OBJECT
public:
    explicit frmAddButton(cSerialLink& link, QWidget* parent = nullptr);
    ~frmAddButton() override;

    // A picture key of the dialog pictures ("users", "locations", "events").
    void SetIcon(const QString& key);
    QString ButtonName() const { return buttonName; }
    void setButtonName(const QString& name);
    bool OK() const { return ok; }
    // The new key's ID; empty while no new ID has been read or typed.
    QString DallasID() const { return dallasId; }
    QString Desc() const { return desc; }
    void setDesc(const QString& text);
    // The names of the group's buttons.
    void setExistingNames(const QStringList& names) { existingNames = names; }

    // One look at the receive buffer (the timer's work).
    void tmrGetID_Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    // The line went: said once, and the dialog closes.
    void LineLost();
    void cmdManual_Click();
    void cmdOK_Click();
    // The new-or-known decision on an ID read or typed.
    void Decide(const QString& id);
    void LoadButtonCodes();

    cSerialLink& link;
    std::unique_ptr<Ui::frmAddButton> ui;
    cButtonIdListener listener;
    QTimer tmrGetID;
    QTimer tmrFlash; // brings the verdict back after a repeated key blanked it
    QString verdictPicture;
    bool ok = false;
    bool lineLost = false;
    // The line the dialog opened on; gone once closed or opened again.
    bool LineGone() const;
    bool openAtStart = false;
    quint64 openCountAtStart = 0;
    QString dallasId;
    QString buttonName;
    QString desc;
    QStringList existingNames;
};
