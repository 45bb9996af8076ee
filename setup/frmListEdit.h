#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

class QTreeWidgetItem;
class cSerialLink;
namespace Ui {
class frmListEdit;
}

// The group editor: a site's or event book's name and description and its buttons. The
// buttons are written at once, whatever the user answers later; the caller writes the group
// row when the editor closes with OK.
class frmListEdit : public QDialog {
    Q_OBJECT
public:
    static constexpr int kIdRole = Qt::UserRole; // the row's tag: tblButtons.ID

    explicit frmListEdit(cSerialLink& link, QWidget* parent = nullptr);
    ~frmListEdit() override;

    bool OK() const { return ok; }
    void setID(qint64 value) { id = value; }
    QString ListName() const { return listName; }
    // Also the starting name, which the name check lets pass unchanged.
    void setListName(const QString& name);
    QString ListDesc() const { return listDesc; }
    void setListDesc(const QString& text) { listDesc = text; }
    int ItemType() const { return itemType; }
    void setItemType(int value) { itemType = value; }
    // The names of every group of the caller's tab, this one's own included.
    void setExistingNames(const QStringList& names) { existingNames = names; }
    // Fills the name and description boxes from the properties and the list from the database.
    void Update();

    // The operations of the buttons.
    void DoAddItem();
    void DoEditItem();
    void DeleteButtonItem();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Reads the group's buttons again and rebuilds the list; the typed name stays.
    void RefreshList();
    void InitItemColumns();
    void FillItemList();
    void SetColumnWidths();
    void AddButtonItem();
    void EditButtonItem();
    QStringList ListedNames() const;
    QTreeWidgetItem* SelectedItem() const;
    void cmdOK_Click();

    cSerialLink& link;
    std::unique_ptr<Ui::frmListEdit> ui;
    bool ok = false;
    bool addAllowed = false;
    qint64 id = 0;
    QString listName;
    QString startingName;
    QString listDesc;
    int itemType = 0;
    QStringList existingNames;
};
