#pragma once

#include "Page.h"

class QLabel;

// The home page: product title, version, copyright line and the contact picture.
class frmMdiMenu : public Page {
    Q_OBJECT
public:
    explicit frmMdiMenu(QWidget* parent = nullptr);
    void Translate() override;
    // The plain user is told only of what he has.
    void setMasterUser(bool master) { masterUser = master; }

private:
    void Form_Load();

    bool masterUser = true;

    QLabel* lblMainTitle;
    QLabel* lblVersionMsg;
    QLabel* lblCopyright;
    QLabel* lblContactNote;
    QLabel* imgContact;
    QLabel* imgIcon;
};
