#include "frmRptPatrolSchedule.h"

#include "ui_frmRptPatrolSchedule.h"

#include "Database.h"
#include "ListColumns.h"
#include "WrappedRows.h"
#include "mGlobals.h"
#include "mPatrolSchedule.h"
#include "tour/mTourTime.h"

#include <QHeaderView>
#include <QShowEvent>

namespace {

constexpr int kIdRole = Qt::UserRole;

// The stored start time as "HH:mm"; a text that is no time of day is shown as stored.
QString startTimeText(const QString& stored) {
    int seconds = 0;
    if (!TourTime::ParseTimeOfDay(stored, &seconds))
        return stored;
    return QStringLiteral("%1:%2")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

frmRptPatrolSchedule::frmRptPatrolSchedule(cReportHost& reportHost, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmRptPatrolSchedule>()), host(reportHost) {
    ui->setupUi(this);
    connect(ui->cmdPrintPreview, &QPushButton::clicked, this, &frmRptPatrolSchedule::SelectTour);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Only a double-click previews: some styles activate an entry on a single click.
    connect(ui->lvwMain, &QTreeWidget::itemDoubleClicked, this, &frmRptPatrolSchedule::SelectTour);
    WrapRows(ui->lvwMain); // a description goes on in the next line
    FillTourList();
    // Room for a tour's name at its limit and its start time beside it, and half as much again
    // for the description.
    QTreeWidget* list = ui->lvwMain;
    const int name = NameColumnWidth(list, true);
    const int time = qMax(list->header()->sectionSizeHint(2),
                          TextColumnWidth(list, TimeTexts(QStringLiteral("HH:mm")), false));
    const int description = qMax(list->header()->sectionSizeHint(1), name / 2);
    list->setMinimumWidth(
        qMax(list->minimumWidth(), name + description + time + 16 + 2 * list->frameWidth()));
    ResizeColumns();
}

frmRptPatrolSchedule::~frmRptPatrolSchedule() = default;

QTreeWidget* frmRptPatrolSchedule::lvwMain() const {
    return ui->lvwMain;
}

void frmRptPatrolSchedule::FillTourList() {
    QTreeWidget* list = ui->lvwMain;
    list->clear();
    list->setColumnCount(3);
    list->setHeaderLabels({Translate(QStringLiteral("Tour Name")),
                           Translate(QStringLiteral("Description")),
                           Translate(QStringLiteral("Start Time"))});
    const QIcon tour(QStringLiteral(":/pictures/tour.png"));
    const DbRows rows = gConn->Query(QStringLiteral(
        "SELECT ID, tName, tDesc, iTolerance, dtStartTime FROM tblTours ORDER BY tName, ID"));
    for (const DbRow& row : rows) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, row.text(QStringLiteral("tName")));
        item->setIcon(0, tour);
        item->setText(1, row.text(QStringLiteral("tDesc")));
        item->setText(2, startTimeText(row.text(QStringLiteral("dtStartTime"))));
        item->setData(0, kIdRole, row.integer(QStringLiteral("ID")));
    }
    if (list->topLevelItemCount() > 0) {
        list->setCurrentItem(list->topLevelItem(0));
        list->topLevelItem(0)->setSelected(true);
    }
}

void frmRptPatrolSchedule::ResizeColumns() {
    // The columns keep their proportions of 30, 50 and 30 but share the list's width, so that
    // the start time is never behind the scroll bar; the name takes what it needs first.
    ShareColumns(ui->lvwMain, {27, 46, 27}, {{0, true}}, {{2, TimeTexts(QStringLiteral("HH:mm"))}});
}

void frmRptPatrolSchedule::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The list has its laid-out width only now.
    if (!event->spontaneous())
        ResizeColumns();
}

void frmRptPatrolSchedule::SelectTour() {
    const QList<QTreeWidgetItem*> selected = ui->lvwMain->selectedItems();
    if (selected.isEmpty())
        return;
    const qint32 id = qint32(selected.first()->data(0, kIdRole).toLongLong());
    BuildPatrolScheduleReport(id, host);
}

std::unique_ptr<QDialog> MakePatrolScheduleDialog(cReportHost& host, const QString& caption) {
    auto dialog = std::make_unique<frmRptPatrolSchedule>(host);
    dialog->setWindowTitle(caption);
    return dialog;
}
