#include "frmRptTour.h"

#include "ui_frmRptTour.h"

#include "Settings.h"
#include "mDeclareAPI.h"
#include "mErrorHandler.h"
#include "mGlobals.h"

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kShowAll = QStringLiteral("ShowAllStatus");
const QString kShowEvents = QStringLiteral("ShowEventsStatus");

} // namespace

frmRptTour::frmRptTour(TourReportPreview showPreview, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmRptTour>()), preview(std::move(showPreview)) {
    ui->setupUi(this);
    connect(ui->cmdPrintPreview, &QPushButton::clicked, this, &frmRptTour::RunTourReport);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmRptTour::cmdCancel_Click);
    Form_Load();
}

frmRptTour::~frmRptTour() = default;

void frmRptTour::Form_Load() {
    try {
        ui->dtpStartDate->setDisplayFormat(GetShortDateFormat());
        ui->dtpStartDate->setDate(QDate::currentDate());
        ok = false;
        FillTourCombo();
        FillReaderCombo();
        GetSelectedReader();
        LoadReportOptions();
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("Form_Load of Form frmRptTour"), e, false);
    }
}

void frmRptTour::FillTourCombo() {
    ui->imgcboTour->clear();
    const QIcon tour(QStringLiteral(":/pictures/tour.png"));
    const DbRows rows =
        gConn->Query(QStringLiteral("SELECT ID, tName, tDesc FROM tblTours ORDER BY tName, ID"));
    for (const DbRow& row : rows)
        ui->imgcboTour->addItem(tour,
                                row.text(QStringLiteral("tName")) + QStringLiteral(" - ") +
                                    row.text(QStringLiteral("tDesc")),
                                row.integer(QStringLiteral("ID")));
    if (rows.isEmpty())
        ui->cmdPrintPreview->setEnabled(false);
    else
        ui->imgcboTour->setCurrentIndex(0);
}

void frmRptTour::FillReaderCombo() {
    ui->imgcboReader->clear();
    const DbRows rows =
        gConn->Query(QStringLiteral("SELECT * FROM tblReaders ORDER BY tDescription, tReaderId"));
    for (const DbRow& row : rows)
        ui->imgcboReader->addItem(row.text(QStringLiteral("tReaderId")) + QStringLiteral(" - ") +
                                      row.text(QStringLiteral("tDescription")),
                                  row.text(QStringLiteral("tReaderId")));
    if (rows.isEmpty()) {
        ui->cmdPrintPreview->setEnabled(false);
    } else {
        ui->imgcboReader->setEnabled(true);
        ui->imgcboReader->setCurrentIndex(0);
        ui->cmdPrintPreview->setEnabled(ui->imgcboTour->count() > 0);
    }
}

void frmRptTour::GetSelectedReader() {
    readerId =
        ui->imgcboReader->count() > 0 ? ui->imgcboReader->currentData().toString() : QString();
}

void frmRptTour::LoadReportOptions() {
    showAll = Settings::GetBool(kSettings, kShowAll, false);
    includeEvents = Settings::GetBool(kSettings, kShowEvents, false);
    ui->chkIncludeEvents->setChecked(includeEvents);
    (showAll ? ui->optShowAll_1 : ui->optShowAll_0)->setChecked(true);
}

void frmRptTour::RunTourReport() {
    // Nothing to report on without a tour and a reader.
    if (ui->imgcboTour->currentIndex() < 0 || ui->imgcboReader->currentIndex() < 0)
        return;
    tourID = static_cast<qint32>(ui->imgcboTour->currentData().toLongLong());
    startDate = ui->dtpStartDate->date();
    readerId = ui->imgcboReader->currentData().toString();
    const QString readerName = ui->imgcboReader->currentText();
    includeEvents = ui->chkIncludeEvents->isChecked();
    showAll = ui->optShowAll_1->isChecked();
    BuildTourReport(tourID, startDate, readerId, readerName, includeEvents, showAll);
}

void frmRptTour::BuildTourReport(qint32 TourID, const QDate& StartDate, const QString& ReaderId,
                                 const QString& ReaderName, bool ShowEvents, bool IsTourReport) {
    ::BuildTourReport({TourID, StartDate, ReaderId, ReaderName, ShowEvents, IsTourReport}, preview);
}

void frmRptTour::cmdCancel_Click() {
    ok = false;
    reject();
}

void frmRptTour::done(int result) {
    Settings::SaveBool(kSettings, kShowAll, showAll);
    Settings::SaveBool(kSettings, kShowEvents, includeEvents);
    QDialog::done(result);
}
