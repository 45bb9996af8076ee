#pragma once

#include <QDate>
#include <QDialog>
#include <memory>

namespace Ui {
class frmArchive;
}

// Moves the touches of a range of days into a CSV file chosen by the user.
class frmArchive : public QDialog {
    Q_OBJECT
public:
    explicit frmArchive(QWidget* parent = nullptr);
    ~frmArchive() override;

    bool OK() const { return ok; }
    QDate StartDate() const { return startDate; }
    QDate EndDate() const { return endDate; }

    // The OK button: confirms, asks for the file, writes it and deletes the archived touches.
    void ArchiveEvents();

private:
    std::unique_ptr<Ui::frmArchive> ui;
    bool ok = false;
    QDate startDate;
    QDate endDate;
};
