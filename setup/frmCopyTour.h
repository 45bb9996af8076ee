#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmCopyTour;
}

// Lets the user choose the tour whose points are copied into a new tour; the caller copies.
class frmCopyTour : public QDialog {
    Q_OBJECT
public:
    // Lists the tours by name; a failed read reaches the caller.
    explicit frmCopyTour(QWidget* parent = nullptr);
    ~frmCopyTour() override;

    bool OK() const { return ok; }
    // The ID of the chosen tour; 0 when none is listed.
    qint64 TourID() const;

private:
    void LoadTours();
    void cmdOK_Click();

    std::unique_ptr<Ui::frmCopyTour> ui;
    bool ok = false;
};
