#include "frmMdiReports.h"

#include "Twips.h"
#include "WrappedRows.h"
#include "ui_frmMdiReports.h"

#include "cReportHost.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mSupport.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <QTreeWidget>

namespace {

constexpr int kKeyRole = Qt::UserRole;

void ShowPrerequisite(const char* text) {
    gTranslator->IvMessageBox(QLatin1String(text), QString(), IvBox::Warning, IvBox::Ok, 0);
}

} // namespace

frmMdiReports::frmMdiReports(cReportHost& reportHost, Catalog dialogs, QWidget* parent)
    : Page(parent), ui(std::make_unique<Ui::frmMdiReports>()), host(reportHost), catalog(dialogs) {
    ui->setupUi(this);
    setObjectName(QStringLiteral("frmMdiReports"));
    reportIcon = style()->standardIcon(QStyle::SP_FileIcon);
    arrowIcon = style()->standardIcon(QStyle::SP_ArrowRight);
    ui->lvwReports->setSelectionMode(QAbstractItemView::SingleSelection);
    // Both columns take half of the list, as SizeReportColumns sets them.
    ui->lvwReports->header()->setStretchLastSection(false);
    // A description longer than its half of the list goes on in the next line.
    WrapRows(ui->lvwReports);
    ui->lvwReports->installEventFilter(this);
    connect(ui->lvwReports, &QTreeWidget::itemDoubleClicked, this,
            [this] { lvwReports_DblClick(); });
    Translate();
}

frmMdiReports::~frmMdiReports() = default;

QTreeWidget* frmMdiReports::lvwReports() const {
    return ui->lvwReports;
}

void frmMdiReports::Translate() {
    ui->retranslateUi(this);
    InitReportList();
    SizeReportColumns();
}

void frmMdiReports::InitReportList() {
    QTreeWidget* list = ui->lvwReports;
    list->clear();
    list->setColumnCount(2);
    list->setHeaderLabels(
        {::Translate(QStringLiteral("Report Name")), ::Translate(QStringLiteral("Description"))});
    list->setColumnWidth(0, 2500 / kTwipsPerPixel);
    list->setColumnWidth(1, 4000 / kTwipsPerPixel);
    for (const ReportKind& r : ReportKinds())
        AddReportItem(QLatin1String(r.key), ::Translate(QLatin1String(r.name)),
                      ::Translate(QLatin1String(r.description)),
                      catalog && catalog(QLatin1String(r.key)));
}

void frmMdiReports::AddReportItem(const QString& key, const QString& name,
                                  const QString& description, bool built) {
    auto* item = new QTreeWidgetItem(ui->lvwReports, {name, description});
    item->setData(0, kKeyRole, key);
    // A rebuild while a dialog is open (a change of language) keeps its entry marked.
    item->setIcon(0, key == openKey ? arrowIcon : reportIcon);
    item->setToolTip(0, description);
    item->setToolTip(1, description);
    // A report without a dialog is listed but cannot be opened.
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (built)
        flags |= Qt::ItemIsEnabled;
    item->setFlags(flags);
}

int frmMdiReports::ReportColumnTwips(int listWidthTwips) {
    return qMax(0, listWidthTwips - 240) / 100 * 50;
}

void frmMdiReports::SizeReportColumns() {
    const int column = ReportColumnTwips(ui->lvwReports->width() * kTwipsPerPixel);
    ui->lvwReports->setColumnWidth(0, column / kTwipsPerPixel);
    ui->lvwReports->setColumnWidth(1, column / kTwipsPerPixel);
}

bool frmMdiReports::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->lvwReports) {
        if (event->type() == QEvent::Resize) {
            SizeReportColumns();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                lvwReports_DblClick();
                return true;
            }
        }
    }
    return Page::eventFilter(watched, event);
}

QTreeWidgetItem* frmMdiReports::EntryOf(const QString& key) const {
    QTreeWidget* list = ui->lvwReports;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->data(0, kKeyRole).toString() == key)
            return list->topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem* frmMdiReports::SelectedEntry() const {
    const QList<QTreeWidgetItem*> selected = ui->lvwReports->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void frmMdiReports::lvwReports_DblClick() {
    try {
        if (QTreeWidgetItem* item = SelectedEntry())
            ReportParamShow(item->data(0, kKeyRole).toString(), item->text(0));
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("lvwReports_DblClick of Form frmMdiReports"), e, true);
    }
}

void frmMdiReports::ReportParamShow(const QString& key, const QString& caption) {
    QTreeWidgetItem* item = SelectedEntry();
    if (!item)
        return;
    const QString marked = item->data(0, kKeyRole).toString();
    item->setIcon(0, arrowIcon);
    openKey = marked;
    try {
        if (const ReportKind* report = ReportKindOf(key))
            LoadReport(*report, caption);
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("ReportParamShow of Form frmMdiReports"), e, true);
    }
    // Also after a failure: the entry must not go on showing a dialog that is not open. The
    // list may have been rebuilt meanwhile, so the entry is looked up again.
    openKey.clear();
    if (QTreeWidgetItem* shown = EntryOf(marked))
        shown->setIcon(0, reportIcon);
}

void frmMdiReports::OpenDialog(const QString& key, const QString& caption) {
    const ReportDialogMaker make = catalog ? catalog(key) : nullptr;
    if (!make)
        return;
    std::unique_ptr<QDialog> dialog = make(host, caption);
    if (dialog)
        dialog->exec();
}

bool frmMdiReports::HasReader() {
    if (ReaderCount() >= 1)
        return true;
    ShowPrerequisite(TR_TEXT("You must add at least one reader before this report can be used"));
    return false;
}

bool frmMdiReports::HasTour() {
    if (TourCount() >= 1)
        return true;
    ShowPrerequisite(TR_TEXT("You must add at least one tour before this report can be used"));
    return false;
}

void frmMdiReports::LoadReport(const ReportKind& report, const QString& caption) {
    const auto open = [&] {
        if ((!report.needsReader || HasReader()) && (!report.needsTour || HasTour()))
            OpenDialog(QLatin1String(report.key), caption);
    };
    if (!report.failureLabel) {
        open();
        return;
    }
    try {
        open();
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QLatin1String(report.failureLabel), e, true);
    }
}
