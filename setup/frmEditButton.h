#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class frmEditButton;
}

// Changes the name and description of a button of a group; the caller writes the row.
class frmEditButton : public QDialog {
    Q_OBJECT
public:
    explicit frmEditButton(QWidget* parent = nullptr);
    ~frmEditButton() override;

    bool OK() const { return ok; }
    void setOK(bool value) { ok = value; }
    void SetCaption(const QString& text) { setWindowTitle(text); }
    // A picture key of the dialog pictures ("users", "locations", "events", ...).
    void SetIcon(const QString& key);
    QString EditName() const { return editName; }
    // Also the starting name, which the name check lets pass unchanged.
    void setEditName(const QString& name);
    // The names of all buttons of the group, this one's own included.
    void setExistingNames(const QStringList& names) { existingNames = names; }
    QString Desc() const { return desc; }
    void setDesc(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdOK_Click();

    std::unique_ptr<Ui::frmEditButton> ui;
    bool ok = false;
    QString editName;
    QString startingName;
    QString desc;
    QStringList existingNames;
};
