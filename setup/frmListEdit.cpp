#include "frmListEdit.h"

#include "ui_frmListEdit.h"

#include "Boxes.h"
#include "ListColumns.h"
#include "TextLimit.h"
#include "WrappedRows.h"
#include "frmAddButton.h"
#include "frmEditButton.h"
#include "mButtons.h"
#include "mDialogSupport.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {

const QString kForm = QStringLiteral(" of Form frmListEdit");
constexpr int kNameColumn = 1;

// Rows sort by name without regard to letter case, in the order of the user's language.
class cButtonItem : public QTreeWidgetItem {
public:
    cButtonItem() : QTreeWidgetItem(UserType) {}
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : kNameColumn;
        const QString a = text(column), b = other.text(column);
        const int folded = QString::localeAwareCompare(a.toCaseFolded(), b.toCaseFolded());
        return folded != 0 ? folded < 0 : a < b;
    }
};

} // namespace

frmListEdit::frmListEdit(cSerialLink& serialLink, QWidget* parent)
    : QDialog(parent), link(serialLink), ui(std::make_unique<Ui::frmListEdit>()) {
    ui->setupUi(this);
    LimitCodePointsOfForm(this);
    PlaceOverMainWindow(this, 40, 48);
    // Keys are read from the docked reader: without a docking station when the editor opened,
    // nothing can be added while it is open.
    addAllowed = gDocked;
    ui->cmdSetup_1->setEnabled(addAllowed);
    ui->lvwItems->header()->setSectionsClickable(false);
    ui->lvwItems->installEventFilter(this);
    WrapRows(ui->lvwItems); // descriptions wrap rather than end in "…"

    connect(ui->cmdSetup_0, &QPushButton::clicked, this, &frmListEdit::DoEditItem);
    connect(ui->cmdSetup_1, &QPushButton::clicked, this, &frmListEdit::DoAddItem);
    connect(ui->cmdSetup_2, &QPushButton::clicked, this, &frmListEdit::DeleteButtonItem);
    connect(ui->lvwItems, &QTreeWidget::itemDoubleClicked, this, &frmListEdit::DoEditItem);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmListEdit::cmdOK_Click);
}

frmListEdit::~frmListEdit() = default;

void frmListEdit::setListName(const QString& name) {
    listName = name;
    startingName = name;
}

void frmListEdit::Update() {
    ui->txtName->setText(listName);
    ui->txtDesc->setText(listDesc);
    const cGroupKind kind = GroupKind(itemType);
    ui->imgIcon->setPixmap(QPixmap(BigPicture(kind.pictureKey)));
    setWindowTitle(::Translate(QStringLiteral("Edit")) + QLatin1Char(' ') +
                   ::Translate(kind.titleWord));
    RefreshList();
}

void frmListEdit::RefreshList() {
    InitItemColumns();
    FillItemList();
    QTreeWidget* list = ui->lvwItems;
    list->setSortingEnabled(true);
    list->sortByColumn(kNameColumn, Qt::AscendingOrder);
    const bool rows = list->topLevelItemCount() > 0;
    ui->cmdSetup_0->setEnabled(rows);
    ui->cmdSetup_2->setEnabled(rows);
    if (rows) {
        list->setCurrentItem(list->topLevelItem(0));
        list->scrollToItem(list->topLevelItem(0));
    }
}

void frmListEdit::InitItemColumns() {
    QTreeWidget* list = ui->lvwItems;
    list->setSortingEnabled(false);
    list->clear();
    list->setColumnCount(3);
    list->setHeaderLabels({::Translate(QStringLiteral("Button ID")),
                           ::Translate(QStringLiteral("Name")),
                           ::Translate(QStringLiteral("Description"))});
    SetColumnWidths();
}

void frmListEdit::SetColumnWidths() {
    // The description takes what the ID and the name leave, never less than its heading.
    ShareColumns(ui->lvwItems, {25, 28, 47}, {{kNameColumn, false}},
                 {{0, DigitTexts(kButtonCodeDigits, true), true}});
}

void frmListEdit::FillItemList() {
    QVector<cButtonRow> rows;
    try {
        rows = ReadGroupButtons(*gConn, id);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("OpenItemsRecordset") + kForm, e, true);
        return; // nothing is listed that may be gone
    }
    const QIcon icon(RowIcon(GroupKind(itemType).rowIconKey));
    for (const cButtonRow& row : std::as_const(rows)) {
        auto* item = new cButtonItem;
        item->setText(0, row.tButtonCode);
        item->setText(1, row.tButtonName);
        item->setText(2, row.tButtonDesc);
        item->setIcon(0, icon);
        item->setData(0, kIdRole, row.ID);
        ui->lvwItems->addTopLevelItem(item);
    }
}

QStringList frmListEdit::ListedNames() const {
    QStringList names;
    for (int i = 0; i < ui->lvwItems->topLevelItemCount(); ++i)
        names << ui->lvwItems->topLevelItem(i)->text(kNameColumn);
    return names;
}

QTreeWidgetItem* frmListEdit::SelectedItem() const {
    const QList<QTreeWidgetItem*> selected = ui->lvwItems->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void frmListEdit::DoAddItem() {
    if (!addAllowed)
        return;
    AddButtonItem();
    RefreshList();
}

void frmListEdit::AddButtonItem() {
    const cGroupKind kind = GroupKind(itemType);
    frmAddButton dialog(link, this);
    dialog.setExistingNames(ListedNames());
    dialog.setButtonName(QString());
    dialog.setDesc(QString());
    dialog.SetIcon(kind.pictureKey);
    dialog.setWindowTitle(::Translate(kind.dialogCaption));
    dialog.exec();
    if (!dialog.OK())
        return;
    try {
        SaveNewButtonRow(*gConn, id, dialog.DallasID(), dialog.ButtonName(), dialog.Desc());
    } catch (const AppError& e) {
        // A code stored meanwhile is refused by the database: said, never lost in silence.
        HandleError(QStringLiteral("SaveNewButton") + kForm, e, true);
    }
}

void frmListEdit::DoEditItem() {
    EditButtonItem();
    RefreshList();
}

void frmListEdit::EditButtonItem() {
    QTreeWidgetItem* item = SelectedItem();
    if (!item) {
        Notice(::Translate(QStringLiteral("No Item is selected")));
        return;
    }
    try {
        const cGroupKind kind = GroupKind(itemType);
        frmEditButton dialog(this);
        dialog.SetCaption(::Translate(kind.dialogCaption));
        dialog.SetIcon(kind.pictureKey);
        dialog.setExistingNames(ListedNames());
        dialog.setEditName(item->text(kNameColumn));
        dialog.setDesc(item->text(2));
        dialog.exec();
        if (dialog.OK())
            UpdateButtonRow(*gConn, item->data(0, kIdRole).toLongLong(), dialog.EditName(),
                            dialog.Desc());
    } catch (const AppError& e) {
        HandleError(QStringLiteral("EditButtonItem") + kForm, e, true);
    }
}

void frmListEdit::DeleteButtonItem() {
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return;
    const qint64 buttonId = item->data(0, kIdRole).toLongLong();
    // Only Yes deletes: No, Escape and the close box keep the button.
    if (gTranslator->IvMessageBox(
            ::Translate(QStringLiteral("Are you sure you want to delete this item?")), QString(),
            IvBox::Question, IvBox::YesNo, 0) != Boxes::AnswerYes)
        return;
    try {
        DeleteButtonRow(*gConn, buttonId);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("DeleteButtonItem") + kForm, e, true);
    }
    RefreshList();
}

void frmListEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui->lvwItems->setFocus(Qt::OtherFocusReason);
}

bool frmListEdit::eventFilter(QObject* watched, QEvent* event) {
    // The Delete key deletes a button only from the list: in a text box it deletes text.
    if (watched == ui->lvwItems && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteButtonItem();
        return true;
    }
    if (watched == ui->lvwItems && event->type() == QEvent::Resize)
        SetColumnWidths();
    return QDialog::eventFilter(watched, event);
}

void frmListEdit::cmdOK_Click() {
    switch (CheckName(ui->txtName->text(), existingNames, startingName)) {
    case NameCheck::Used:
        Notice(
            ::Translate(QStringLiteral("That name is already used.  Please enter another name.")));
        FocusAndSelect(ui->txtName);
        return;
    case NameCheck::Empty:
        Notice(::Translate(QStringLiteral("You must enter a name for this group")));
        FocusAndSelect(ui->txtName);
        return;
    case NameCheck::Accepted:
        break;
    }
    listName = ui->txtName->text().trimmed();
    listDesc = ui->txtDesc->text();
    ok = true;
    accept();
}
