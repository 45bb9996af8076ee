#pragma once

#include "Page.h"
#include "mSetup.h"

#include <functional>
#include <memory>

class QTreeWidgetItem;
class cSetupHost;
namespace Ui {
class frmMDISetup;
}

// The setup page: sites, event books, tours and readers, one tab each, with the buttons that
// add, delete and copy them. The list is never edited in place: every change is written to the
// database, the rows of its kind are read again and the list is rebuilt.
class frmMDISetup : public Page {
    Q_OBJECT
public:
    // The keys of the tabs, in their order.
    static const QString kSites, kEventBooks, kTours, kReaders;
    // The row's tag (a cGroupRow, cTourRow or cReaderRow) and its key (group or tour ID,
    // reader ID).
    static constexpr int kTagRole = Qt::UserRole;
    static constexpr int kKeyRole = Qt::UserRole + 1;

    explicit frmMDISetup(cSetupHost& host, QWidget* parent = nullptr);
    ~frmMDISetup() override;
    void Translate() override;

    // Rebuilds the columns and rows of the tab from the rows last read, sorted by the first
    // column, selects the first row and sets the buttons.
    void ShowTabList(const QString& key);
    QString SelectedTabKey() const;
    QTreeWidgetItem* SelectedItem() const;

    // The operations behind the buttons, on the tab shown and its selected row.
    void AddGroup(int groupType);
    // Failures reach the caller, which reports them.
    void DeleteGroup();
    // The group editor on the selected group; the group's name and description are written
    // when it closes with OK (its buttons it writes itself).
    void EditGroup();
    void UpdateGroup(qint64 groupId, const QString& name, const QString& desc);
    // The new tour's ID; 0 when it could not be written.
    qint64 AddTour();
    void EditTour();
    void DeleteTour();
    // A reader whose ID is read from the docked reader.
    void AddReader();
    void EditReader();
    void DeleteReader();
    void cmdTourCopy_Click();
    void CopyTour(qint64 sourceId);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Action { Edit, Add, Delete };
    // The operation of a button on the tab shown; empty where the tab has none.
    std::function<void()> Operation(Action action);
    void cmdSetup_Click(int index);
    void tabSetup_Click();
    void OpenGroupsRecordset();
    void OpenToursRecordset();
    void OpenReadersRecordset();
    void SetColumnsAsGroups();
    void SetColumnsAsTours();
    void SetColumnsAsReaders();
    void PopulateAsGroups(int groupType);
    void PopulateAsTours();
    void PopulateAsReaders();
    void SetColumnWidths();
    void EnableDelete(bool enabled);
    QStringList ListedTexts(int column) const;
    int SelectedPosition() const;
    void SelectByKey(const QVariant& key);
    void SelectAfterDelete(int position);

    cSetupHost& host;
    std::unique_ptr<Ui::frmMDISetup> ui;
    QVector<cGroupRow> rsGroups;
    QVector<cTourRow> rsTours;
    QVector<cReaderRow> rsReaders;
};
