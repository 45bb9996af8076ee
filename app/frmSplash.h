#pragma once

#include <QWidget>

class QLabel;

// The start-up window with the version line and the progress texts.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    ~frmSplash() override;
    void ShowVersion(const QString& text);
    void ShowMessage(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* imgMain;
    QLabel* lblVersion;
    QLabel* lblMsg;
};
