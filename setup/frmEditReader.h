#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class frmEditReader;
}

// Changes a reader's description, its name on screen and in reports; the caller writes it.
class frmEditReader : public QDialog {
    Q_OBJECT
public:
    explicit frmEditReader(QWidget* parent = nullptr);
    ~frmEditReader() override;

    bool OK() const { return ok; }
    void setOK(bool value) { ok = value; }
    // Setting it also sets the starting name, which the name check lets pass unchanged.
    QString Desc() const { return desc; }
    void setDesc(const QString& text);
    QString ReaderId() const { return readerId; }
    void setReaderId(const QString& id) { readerId = id; }
    // The descriptions of all readers, this one's own included.
    void setExistingNames(const QStringList& names) { existingNames = names; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdOK_Click();

    std::unique_ptr<Ui::frmEditReader> ui;
    bool ok = false;
    QString desc;
    QString startingName;
    QString readerId;
    QStringList existingNames;
};
