#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

class cSerialLink;
namespace Ui {
class frmAddReader;
}

// Adds a reader: reads the ID of the reader standing in the docking station and takes a
// description for it. An ID already stored is refused. The caller writes the row.
class frmAddReader : public QDialog {
    Q_OBJECT
public:
    explicit frmAddReader(cSerialLink& link, QWidget* parent = nullptr);
    ~frmAddReader() override;

    bool OK() const { return ok; }
    // The new reader's ID, as the last successful read found it; empty otherwise.
    QString ReaderId() const { return readerId; }
    QString Desc() const { return desc; }
    void setDesc(const QString& text);
    // The descriptions already used.
    void setExistingNames(const QStringList& names) { existingNames = names; }

protected:
    void done(int result) override;

private:
    // The line went: said once, and the dialog closes.
    void LineLost();
    void cmdRead_Click();
    bool CheckReaderID();
    void cmdOK_Click();

    cSerialLink& link;
    std::unique_ptr<Ui::frmAddReader> ui;
    bool ok = false;
    bool lineLost = false;
    // The line the dialog opened on; gone once closed or opened again.
    bool LineGone() const;
    bool openAtStart = false;
    quint64 openCountAtStart = 0;
    bool reading = false;
    QString readerId;
    QString desc;
    QStringList existingNames;
};
