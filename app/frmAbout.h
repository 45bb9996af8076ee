#pragma once

#include <QDialog>

class QLabel;

// The about box.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
    void Populate();

private:
    QLabel* lblTitle;
    QLabel* lblVer;
    QLabel* lblBuild;
    QLabel* lblWarning;
    QLabel* lblCopyright;
    QLabel* lblCustom;
};
