#pragma once

#include "WorkProgress.h"

#include <QDialog>
#include <QTimer>
#include <memory>

namespace Ui {
class frmWaitReport;
}
class QLabel;
class QProgressBar;

// Copies the touches of a range into tblCustom half a second after it appears, showing how
// far it got; closes itself when rows were copied. "No Data on the report", or a failure,
// stays on show until Cancel. Cancel during the copy leaves the table as it was.
class frmWaitReport : public QDialog, private WorkObserver {
    Q_OBJECT
public:
    explicit frmWaitReport(QWidget* parent = nullptr);
    ~frmWaitReport() override;

    // The range of touch times, as stored texts, both ends included. Set before the window
    // is shown.
    void SetRange(const QString& startText, const QString& endText);
    // True when tblCustom was filled with at least one row.
    bool OK() const { return ok; }

    QLabel* lblResult() const;
    QProgressBar* prgProgress() const;

    // Cancel, Escape and the close box: during the copy it stops at the next day.
    void reject() override;

private:
    void tmrStart_Timer();
    void GoProcessData();
    void ShowResult(const QString& text);
    // The copy's progress on the window's own bar; false once Cancel was pressed.
    void Stage(const QString&, qint64, bool) override {}
    bool Step(qint64 permille) override;

    std::unique_ptr<Ui::frmWaitReport> ui;
    QTimer tmrStart;
    QString startText;
    QString endText;
    bool ok = false;
    bool copying = false;
    bool cancelled = false;
};
