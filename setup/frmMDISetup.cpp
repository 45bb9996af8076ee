#include "frmMDISetup.h"

#include "ui_frmMDISetup.h"

#include "Boxes.h"
#include "ListColumns.h"
#include "WrappedRows.h"
#include "cSetupHost.h"
#include "frmAddReader.h"
#include "frmCopyTour.h"
#include "frmEditReader.h"
#include "frmListEdit.h"
#include "mButtons.h"
#include "mEditTour.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mReaders.h"
#include "mSupport.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidgetItem>

const QString frmMDISetup::kSites = QStringLiteral("location");
const QString frmMDISetup::kEventBooks = QStringLiteral("event");
const QString frmMDISetup::kTours = QStringLiteral("tour");
const QString frmMDISetup::kReaders = QStringLiteral("reader");

namespace {

const QString kForm = QStringLiteral(" of Form frmMDISetup");

// Rows sort without regard to letter case, in the order of the user's language.
class cSetupItem : public QTreeWidgetItem {
public:
    cSetupItem() : QTreeWidgetItem(UserType) {}
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QString a = text(column), b = other.text(column);
        const int folded = QString::localeAwareCompare(a.toCaseFolded(), b.toCaseFolded());
        return folded != 0 ? folded < 0 : a < b;
    }
};

// The group type a tab lists; the tours and readers tabs list none.
int groupTypeOfTab(const QString& key) {
    return key == frmMDISetup::kEventBooks ? GroupTypeEventBook : GroupTypeSite;
}

QIcon picture(const char* key) {
    return QIcon(QStringLiteral(":/pictures/%1.png").arg(QLatin1String(key)));
}

} // namespace

frmMDISetup::frmMDISetup(cSetupHost& setupHost, QWidget* parent)
    : Page(parent), host(setupHost), ui(std::make_unique<Ui::frmMDISetup>()) {
    ui->setupUi(this);
    // The four tabs share the whole strip.
    ui->tabSetup->setDocumentMode(true);
    ui->tabSetup->tabBar()->setExpanding(true);
    const QString keys[] = {kSites, kEventBooks, kTours, kReaders};
    for (int i = 0; i < 4; ++i)
        ui->tabSetup->tabBar()->setTabData(i, keys[i]);
    ui->lvwProgram->installEventFilter(this);
    // Descriptions go on in a second line rather than end in "…".
    WrapRows(ui->lvwProgram);

    connect(ui->cmdSetup_0, &QPushButton::clicked, this, [this] { cmdSetup_Click(0); });
    connect(ui->cmdSetup_1, &QPushButton::clicked, this, [this] { cmdSetup_Click(1); });
    connect(ui->cmdSetup_2, &QPushButton::clicked, this, [this] { cmdSetup_Click(2); });
    connect(ui->cmdTourCopy, &QPushButton::clicked, this, &frmMDISetup::cmdTourCopy_Click);
    connect(ui->tabSetup, &QTabWidget::currentChanged, this, &frmMDISetup::tabSetup_Click);
    connect(ui->lvwProgram->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { SortListViewColumn(ui->lvwProgram, column); });
    connect(ui->lvwProgram, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (auto edit = Operation(Action::Edit))
            edit();
    });

    // Load of the window.
    try {
        OpenGroupsRecordset();
        OpenToursRecordset();
        OpenReadersRecordset();
        ui->tabSetup->setCurrentIndex(0);
        tabSetup_Click();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("Form_Load") + kForm, e, true);
    }
}

frmMDISetup::~frmMDISetup() = default;

void frmMDISetup::Translate() {
    try {
        ui->retranslateUi(this);
        // Selecting the tab already shown raises no event: the tab is shown again here.
        ui->tabSetup->setCurrentIndex(0);
        tabSetup_Click();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("Translate") + kForm, e, false);
    }
}

QString frmMDISetup::SelectedTabKey() const {
    return ui->tabSetup->tabBar()->tabData(ui->tabSetup->currentIndex()).toString();
}

QTreeWidgetItem* frmMDISetup::SelectedItem() const {
    const QList<QTreeWidgetItem*> selected = ui->lvwProgram->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void frmMDISetup::tabSetup_Click() {
    const int index = ui->tabSetup->currentIndex();
    // One list serves every tab.
    if (QLayout* layout = ui->tabSetup->widget(index)->layout();
        layout->indexOf(ui->lvwProgram) < 0)
        layout->addWidget(ui->lvwProgram);
    host.SetTitle(ui->tabSetup->tabText(index) + QStringLiteral(": ") +
                  ::Translate(QStringLiteral("Setup")));
    ShowTabList(SelectedTabKey());
}

std::function<void()> frmMDISetup::Operation(Action action) {
    const QString key = SelectedTabKey();
    switch (action) {
    case Action::Edit:
        if (key == kTours)
            return [this] { EditTour(); };
        if (key == kReaders)
            return [this] { EditReader(); };
        return [this] { EditGroup(); };
    case Action::Add:
        if (key == kTours)
            return [this] { AddTour(); };
        if (key == kReaders)
            return [this] { AddReader(); };
        return [this, type = groupTypeOfTab(key)] { AddGroup(type); };
    case Action::Delete:
        if (key == kTours)
            return [this] { DeleteTour(); };
        if (key == kReaders)
            return [this] { DeleteReader(); };
        return [this] { DeleteGroup(); };
    }
    return {};
}

void frmMDISetup::cmdSetup_Click(int index) {
    const Action action = index == 0 ? Action::Edit : index == 1 ? Action::Add : Action::Delete;
    try {
        if (auto operation = Operation(action))
            operation();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("cmdSetup_Click") + kForm, e, true);
    }
}

void frmMDISetup::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Delete) {
        Page::keyPressEvent(event);
        return;
    }
    try {
        if (auto remove = Operation(Action::Delete))
            remove();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("Form_KeyDown") + kForm, e, true);
    }
}

bool frmMDISetup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->lvwProgram && event->type() == QEvent::Resize)
        SetColumnWidths();
    return Page::eventFilter(watched, event);
}

void frmMDISetup::OpenGroupsRecordset() {
    try {
        rsGroups = ReadGroups(*gConn);
    } catch (const AppError& e) {
        rsGroups.clear(); // nothing is listed that may be gone
        HandleError(QStringLiteral("OpenGroupsRecordset") + kForm, e, true);
    }
}

void frmMDISetup::OpenToursRecordset() {
    try {
        rsTours = ReadTours(*gConn);
    } catch (const AppError& e) {
        rsTours.clear();
        ShowProcedureError(QStringLiteral("OpenToursRecordset"), e);
    }
}

void frmMDISetup::OpenReadersRecordset() {
    try {
        rsReaders = ReadReaders(*gConn);
    } catch (const AppError& e) {
        rsReaders.clear();
        ShowProcedureError(QStringLiteral("OpenReadersRecordset"), e);
    }
}

void frmMDISetup::ShowTabList(const QString& key) {
    QTreeWidget* list = ui->lvwProgram;
    list->setSortingEnabled(false);
    list->clear();
    ui->cmdTourCopy->hide();
    ui->cmdTourCopy->setEnabled(false);
    if (key == kTours) {
        ui->cmdTourCopy->show();
        SetColumnsAsTours();
        PopulateAsTours();
    } else if (key == kReaders) {
        SetColumnsAsReaders();
        PopulateAsReaders();
    } else {
        SetColumnsAsGroups();
        PopulateAsGroups(groupTypeOfTab(key));
    }
    // Back to ascending by the first column, whatever the user sorted by before.
    list->setProperty("SortKey", 0);
    list->setProperty("SortOrder", 0);
    list->header()->setSortIndicator(0, Qt::AscendingOrder);
    list->setSortingEnabled(true);

    const bool rows = list->topLevelItemCount() > 0;
    EnableDelete(rows);
    // Readers are added by reading their ID from the docked reader.
    ui->cmdSetup_1->setEnabled(Operation(Action::Add) && (key != kReaders || host.Docked()));
    ui->cmdSetup_0->setEnabled(rows && Operation(Action::Edit));
    if (rows) {
        list->setCurrentItem(list->topLevelItem(0));
        list->scrollToItem(list->topLevelItem(0));
    }
    SetColumnWidths();
}

void frmMDISetup::SetColumnsAsGroups() {
    ui->lvwProgram->setColumnCount(2);
    ui->lvwProgram->setHeaderLabels(
        {::Translate(QStringLiteral("Name")), ::Translate(QStringLiteral("Description"))});
}

void frmMDISetup::SetColumnsAsTours() {
    ui->lvwProgram->setColumnCount(3);
    ui->lvwProgram->setHeaderLabels({::Translate(QStringLiteral("Tour Name")),
                                     ::Translate(QStringLiteral("Start Time")),
                                     ::Translate(QStringLiteral("Description"))});
}

void frmMDISetup::SetColumnsAsReaders() {
    ui->lvwProgram->setColumnCount(2);
    ui->lvwProgram->setHeaderLabels(
        {::Translate(QStringLiteral("Reader ID")), ::Translate(QStringLiteral("Description"))});
}

void frmMDISetup::PopulateAsGroups(int groupType) {
    const QIcon icon = picture(groupType == GroupTypeEventBook ? "event" : "location");
    for (const cGroupRow& row : std::as_const(rsGroups)) {
        if (row.wType != groupType)
            continue;
        auto* item = new cSetupItem;
        item->setText(0, row.tName);
        item->setText(1, row.tDesc);
        item->setIcon(0, icon);
        item->setData(0, kTagRole, QVariant::fromValue(row));
        item->setData(0, kKeyRole, row.ID);
        ui->lvwProgram->addTopLevelItem(item);
    }
}

void frmMDISetup::PopulateAsTours() {
    const QIcon icon = picture("tour");
    for (const cTourRow& row : std::as_const(rsTours)) {
        auto* item = new cSetupItem;
        item->setText(0, row.tName);
        item->setText(1, row.StartTimeText);
        item->setText(2, row.tDesc);
        item->setIcon(0, icon);
        item->setData(0, kTagRole, QVariant::fromValue(row));
        item->setData(0, kKeyRole, row.ID);
        ui->lvwProgram->addTopLevelItem(item);
    }
    ui->cmdTourCopy->setEnabled(!rsTours.isEmpty());
}

void frmMDISetup::PopulateAsReaders() {
    const QIcon icon = picture("reader");
    for (const cReaderRow& row : std::as_const(rsReaders)) {
        auto* item = new cSetupItem;
        item->setText(0, row.tReaderId);
        item->setText(1, row.tDescription);
        item->setIcon(0, icon);
        item->setData(0, kTagRole, QVariant::fromValue(row));
        item->setData(0, kKeyRole, row.tReaderId);
        ui->lvwProgram->addTopLevelItem(item);
    }
}

void frmMDISetup::SetColumnWidths() {
    QTreeWidget* list = ui->lvwProgram;
    const QVector<NameColumn> firstIsName{{0, true}};
    if (list->columnCount() == 3)
        ShareColumns(list, {30, 15, 55}, firstIsName, {{1, TimeTexts(QStringLiteral("HH:mm"))}});
    else if (SelectedTabKey() == kReaders) // a reader's ID is no name: eight digits
        ShareColumns(list, {50, 50}, {}, {{0, DigitTexts(kReaderIdDigits, true), true}});
    else
        ShareColumns(list, {50, 50}, firstIsName);
}

void frmMDISetup::EnableDelete(bool enabled) {
    ui->cmdSetup_2->setEnabled(enabled);
}

QStringList frmMDISetup::ListedTexts(int column) const {
    QStringList texts;
    for (int i = 0; i < ui->lvwProgram->topLevelItemCount(); ++i)
        texts << ui->lvwProgram->topLevelItem(i)->text(column);
    return texts;
}

int frmMDISetup::SelectedPosition() const {
    QTreeWidgetItem* item = SelectedItem();
    return item ? ui->lvwProgram->indexOfTopLevelItem(item) : -1;
}

void frmMDISetup::SelectByKey(const QVariant& key) {
    QTreeWidget* list = ui->lvwProgram;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        if (item->data(0, kKeyRole) == key) {
            list->setCurrentItem(item);
            list->scrollToItem(item);
        }
    }
}

void frmMDISetup::SelectAfterDelete(int position) {
    // After the first row the new first row stays selected.
    if (QTreeWidgetItem* item = ui->lvwProgram->topLevelItem(position - 1)) {
        ui->lvwProgram->setCurrentItem(item);
        ui->lvwProgram->scrollToItem(item);
    }
}

void frmMDISetup::AddGroup(int groupType) {
    const QString base = groupType == GroupTypeEventBook ? ::Translate(QStringLiteral("Event Book"))
                                                         : ::Translate(QStringLiteral("Site"));
    const QString name = GetNewItemName(base, ListedTexts(0));
    qint64 id = 0;
    try {
        id = AddGroupRow(*gConn, groupType, name);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("AddGroup") + kForm, e, true);
        return;
    }
    OpenGroupsRecordset();
    ShowTabList(SelectedTabKey());
    SelectByKey(id);
}

void frmMDISetup::DeleteGroup() {
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return;
    const qint64 id = item->data(0, kKeyRole).toLongLong();
    const QString prompt = DeleteGroupPrompt(GroupButtonCount(*gConn, id));
    // Only Yes deletes: No, Escape and the close box keep the group.
    if (gTranslator->IvMessageBox(prompt, QString(), IvBox::Question, IvBox::YesNo, 0) !=
        Boxes::AnswerYes)
        return;
    const int position = SelectedPosition();
    DeleteGroupRows(*gConn, id);
    OpenGroupsRecordset();
    ShowTabList(SelectedTabKey());
    SelectAfterDelete(position);
}

void frmMDISetup::EditGroup() {
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return;
    const qint64 id = item->data(0, kKeyRole).toLongLong();
    {
        frmListEdit dialog(host.Link(), this);
        dialog.setID(id);
        dialog.setItemType(groupTypeOfTab(SelectedTabKey()));
        dialog.setListName(item->text(0));
        dialog.setListDesc(item->text(1));
        dialog.setExistingNames(ListedTexts(0));
        dialog.Update();
        dialog.exec();
        if (dialog.OK())
            UpdateGroup(id, dialog.ListName(), dialog.ListDesc());
    }
    OpenGroupsRecordset();
    ShowTabList(SelectedTabKey());
    SelectByKey(id);
}

void frmMDISetup::UpdateGroup(qint64 groupId, const QString& name, const QString& desc) {
    try {
        UpdateGroupRow(*gConn, groupId, name, desc);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("UpdateGroup") + kForm, e, true);
    }
}

qint64 frmMDISetup::AddTour() {
    const QString name = GetNewItemName(::Translate(QStringLiteral("Tour")), ListedTexts(0));
    qint64 id = 0;
    try {
        id = AddTourRow(*gConn, name);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("AddTour") + kForm, e, true);
        return 0;
    }
    OpenToursRecordset();
    ShowTabList(SelectedTabKey());
    SelectByKey(id);
    return id;
}

void frmMDISetup::EditTour() {
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return;
    const cTourRow row = item->data(0, kTagRole).value<cTourRow>();
    // The editor writes the points, this page the tour's own row.
    if (EditTourRow(this, {row.ID, row.tName, row.tDesc, row.dtStartTime, row.iTolerance},
                    ListedTexts(0)) == EditTourOutcome::NoLocations)
        return;
    OpenToursRecordset();
    ShowTabList(SelectedTabKey());
    SelectByKey(row.ID);
}

void frmMDISetup::DeleteTour() {
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return;
    try {
        const qint64 id = item->data(0, kKeyRole).toLongLong();
        const QString prompt = DeleteTourPrompt(TourPointCount(*gConn, id));
        if (gTranslator->IvMessageBox(prompt, QString(), IvBox::Question, IvBox::YesNo, 0) !=
            Boxes::AnswerYes)
            return;
        const int position = SelectedPosition();
        DeleteTourRows(*gConn, id);
        OpenToursRecordset();
        ShowTabList(SelectedTabKey());
        SelectAfterDelete(position);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("DeleteTour") + kForm, e, true);
    }
}

void frmMDISetup::AddReader() {
    QString id;
    try {
        frmAddReader dialog(host.Link(), this);
        dialog.setExistingNames(ListedTexts(1));
        dialog.setDesc(GetNewReaderName(::Translate(QStringLiteral("Reader")), ListedTexts(1)));
        dialog.exec();
        if (dialog.OK()) {
            AddReaderRow(*gConn, dialog.ReaderId(), dialog.Desc());
            id = dialog.ReaderId();
        }
    } catch (const AppError& e) {
        ShowProcedureError(QStringLiteral("AddReader"), e);
        return;
    }
    OpenReadersRecordset();
    ShowTabList(SelectedTabKey());
    SelectByKey(id);
}

void frmMDISetup::EditReader() {
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return;
    const cReaderRow row = item->data(0, kTagRole).value<cReaderRow>();
    try {
        frmEditReader dialog(this);
        dialog.setReaderId(row.tReaderId);
        dialog.setDesc(row.tDescription);
        dialog.setExistingNames(ListedTexts(1));
        dialog.exec();
        if (dialog.OK())
            UpdateReaderDescription(*gConn, row.tReaderId, dialog.Desc());
    } catch (const AppError& e) {
        ShowProcedureError(QStringLiteral("EditReader"), e);
        return;
    }
    OpenReadersRecordset();
    ShowTabList(SelectedTabKey());
    SelectByKey(row.tReaderId);
}

void frmMDISetup::DeleteReader() {
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return;
    try {
        if (gTranslator->IvMessageBox(
                ::Translate(QStringLiteral("Are you sure you want to delete this reader?")),
                QString(), IvBox::Question, IvBox::YesNo, 0) != Boxes::AnswerYes)
            return;
        const int position = SelectedPosition();
        DeleteReaderRow(*gConn, item->data(0, kKeyRole).toString());
        OpenReadersRecordset();
        ShowTabList(SelectedTabKey());
        SelectAfterDelete(position);
    } catch (const AppError& e) {
        ShowProcedureError(QStringLiteral("DeleteReader"), e);
    }
}

void frmMDISetup::cmdTourCopy_Click() {
    try {
        frmCopyTour dialog(this);
        dialog.exec();
        if (dialog.OK())
            CopyTour(dialog.TourID());
    } catch (const AppError& e) {
        HandleError(QStringLiteral("cmdTourCopy_Click") + kForm, e, true);
    }
}

void frmMDISetup::CopyTour(qint64 sourceId) {
    qint64 id = 0;
    try {
        if (TourPointCount(*gConn, sourceId) < 1) {
            gTranslator->IvMessageBox(
                ::Translate(QStringLiteral("Cannot find any Tour Points to copy")), QString(),
                IvBox::Warning, IvBox::Ok, 0);
            return;
        }
        // The new tour and its points are written together, then listed.
        id = CopyTourRows(*gConn, sourceId,
                          GetNewItemName(::Translate(QStringLiteral("Tour")), ListedTexts(0)));
    } catch (const AppError& e) {
        HandleError(QStringLiteral("CopyTour") + kForm, e, true);
        return;
    }
    OpenToursRecordset();
    ShowTabList(SelectedTabKey());
    SelectByKey(id);
}
