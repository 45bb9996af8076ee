#include "frmRptIncidentNew.h"

#include "mGroupTypes.h"
#include "ui_frmRptIncidentNew.h"

#include "Database.h"
#include "ReportRange.h"
#include "incident_sites/mIncidentSites.h"
#include "mDeclareAPI.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mIncidentReport.h"

#include <QTreeWidget>

namespace {

constexpr int kTagRole = Qt::UserRole;

void tickAll(QTreeWidget* list, bool ticked) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        list->topLevelItem(i)->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

QTreeWidgetItem* addTicked(QTreeWidget* list, const QString& text, const QVariant& tag) {
    auto* item = new QTreeWidgetItem(list, {text});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Checked);
    item->setData(0, kTagRole, tag);
    return item;
}

// The reader's ID, then " - " and its description when it has one, as the other reports'
// reader lists show it.
QString readerEntry(const QString& id, const QString& description) {
    return description.isEmpty() ? id : id + QStringLiteral(" - ") + description;
}

QVariantList tickedTags(const QTreeWidget* list) {
    QVariantList tags;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->checkState(0) == Qt::Checked)
            tags << list->topLevelItem(i)->data(0, kTagRole);
    return tags;
}

void tell(const char* text) {
    gTranslator->IvMessageBox(QLatin1String(text), QString(), IvBox::Warning, IvBox::Ok, 0);
}

} // namespace

frmRptIncidentNew::frmRptIncidentNew(cReportHost& reportHost, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmRptIncidentNew>()), host(reportHost) {
    ui->setupUi(this);
    connect(ui->cmdReaders_0, &QPushButton::clicked, this, [this] { cmdReaders_Click(0); });
    connect(ui->cmdReaders_1, &QPushButton::clicked, this, [this] { cmdReaders_Click(1); });
    connect(ui->cmdEvents_0, &QPushButton::clicked, this, [this] { cmdEvents_Click(0); });
    connect(ui->cmdEvents_1, &QPushButton::clicked, this, [this] { cmdEvents_Click(1); });
    connect(ui->cmdPrintPreview, &QPushButton::clicked, this,
            &frmRptIncidentNew::cmdPrintPreview_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

frmRptIncidentNew::~frmRptIncidentNew() = default;

QTreeWidget* frmRptIncidentNew::lvwReaders() const {
    return ui->lvwReaders;
}

QTreeWidget* frmRptIncidentNew::lvwEvents() const {
    return ui->lvwEvents;
}

void frmRptIncidentNew::Form_Load() {
    try {
        const QString datePattern = GetShortDateFormat();
        ui->dtpStartDate->setDisplayFormat(datePattern);
        ui->dtpEndDate->setDisplayFormat(datePattern);
        ui->dtpStartDate->setDate(QDate::currentDate());
        ui->dtpEndDate->setDate(QDate::currentDate());
        ui->dtpStartTime->setTime(QTime(0, 0));
        ui->dtpEndTime->setTime(QTime(23, 59, 59));
        InitForm();
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("Form_Load of Form frmRptIncidentNew"), e, false);
    }
}

void frmRptIncidentNew::InitForm() {
    try {
        const DbRows buttons = gConn->Query(
            QStringLiteral(
                "SELECT tblListItems.tName, tblButtons.ID, tblButtons.tButtonCode, "
                "tblButtons.tButtonName, tblButtons.tButtonDesc FROM tblListItems INNER JOIN "
                "tblButtons ON tblListItems.ID = tblButtons.lParentID WHERE tblListItems.wType = ? "
                "ORDER BY tblListItems.tName, tblButtons.tButtonName, tblButtons.ID"),
            {GroupTypeEventBook});
        if (buttons.isEmpty()) {
            ui->cmdPrintPreview->setEnabled(false);
            tell(TR_TEXT("There must be at least one event selected to create a report"));
        }
        ui->lvwEvents->clear();
        ui->lvwEvents->setColumnCount(1);
        ui->lvwEvents->setHeaderLabels({Translate(QStringLiteral("Select Incident/s"))});
        const QString pattern = Translate(QStringLiteral("%0:s [%1:s] -- %2:s"));
        for (const DbRow& row : buttons) {
            QTreeWidgetItem* item =
                addTicked(ui->lvwEvents,
                          Translator::FormatStr(pattern, {row.text(QStringLiteral("tButtonName")),
                                                          row.text(QStringLiteral("tButtonCode")),
                                                          row.text(QStringLiteral("tName"))}),
                          row.integer(QStringLiteral("ID")));
            item->setToolTip(0, row.text(QStringLiteral("tButtonDesc")));
        }

        const DbRows readers = gConn->Query(
            QStringLiteral("SELECT tblReaders.tReaderId, tblReaders.tDescription FROM tblReaders "
                           "ORDER BY tblReaders.tReaderId"));
        if (readers.isEmpty()) {
            ui->cmdPrintPreview->setEnabled(false);
            tell(TR_TEXT("There must be at least one reader selected to create a report"));
        }
        ui->lvwReaders->clear();
        for (const DbRow& row : readers)
            addTicked(ui->lvwReaders,
                      readerEntry(row.text(QStringLiteral("tReaderId")),
                                  row.text(QStringLiteral("tDescription"))),
                      row.text(QStringLiteral("tReaderId")));
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("InitForm of Form frmRptIncidentNew"), e, false);
    }
}

void frmRptIncidentNew::cmdReaders_Click(int index) {
    tickAll(ui->lvwReaders, index == 0);
}

void frmRptIncidentNew::cmdEvents_Click(int index) {
    tickAll(ui->lvwEvents, index == 0);
}

void frmRptIncidentNew::SetIdle(bool idle) {
    ui->cmdCancel->setEnabled(idle);
    ui->cmdPrintPreview->setEnabled(idle);
}

void frmRptIncidentNew::cmdPrintPreview_Click() {
    try {
        SetIdle(false);
        repaint();
        const QDateTime start = RangeMoment(ui->dtpStartDate->date(), ui->dtpStartTime->time());
        const QDateTime end = RangeEnd(ui->dtpEndDate->date(), ui->dtpEndTime->time());

        colReaders readers;
        for (const QVariant& tag : tickedTags(ui->lvwReaders))
            readers << cReader(tag.toString());
        if (readers.isEmpty()) {
            tell(TR_TEXT("There must be at least one reader selected to create a report"));
            SetIdle(true);
            return;
        }
        colEvents events;
        for (const QVariant& tag : tickedTags(ui->lvwEvents))
            events << qint32(tag.toLongLong());
        if (events.isEmpty()) {
            tell(TR_TEXT("There must be at least one event selected to create a report"));
            SetIdle(true);
            return;
        }
        BuildIncidentReport(start, end, readers, events, host);
        SetIdle(true);
    } catch (const AppError& e) {
        if (e.number != 0)
            HandleError(QStringLiteral("cmdPrintPreview_Click of Form frmRptIncidentNew"), e, true);
        SetIdle(true);
    }
}

void frmRptIncidentNew::done(int result) {
    DropTempIncidentTable();
    QDialog::done(result);
}

std::unique_ptr<QDialog> MakeIncidentReportDialog(cReportHost& host, const QString& caption) {
    auto dialog = std::make_unique<frmRptIncidentNew>(host);
    dialog->setWindowTitle(caption);
    return dialog;
}
