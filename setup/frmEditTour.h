#pragma once

#include "cTourPointList.h"

#include <QDialog>
#include <QStringList>
#include <QTime>
#include <memory>

class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class frmEditTour;
}

// "Customize Tour Sequence": a tour's name, description, start time and tolerance, and its
// points built from the locations of the sites. Saving replaces the tour's points; the caller
// writes the tour's own row when OK() is true.
class frmEditTour : public QDialog {
    Q_OBJECT
public:
    explicit frmEditTour(QWidget* parent = nullptr);
    ~frmEditTour() override;

    void setGroupID(qint64 id) { groupId = id; }
    qint64 GroupID() const { return groupId; }
    int Tolerance() const { return tolerance; }
    void setTolerance(int minutes) { tolerance = minutes; }
    QString ListName() const { return listName; }
    // Also the starting name, which the names check lets pass.
    void setListName(const QString& name);
    QString ListDesc() const { return listDesc; }
    void setListDesc(const QString& desc) { listDesc = desc; }
    void setExistingNames(const QStringList& names) { existingNames = names; }
    QTime StartTime() const { return startTime; }
    // Only the hours and minutes are kept.
    void setStartTime(const QTime& time);
    bool OK() const { return ok; }

    // Fills the window from the properties and the database; throws AppError.
    void Populate();

    const cTourPointList& TourPoints() const { return points; }
    int DefaultInterval() const { return defaultInterval; }
    QString DragSource() const { return dragSource; }
    int InsertionIndex() const { return insertionIndex; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetupLocationColumns();
    void SetupTourPointColumns();
    void SetColumnWidths();
    // Opens as wide as whole names in both lists need, where the screen has room.
    void WidenForNames();
    void LoadSites();
    void LoadSiteLocations(qint64 siteId);
    void FillTourPointsList();
    void ShowTourPoints(int select);
    void RecalcTourTimes();
    void UpdateControls();
    void EnableButtons();
    int SelectedPoint() const;
    void SelectPoint(int position);

    bool ToleranceIsValid(double* value) const;
    void cmdMove_Click(int index);
    void cmdOK_Click();
    void imgCboSites_Click(int index);
    void EditSelectedInterval();

    void AddLocation();
    void RemoveLocation();
    void RemoveAllLocations();
    void PromoteLocation();
    void DemoteLocation();
    void EditTourPointTime(int minutes);

    bool listMouseEvent(QTreeWidget* list, QEvent* event);
    bool selectedDragEvent(QEvent* event);
    bool locationsDragEvent(QEvent* event);
    void StartDrag(QTreeWidget* list, const QPoint& at);
    void DragOverSelected(const QPoint& at);
    void HideInsertMarker();

    std::unique_ptr<Ui::frmEditTour> ui;
    cTourPointList points;
    qint64 groupId = 0;
    int tolerance = 0;
    QString listName;
    QString startingName;
    QString listDesc;
    QStringList existingNames;
    QTime startTime{0, 0};
    bool ok = false;
    int defaultInterval = 10;
    QString dragSource;
    int insertionIndex = 0;
    QTreeWidget* pressList = nullptr;
    QPoint pressPos;
};
