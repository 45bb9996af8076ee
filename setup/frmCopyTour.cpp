#include "frmCopyTour.h"

#include "ui_frmCopyTour.h"

#include "Database.h"
#include "mGlobals.h"

frmCopyTour::frmCopyTour(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmCopyTour>()) {
    ui->setupUi(this);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmCopyTour::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    LoadTours();
}

frmCopyTour::~frmCopyTour() = default;

void frmCopyTour::LoadTours() {
    ui->cboTours->clear();
    for (const DbRow& row :
         gConn->Query(QStringLiteral("SELECT ID, tName, tDesc FROM tblTours ORDER BY tName, ID")))
        ui->cboTours->addItem(row.text(QStringLiteral("tName")) + QStringLiteral(" - ") +
                                  row.text(QStringLiteral("tDesc")),
                              row.integer(QStringLiteral("ID")));
    if (ui->cboTours->count() > 0)
        ui->cboTours->setCurrentIndex(0);
    // Without a tour there is nothing to choose.
    ui->cmdOK->setEnabled(ui->cboTours->count() > 0);
}

qint64 frmCopyTour::TourID() const {
    return ui->cboTours->currentIndex() < 0 ? 0 : ui->cboTours->currentData().toLongLong();
}

void frmCopyTour::cmdOK_Click() {
    ok = true;
    accept();
}
