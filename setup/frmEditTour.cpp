#include "frmEditTour.h"

#include "ui_frmEditTour.h"

#include "ListColumns.h"
#include "Settings.h"
#include "TextLimit.h"
#include "TourPictures.h"
#include "frmEditTime.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mTourData.h"
#include "mTourRules.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kLastTourInterval = QStringLiteral("LastTourInterval");
const QString kDragFormat = QStringLiteral("application/x-trevano-tour-row");
const QString kLocations = QStringLiteral("lvwLocations");
const QString kSelected = QStringLiteral("lvwSelected");

enum SelectedColumn { ColMinutes, ColSite, ColLocation, ColTime };

} // namespace

frmEditTour::frmEditTour(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmEditTour>()) {
    ui->setupUi(this);
    LimitCodePointsOfForm(this);
    if (parent)
        move(parent->window()->frameGeometry().topLeft() + QPoint(40, 48));
    ui->picInsertPtr->setPixmap(TourPicture(TourPictureKey::InsertMarker, 17));
    ui->picInsertPtr->hide();
    ui->lblDragDrop->hide();
    defaultInterval =
        DefaultIntervalFromSetting(Settings::GetSetting(kSettings, kLastTourInterval));

    QPushButton* moves[] = {ui->cmdMove_0, ui->cmdMove_1, ui->cmdMove_2, ui->cmdMove_3,
                            ui->cmdMove_4};
    for (int i = 0; i < 5; ++i)
        connect(moves[i], &QPushButton::clicked, this, [this, i] { cmdMove_Click(i); });
    connect(ui->cmdEditTime, &QPushButton::clicked, this, &frmEditTour::EditSelectedInterval);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmEditTour::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->imgCboSites, QOverload<int>::of(&QComboBox::activated), this,
            &frmEditTour::imgCboSites_Click);
    connect(ui->dtpStartTime, &QTimeEdit::timeChanged, this, [this] { UpdateControls(); });
    connect(ui->lvwLocations, &QTreeWidget::itemDoubleClicked, this, [this] {
        AddLocation();
        UpdateControls();
    });
    connect(ui->lvwSelected, &QTreeWidget::itemDoubleClicked, this,
            &frmEditTour::EditSelectedInterval);
    connect(ui->lvwSelected, &QTreeWidget::itemSelectionChanged, this, &frmEditTour::EnableButtons);

    for (QTreeWidget* list : {ui->lvwLocations, ui->lvwSelected}) {
        list->viewport()->installEventFilter(this);
        list->viewport()->setAcceptDrops(true);
    }
    ui->lvwSelected->installEventFilter(this);
    SetupLocationColumns();
    SetupTourPointColumns();
    WidenForNames();
}

frmEditTour::~frmEditTour() = default;

void frmEditTour::setListName(const QString& name) {
    listName = name;
    startingName = name;
}

void frmEditTour::setStartTime(const QTime& time) {
    startTime = time.isValid() ? QTime(time.hour(), time.minute()) : QTime(0, 0);
}

void frmEditTour::Populate() {
    ui->txtName->setText(listName);
    ui->txtDesc->setText(listDesc);
    ui->txtTolerance->setText(QString::number(tolerance));
    ui->dtpStartTime->setTime(startTime);
    SetupLocationColumns();
    SetupTourPointColumns();
    LoadSites();
    LoadSiteLocations(ui->imgCboSites->count() > 0 ? ui->imgCboSites->currentData().toLongLong()
                                                   : 0);
    FillTourPointsList();
    dragSource.clear();
    UpdateControls();
}

void frmEditTour::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui->lvwLocations->setFocus();
    UpdateControls();
    SetColumnWidths();
}

void frmEditTour::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SetColumnWidths();
}

void frmEditTour::SetupLocationColumns() {
    ui->lvwLocations->clear();
    ui->lvwLocations->setSortingEnabled(false);
    ui->lvwLocations->setHeaderLabels(
        {Translate(QStringLiteral("Location Name")), QStringLiteral("Desc")});
    SetColumnWidths();
}

void frmEditTour::SetupTourPointColumns() {
    ui->lvwSelected->clear();
    ui->lvwSelected->setSortingEnabled(false);
    ui->lvwSelected->setHeaderLabels(
        {Translate(QStringLiteral("Minutes")), Translate(QStringLiteral("Site")),
         Translate(QStringLiteral("Location")), Translate(QStringLiteral("Time"))});
    SetColumnWidths();
}

void frmEditTour::SetColumnWidths() {
    if (ui->lvwLocations->columnCount() == 2)
        ShareColumns(ui->lvwLocations, {60, 160}, {{0, true}});
    if (ui->lvwSelected->columnCount() == 4)
        ShareColumns(ui->lvwSelected, {15, 25, 40, 20}, {{ColSite, false}, {ColLocation, false}});
}

void frmEditTour::WidenForNames() {
    // Each list as wide as its columns need with whole names, beside its scroll bar.
    const auto listWidth = [](QTreeWidget* list, int names) {
        return names + 16 + 2 * list->frameWidth();
    };
    QHeaderView* selected = ui->lvwSelected->header();
    const int locationsWidth =
        listWidth(ui->lvwLocations, NameColumnWidth(ui->lvwLocations, true) +
                                        ui->lvwLocations->header()->sectionSizeHint(1));
    const int selectedWidth =
        listWidth(ui->lvwSelected, selected->sectionSizeHint(ColMinutes) +
                                       2 * NameColumnWidth(ui->lvwSelected, false) +
                                       selected->sectionSizeHint(ColTime));
    const int locationsLeast = ui->lvwLocations->minimumWidth();
    const int selectedLeast = ui->lvwSelected->minimumWidth();
    ui->lvwLocations->setMinimumWidth(qMax(locationsLeast, locationsWidth));
    ui->lvwSelected->setMinimumWidth(qMax(selectedLeast, selectedWidth));
    const int wanted = layout()->sizeHint().width();
    ui->lvwLocations->setMinimumWidth(locationsLeast);
    ui->lvwSelected->setMinimumWidth(selectedLeast);
    // Where the screen has room.
    const QRect screen = this->screen()->availableGeometry();
    const int width = qMax(this->width(), qMin(wanted, screen.width()));
    resize(width, height());
    if (frameGeometry().right() > screen.right())
        move(qMax(screen.left(), screen.right() - frameGeometry().width()), y());
}

void frmEditTour::LoadSites() {
    ui->imgCboSites->clear();
    const QIcon icon = QIcon(QStringLiteral(":/pictures/location.png"));
    for (const cSiteEntry& site : ::LoadSites(*gConn))
        ui->imgCboSites->addItem(icon, site.name, site.id);
    if (ui->imgCboSites->count() > 0)
        ui->imgCboSites->setCurrentIndex(0);
}

void frmEditTour::LoadSiteLocations(qint64 siteId) {
    ui->lvwLocations->clear();
    const QIcon icon = QIcon(QStringLiteral(":/pictures/location.png"));
    for (const cLocationEntry& location : ::LoadSiteLocations(*gConn, siteId)) {
        auto* item = new QTreeWidgetItem(ui->lvwLocations, {location.name, location.desc});
        item->setData(0, Qt::UserRole, location.buttonCode);
        item->setIcon(0, icon);
    }
    if (ui->lvwLocations->topLevelItemCount() > 0) {
        QTreeWidgetItem* first = ui->lvwLocations->topLevelItem(0);
        ui->lvwLocations->setCurrentItem(first);
        ui->lvwLocations->scrollToItem(first);
    }
}

void frmEditTour::FillTourPointsList() {
    points.Assign(LoadTourPoints(*gConn, groupId));
    ShowTourPoints(1); // the buttons that act on a point are ready at once
}

// The list shows the points as they stand; it is rebuilt after every change.
void frmEditTour::ShowTourPoints(int select) {
    ui->lvwSelected->clear();
    const QIcon icon = QIcon(QStringLiteral(":/pictures/location.png"));
    for (const cTourPoint& p : points.Items()) {
        auto* item = new QTreeWidgetItem(
            ui->lvwSelected, {QString::number(p.minutes), p.siteName, p.locationName, QString()});
        item->setData(0, Qt::UserRole, p.buttonCode);
        item->setIcon(0, icon);
    }
    RecalcTourTimes();
    SelectPoint(select);
}

void frmEditTour::RecalcTourTimes() {
    startTime = ui->dtpStartTime->time();
    startTime = QTime(startTime.hour(), startTime.minute());
    const QVector<QTime> times = points.ExpectedTimes(startTime);
    for (int i = 0; i < times.size() && i < ui->lvwSelected->topLevelItemCount(); ++i)
        ui->lvwSelected->topLevelItem(i)->setText(ColTime,
                                                  times.at(i).toString(QStringLiteral("HH:mm")));
}

void frmEditTour::UpdateControls() {
    EnableButtons();
    double value = 0;
    // The box takes two characters: the value is small.
    tolerance = ParseTypedNumber(ui->txtTolerance->text(), &value)
                    ? static_cast<int>(RoundHalfEven(value))
                    : 0;
    RecalcTourTimes();
}

void frmEditTour::EnableButtons() {
    // The buttons that act on a point wait until a point is selected.
    const bool point = SelectedPoint() > 0;
    ui->cmdMove_1->setEnabled(point);
    ui->cmdMove_2->setEnabled(point);
    ui->cmdMove_3->setEnabled(point);
    ui->cmdEditTime->setEnabled(point);
    ui->cmdMove_0->setEnabled(ui->lvwLocations->topLevelItemCount() > 0);
}

int frmEditTour::SelectedPoint() const {
    const QList<QTreeWidgetItem*> selected = ui->lvwSelected->selectedItems();
    return selected.isEmpty() ? 0 : ui->lvwSelected->indexOfTopLevelItem(selected.first()) + 1;
}

void frmEditTour::SelectPoint(int position) {
    if (position < 1 || position > ui->lvwSelected->topLevelItemCount()) {
        ui->lvwSelected->clearSelection();
        EnableButtons();
        return;
    }
    QTreeWidgetItem* item = ui->lvwSelected->topLevelItem(position - 1);
    ui->lvwSelected->setCurrentItem(item);
    item->setSelected(true);
    ui->lvwSelected->scrollToItem(item);
    EnableButtons();
}

void frmEditTour::cmdMove_Click(int index) {
    switch (index) {
    case 0:
        AddLocation();
        break;
    case 1:
        RemoveLocation();
        break;
    case 2:
        PromoteLocation();
        break;
    case 3:
        DemoteLocation();
        break;
    case 4:
        RemoveAllLocations();
        break;
    default:
        break;
    }
    UpdateControls();
}

void frmEditTour::imgCboSites_Click(int index) {
    LoadSiteLocations(ui->imgCboSites->itemData(index).toLongLong());
    UpdateControls();
}

void frmEditTour::AddLocation() {
    QTreeWidgetItem* location = ui->lvwLocations->currentItem();
    if (!location || !location->isSelected())
        return;
    cTourPoint point;
    point.minutes = defaultInterval;
    point.siteName = ui->imgCboSites->currentText();
    point.locationName = location->text(0);
    point.buttonCode = location->data(0, Qt::UserRole).toString();
    ShowTourPoints(points.Add(point, insertionIndex));
    UpdateControls();
    // Repeated adds walk through the site's locations.
    const int row = ui->lvwLocations->indexOfTopLevelItem(location);
    if (row + 1 < ui->lvwLocations->topLevelItemCount())
        ui->lvwLocations->setCurrentItem(ui->lvwLocations->topLevelItem(row + 1));
}

void frmEditTour::RemoveLocation() {
    const int selected = SelectedPoint();
    if (selected > 0)
        ShowTourPoints(points.Remove(selected));
    UpdateControls();
}

void frmEditTour::RemoveAllLocations() {
    points.Clear();
    ShowTourPoints(0);
}

void frmEditTour::PromoteLocation() {
    const int selected = SelectedPoint();
    if (selected > 0)
        ShowTourPoints(points.Promote(selected));
}

void frmEditTour::DemoteLocation() {
    const int selected = SelectedPoint();
    if (selected > 0)
        ShowTourPoints(points.Demote(selected));
}

void frmEditTour::EditSelectedInterval() {
    const int selected = SelectedPoint();
    if (selected > 0)
        EditTourPointTime(points.Item(selected).minutes);
}

void frmEditTour::EditTourPointTime(int minutes) {
    const int selected = SelectedPoint();
    if (selected < 1)
        return;
    // Even a cancelled dialog leaves the interval it showed as the next default.
    defaultInterval = minutes;
    frmEditTime dialog(this);
    dialog.setIntervalTime(points.Item(selected).minutes);
    dialog.exec();
    if (dialog.OK()) {
        defaultInterval = dialog.IntervalTime();
        Settings::SaveInt(kSettings, kLastTourInterval, defaultInterval);
    }
    points.SetMinutes(selected, defaultInterval);
    ShowTourPoints(selected);
    UpdateControls();
}

bool frmEditTour::ToleranceIsValid(double* value) const {
    return ParseTypedNumber(ui->txtTolerance->text(), value) && *value >= 0 &&
           *value <= kMaxTolerance;
}

void frmEditTour::cmdOK_Click() {
    const QString name = ui->txtName->text().trimmed();
    const auto refuseName = [this](const char* message) {
        gTranslator->IvMessageBox(QString::fromUtf8(message), QString(), IvBox::Warning, IvBox::Ok,
                                  0);
        ui->txtName->setFocus();
        ui->txtName->selectAll();
    };
    if (name != startingName && NameExists(name, existingNames)) {
        refuseName(TR_TEXT("That name is already used.  Please enter another name."));
        return;
    }
    if (name.isEmpty()) {
        refuseName(TR_TEXT("You must enter a name for this group"));
        return;
    }
    if (SequentialDuplicateExists(points.Codes())) {
        gTranslator->IvMessageBox(
            QStringLiteral("Cannot assign two sequential tour points with the same location"),
            QString(), IvBox::Warning, IvBox::Ok, 0);
        ui->lvwSelected->setFocus();
        return;
    }
    double toleranceValue = 0;
    if (!ToleranceIsValid(&toleranceValue)) {
        gTranslator->IvMessageBox(
            QStringLiteral("The tolerance value can only range from 0 to 59 minutes"), QString(),
            IvBox::Warning, IvBox::Ok, 0);
        ui->lvwSelected->setFocus();
        return;
    }
    if (!TourTimeIsValid(toleranceValue, points.Intervals())) {
        gTranslator->IvMessageBox(
            QStringLiteral("The total tour time can only range from 0 to 1439 minutes"), QString(),
            IvBox::Warning, IvBox::Ok, 0);
        ui->lvwSelected->setFocus();
        return;
    }
    try {
        SaveTourPoints(*gConn, groupId, points.Items());
    } catch (const AppError& e) {
        // The former points are back; the user can try again or cancel.
        HandleError(QStringLiteral("cmdOK_Click of Form frmEditTour"), e, true);
        return;
    }
    listName = name;
    listDesc = ui->txtDesc->text().trimmed();
    setStartTime(ui->dtpStartTime->time());
    tolerance = static_cast<int>(RoundHalfEven(toleranceValue));
    ok = true;
    accept();
}

bool frmEditTour::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->lvwSelected && event->type() == QEvent::KeyPress) {
        // Delete removes a point only while the list has the focus; in a text box it edits.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
            if (SelectedPoint() > 0)
                RemoveLocation();
            return true;
        }
        return false;
    }
    if (watched == ui->lvwSelected->viewport())
        return listMouseEvent(ui->lvwSelected, event) || selectedDragEvent(event);
    if (watched == ui->lvwLocations->viewport())
        return listMouseEvent(ui->lvwLocations, event) || locationsDragEvent(event);
    return QDialog::eventFilter(watched, event);
}

// A press on a row makes that list the drag source; moving on with the button held drags
// the row.
bool frmEditTour::listMouseEvent(QTreeWidget* list, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        pressList = nullptr;
        if (list->itemAt(at)) {
            dragSource = list->objectName();
            pressList = list;
            pressPos = at;
        }
        return false;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (pressList != list || mouse->buttons() == Qt::NoButton)
            return false;
        if ((mouse->position().toPoint() - pressPos).manhattanLength() >=
            QApplication::startDragDistance()) {
            pressList = nullptr;
            StartDrag(list, pressPos);
        }
        return true; // the row pressed stays the one dragged
    }
    case QEvent::MouseButtonRelease:
        pressList = nullptr;
        return false;
    default:
        return false;
    }
}

void frmEditTour::StartDrag(QTreeWidget* list, const QPoint& at) {
    // The outline of a row the width of the list follows the pointer.
    const int height = fontMetrics().height();
    const QPoint topLeft = list->viewport()->mapTo(this, QPoint(0, at.y() - height / 2));
    ui->lblDragDrop->setGeometry(list->mapTo(this, QPoint(0, 0)).x(), topLeft.y(), list->width(),
                                 height);
    QPixmap outline(ui->lblDragDrop->size());
    outline.fill(Qt::transparent);
    {
        QPainter p(&outline);
        p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        p.drawRect(outline.rect().adjusted(0, 0, -1, -1));
    }
    auto* mime = new QMimeData;
    mime->setData(kDragFormat, list->objectName().toUtf8());
    auto* drag = new QDrag(list);
    drag->setMimeData(mime);
    drag->setPixmap(outline);
    drag->setHotSpot(QPoint(at.x(), height / 2));
    drag->exec(Qt::MoveAction);
    HideInsertMarker();
}

void frmEditTour::DragOverSelected(const QPoint& at) {
    QTreeWidget* list = ui->lvwSelected;
    const int half = ui->picInsertPtr->height() / 2;
    const int count = list->topLevelItemCount();
    int y = 0;
    if (QTreeWidgetItem* item = list->itemAt(at)) {
        y = list->visualItemRect(item).top();
        insertionIndex = list->indexOfTopLevelItem(item) + 1;
    } else if (count == 0) {
        insertionIndex = 1;
    } else {
        y = list->visualItemRect(list->topLevelItem(count - 1)).bottom() + 1;
        insertionIndex = count + 1;
    }
    const QPoint marker = list->viewport()->mapTo(this, QPoint(0, y - half));
    ui->picInsertPtr->move(list->mapTo(this, QPoint(0, 0)).x() - ui->picInsertPtr->width(),
                           marker.y());
    ui->picInsertPtr->show();
    ui->picInsertPtr->raise();
}

void frmEditTour::HideInsertMarker() {
    ui->picInsertPtr->hide();
    insertionIndex = 0;
}

bool frmEditTour::selectedDragEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!drag->mimeData()->hasFormat(kDragFormat)) {
            drag->ignore();
            return true;
        }
        DragOverSelected(drag->position().toPoint());
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::DragLeave:
        HideInsertMarker();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasFormat(kDragFormat)) {
            drop->ignore();
            return true;
        }
        DragOverSelected(drop->position().toPoint());
        if (dragSource == kLocations && ui->lvwLocations->currentItem() &&
            ui->lvwLocations->currentItem()->isSelected()) {
            AddLocation();
        } else if (dragSource == kSelected && SelectedPoint() > 0) {
            ShowTourPoints(points.MoveTourPoint(SelectedPoint(), insertionIndex));
            UpdateControls();
        }
        HideInsertMarker();
        drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

bool frmEditTour::locationsDragEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // Only a tour point can be dropped here: it leaves the tour.
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasFormat(kDragFormat) && dragSource == kSelected)
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::DragLeave:
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData()->hasFormat(kDragFormat) && dragSource == kSelected &&
            SelectedPoint() > 0) {
            RemoveLocation();
            drop->acceptProposedAction();
        } else {
            drop->ignore();
        }
        return true;
    }
    default:
        return false;
    }
}
