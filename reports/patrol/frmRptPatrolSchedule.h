#pragma once

#include <QDialog>
#include <memory>

class QTreeWidget;
class cReportHost;
namespace Ui {
class frmRptPatrolSchedule;
}

// The patrol schedule's choice of tour: every tour by name, with its description and start
// time. Print Preview (or a double-click on a row) prints the chosen tour's schedule; the
// dialog stays open for the next one until Cancel.
class frmRptPatrolSchedule : public QDialog {
    Q_OBJECT
public:
    // Fills the tour list; a failed read reaches the caller.
    explicit frmRptPatrolSchedule(cReportHost& host, QWidget* parent = nullptr);
    ~frmRptPatrolSchedule() override;

    QTreeWidget* lvwMain() const;
    // Previews the schedule of the selected row's tour; nothing without a selection.
    void SelectTour();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillTourList();
    void ResizeColumns();

    std::unique_ptr<Ui::frmRptPatrolSchedule> ui;
    cReportHost& host;
};

// The dialog as the reports page opens it, captioned with the report's name.
std::unique_ptr<QDialog> MakePatrolScheduleDialog(cReportHost& host, const QString& caption);
