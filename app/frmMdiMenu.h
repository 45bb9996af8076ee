#pragma once

#include "Page.h"

class QLabel;

// The home page: product title, version, copyright line and the contact picture.
class frmMdiMenu : public Page {
    Q_OBJECT
public:
    explicit frmMdiMenu(QWidget* parent = nullptr);
    void Translate() override;

private:
    void Form_Load();

    QLabel* lblMainTitle;
    QLabel* lblVersionMsg;
    QLabel* lblCopyright;
    QLabel* lblContactNote;
    QLabel* imgContact;
    QLabel* imgIcon;
};
