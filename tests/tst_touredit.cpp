// The tour editor, its interval dialog and the editing of a tour's point list, on a real
// database and real windows.
#include "ModalScript.h"
#include "Settings.h"
#include "TestHome.h"
#include "TestMain.h"
#include "cTourPointList.h"
#include "frmEditTime.h"
#include "frmEditTour.h"
#include "frmMDISetup.h"
#include "frmMain.h"
#include "mEditTour.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

namespace {

qint64 addGroup(const QString& name, int type) {
    return gConn->Insert("INSERT INTO tblListItems (tName, tDesc, wType) VALUES (?, '', ?)",
                         {name, type});
}

void addButton(qint64 group, const QString& code, const QString& name) {
    gConn->Insert("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                  "VALUES (?, ?, ?, ?)",
                  {group, code, name, name + " desc"});
}

qint64 addTour(const QString& name) {
    return gConn->Insert("INSERT INTO tblTours (tName, tDesc, iTolerance, dtStartTime) "
                         "VALUES (?, ' ', 5, '00:00:00')",
                         {name});
}

void addPoint(qint64 tour, int index, const QString& time, const QString& code) {
    gConn->Insert("INSERT INTO tblTourPoints (lParentID, lIndex, dtTime, tButtonCode) "
                  "VALUES (?, ?, ?, ?)",
                  {tour, index, time, code});
}

// "index time code" of each stored point in order.
QStringList storedPoints(qint64 tour) {
    QStringList out;
    for (const DbRow& r : gConn->Query("SELECT lIndex, dtTime, tButtonCode FROM tblTourPoints "
                                       "WHERE lParentID = ? ORDER BY lIndex",
                                       {tour}))
        out << QString("%1 %2 %3").arg(r.text("lIndex"), r.text("dtTime"), r.text("tButtonCode"));
    return out;
}

// Column `column` of every row of a list.
QStringList column(QTreeWidget* list, int column) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(column);
    return out;
}

// "ABC" as tour points whose codes are the letters.
cTourPointList letters(const QString& order) {
    cTourPointList list;
    for (QChar c : order)
        list.Add({10, QString(), QString(c), QString(c)});
    return list;
}

QString order(const cTourPointList& list) {
    QString out;
    for (const cTourPoint& p : list.Items())
        out += p.buttonCode;
    return out;
}

} // namespace

class tst_touredit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void listEditing_data();
    void listEditing();
    void saveChecks_data();
    void saveChecks();
    void saveAndReload();
    void failedSaveKeepsFormerPoints();
    void intervalDialog_data();
    void intervalDialog();
    void storedDefaultInterval_data();
    void storedDefaultInterval();
    void intervalEditingSetsTheDefault();
    void expectedTimesWrap();
    void buttonsAndKeys();
    void stateOnOpening_data();
    void stateOnOpening();
    void dragAndDrop();
    void editTourRow();
    void editTourRowWithoutLocations();
    void editTourRowFailedWrite();
    void editFromThePage();
    void pageWithoutLocations();

private:
    // The editor on `tour` (shown, not modal), as the setup page opens it.
    std::unique_ptr<frmEditTour> openEditor(qint64 tour, const QString& name = "Tour 001");

    std::unique_ptr<TestHome> home;
    qint64 north = 0, east = 0, tour1 = 0, tour2 = 0;
};

void tst_touredit::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    // Sites are listed by name: East first.
    north = addGroup("North", 1);
    addButton(north, "00000A", "Gate");
    addButton(north, "00000B", "Dock");
    addButton(north, "00000C", "Yard");
    east = addGroup("East", 1);
    addButton(east, "0000E1", "Office");
    addButton(addGroup("Incidents", 2), "0000F1", "Fire");
    tour1 = addTour("Tour 001");
    tour2 = addTour("Tour 002");
}

void tst_touredit::cleanup() {
    home.reset();
}

std::unique_ptr<frmEditTour> tst_touredit::openEditor(qint64 tour, const QString& name) {
    auto editor = std::make_unique<frmEditTour>();
    editor->setGroupID(tour);
    editor->setTolerance(5);
    editor->setListName(name);
    editor->setListDesc(" ");
    editor->setExistingNames({"Tour 001", "Tour 002"});
    editor->setStartTime(QTime(8, 0, 42));
    editor->Populate();
    editor->show();
    return editor;
}

// Each case starts from the points "ABC" (or as given) and runs one operation: the order
// afterwards and the position selected (the moved, added or following point).
void tst_touredit::listEditing_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("selected");
    QTest::newRow("up") << "ABC"
                        << "move" << 2 << 1 << "BAC" << 1;
    QTest::newRow("down") << "ABC"
                          << "move" << 2 << 4 << "ACB" << 3;
    QTest::newRow("down on the last") << "ABC"
                                      << "move" << 3 << 5 << "ABC" << 3;
    QTest::newRow("up on the first") << "ABC"
                                     << "move" << 1 << 0 << "ABC" << 1;
    QTest::newRow("drop on itself") << "ABC"
                                    << "move" << 2 << 2 << "ABC" << 2;
    QTest::newRow("drop on the next row") << "ABC"
                                          << "move" << 1 << 2 << "ABC" << 1;
    QTest::newRow("drop two rows lower") << "ABC"
                                         << "move" << 1 << 3 << "BAC" << 2;
    QTest::newRow("drop below the last") << "ABC"
                                         << "move" << 1 << 4 << "BCA" << 3;
    QTest::newRow("drop on row 1") << "ABC"
                                   << "move" << 3 << 1 << "CAB" << 1;
    QTest::newRow("promote first") << "ABC"
                                   << "promote" << 1 << 0 << "ABC" << 1;
    QTest::newRow("demote middle") << "ABC"
                                   << "demote" << 2 << 0 << "ACB" << 3;
    QTest::newRow("demote last") << "ABC"
                                 << "demote" << 3 << 0 << "ABC" << 3;
    QTest::newRow("add at the end") << "ABC"
                                    << "add" << 0 << 0 << "ABCX" << 4;
    QTest::newRow("add at marker 2") << "ABC"
                                     << "add" << 2 << 0 << "AXBC" << 2;
    QTest::newRow("add below the last") << "ABC"
                                        << "add" << 4 << 0 << "ABCX" << 4;
    QTest::newRow("add to an empty tour") << ""
                                          << "add" << 1 << 0 << "X" << 1;
    QTest::newRow("remove middle") << "ABC"
                                   << "remove" << 2 << 0 << "AC" << 2;
    QTest::newRow("remove last") << "ABC"
                                 << "remove" << 3 << 0 << "AB" << 2;
    QTest::newRow("remove only") << "A"
                                 << "remove" << 1 << 0 << "" << 0;
    QTest::newRow("remove nothing") << "ABC"
                                    << "remove" << 0 << 0 << "ABC" << 0;
}

void tst_touredit::listEditing() {
    QFETCH(QString, start);
    QFETCH(QString, op);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(QString, result);
    QFETCH(int, selected);
    cTourPointList list = letters(start);
    int got = -1;
    if (op == "move")
        got = list.MoveTourPoint(a, b);
    else if (op == "promote")
        got = list.Promote(a);
    else if (op == "demote")
        got = list.Demote(a);
    else if (op == "add")
        got = list.Add({10, {}, "X", "X"}, a);
    else if (op == "remove")
        got = list.Remove(a);
    QCOMPARE(order(list), result);
    QCOMPARE(got, selected);
}

// The checks of "&Save" in their order: the first that fails shows its text and nothing is
// written; otherwise the points are replaced and the editor closes.
void tst_touredit::saveChecks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QList<int>>("intervals");
    QTest::addColumn<QString>("tolerance");
    QTest::addColumn<QString>("message"); // empty: saved

    const QString used = "That name is already used.  Please enter another name.";
    const QString noName = "You must enter a name for this group";
    const QString twice = "Cannot assign two sequential tour points with the same location";
    const QString tolerance = "The tolerance value can only range from 0 to 59 minutes";
    const QString tooLong = "The total tour time can only range from 0 to 1439 minutes";
    const QStringList abc{"00000A", "00000B", "00000C"};
    const QList<int> tens{10, 10, 10};

    QTest::newRow("unchanged name") << "Tour 001" << abc << tens << "5"
                                    << "";
    QTest::newRow("name in blanks") << "  Morning  " << abc << tens << "5"
                                    << "";
    QTest::newRow("other tour's name") << "Tour 002" << abc << tens << "5" << used;
    QTest::newRow("only the case differs") << "tour 002" << abc << tens << "5"
                                           << "";
    QTest::newRow("blanks only") << "   " << abc << tens << "5" << noName;
    QTest::newRow("A A") << "Tour 001" << QStringList{"00000A", "00000A"} << QList<int>{5, 5} << "5"
                         << twice;
    QTest::newRow("A B A") << "Tour 001" << QStringList{"00000A", "00000B", "00000A"} << tens << "5"
                           << "";
    QTest::newRow("tolerance 59") << "Tour 001" << abc << tens << "59"
                                  << "";
    QTest::newRow("tolerance 60") << "Tour 001" << abc << tens << "60" << tolerance;
    QTest::newRow("tolerance -1") << "Tour 001" << abc << tens << "-1" << tolerance;
    QTest::newRow("tolerance empty") << "Tour 001" << abc << tens << "" << tolerance;
    QTest::newRow("tolerance letters") << "Tour 001" << abc << tens << "x" << tolerance;
    QTest::newRow("tolerance .5 rounds to 0") << "Tour 001" << abc << tens << ".5"
                                              << "";
    QTest::newRow("1439 minutes") << "Tour 001" << abc << QList<int>{30, 1420, 9} << "5"
                                  << "";
    QTest::newRow("1440 minutes") << "Tour 001" << abc << QList<int>{30, 1421, 9} << "5" << tooLong;
    QTest::newRow("first interval not counted")
        << "Tour 001" << abc << QList<int>{1439, 1, 1} << "59"
        << "";
    QTest::newRow("no points") << "Tour 001" << QStringList() << QList<int>() << "59"
                               << "";
    QTest::newRow("name before points")
        << "" << QStringList{"00000A", "00000A"} << QList<int>{5, 5} << "99" << noName;
    QTest::newRow("points before tolerance")
        << "Tour 001" << QStringList{"00000A", "00000A"} << QList<int>{5, 5} << "99" << twice;
    QTest::newRow("tolerance before time")
        << "Tour 001" << abc << QList<int>{0, 1439, 1439} << "99" << tolerance;
}

void tst_touredit::saveChecks() {
    QFETCH(QString, name);
    QFETCH(QStringList, codes);
    QFETCH(QList<int>, intervals);
    QFETCH(QString, tolerance);
    QFETCH(QString, message);
    // Stored with gaps in their numbers: a save numbers them 1, 2, 3 ...
    for (int i = 0; i < codes.size(); ++i)
        addPoint(tour1, (i + 1) * 10,
                 QString("%1:%2:00")
                     .arg(intervals[i] / 60, 2, 10, QChar('0'))
                     .arg(intervals[i] % 60, 2, 10, QChar('0')),
                 codes[i]);
    const QStringList before = storedPoints(tour1);
    auto editor = openEditor(tour1);
    Child<QLineEdit>(editor.get(), "txtName")->setText(name);
    Child<QLineEdit>(editor.get(), "txtTolerance")->setText(tolerance);
    BoxRecorder boxes;
    Child<QPushButton>(editor.get(), "cmdOK")->click();

    if (message.isEmpty()) {
        QCOMPARE(boxes.texts(), QStringList());
        QVERIFY(editor->OK());
        QVERIFY(!editor->isVisible());
        QCOMPARE(editor->ListName(), name.trimmed());
        QStringList expected;
        for (int i = 0; i < codes.size(); ++i)
            expected << QString("%1 %2:%3:00 %4")
                            .arg(i + 1)
                            .arg(intervals[i] / 60, 2, 10, QChar('0'))
                            .arg(intervals[i] % 60, 2, 10, QChar('0'))
                            .arg(codes[i]);
        QCOMPARE(storedPoints(tour1), expected);
    } else {
        QCOMPARE(boxes.texts(), QStringList{message});
        QVERIFY(!editor->OK());
        QVERIFY(editor->isVisible());
        QCOMPARE(storedPoints(tour1), before);
    }
}

// Points stored with gaps in their numbers and one whose button was deleted: they load in
// order, the orphan with empty site and location; after a move they are saved numbered
// 1, 2, 3 with the orphan's code kept, and they load again as saved. Cancel writes nothing.
void tst_touredit::saveAndReload() {
    addPoint(tour1, 5, "00:10:00", "00000A");
    addPoint(tour1, 9, "01:30:00", "00000D"); // no such button
    addPoint(tour1, 12, "00:05:00", "0000E1");
    {
        auto editor = openEditor(tour1);
        auto* list = Child<QTreeWidget>(editor.get(), "lvwSelected");
        QCOMPARE(column(list, 0), QStringList({"10", "90", "5"}));
        QCOMPARE(column(list, 1), QStringList({"North", "", "East"}));
        QCOMPARE(column(list, 2), QStringList({"Gate", "", "Office"}));
        list->setCurrentItem(list->topLevelItem(0));
        Child<QPushButton>(editor.get(), "cmdMove_3")->click(); // Move Down
        Child<QPushButton>(editor.get(), "cmdCancel")->click();
        QVERIFY(!editor->OK());
        QCOMPARE(storedPoints(tour1),
                 QStringList({"5 00:10:00 00000A", "9 01:30:00 00000D", "12 00:05:00 0000E1"}));
    }
    {
        auto editor = openEditor(tour1);
        auto* list = Child<QTreeWidget>(editor.get(), "lvwSelected");
        list->setCurrentItem(list->topLevelItem(0));
        Child<QPushButton>(editor.get(), "cmdMove_3")->click();
        BoxRecorder boxes;
        Child<QPushButton>(editor.get(), "cmdOK")->click();
        QCOMPARE(boxes.texts(), QStringList());
        QVERIFY(editor->OK());
    }
    const QStringList saved{"1 01:30:00 00000D", "2 00:10:00 00000A", "3 00:05:00 0000E1"};
    QCOMPARE(storedPoints(tour1), saved);
    auto again = openEditor(tour1);
    QCOMPARE(column(Child<QTreeWidget>(again.get(), "lvwSelected"), 2),
             QStringList({"", "Gate", "Office"}));
    QCOMPARE(storedPoints(tour2), QStringList()); // another tour's points are never touched
}

// A save whose second insert fails leaves the former points, shows the error box and keeps
// the editor open with the list as edited.
void tst_touredit::failedSaveKeepsFormerPoints() {
    addPoint(tour1, 1, "00:10:00", "00000A");
    addPoint(tour1, 2, "00:20:00", "00000B");
    const QStringList before = storedPoints(tour1);
    auto editor = openEditor(tour1);
    Child<QPushButton>(editor.get(), "cmdMove_0")->click(); // adds Gate as point 3
    gConn->Execute("CREATE TEMP TRIGGER fail BEFORE INSERT ON tblTourPoints WHEN NEW.lIndex = 2 "
                   "BEGIN SELECT RAISE(ABORT, 'injected'); END");
    BoxRecorder boxes;
    boxes.answers = {Boxes::AnswerOk};
    Child<QPushButton>(editor.get(), "cmdOK")->click();
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().title, QString("Error"));
    QVERIFY2(boxes.texts().first().contains("cmdOK_Click of Form frmEditTour") &&
                 boxes.texts().first().contains("injected"),
             qPrintable(boxes.texts().first()));
    QVERIFY(home->errorLog().contains("cmdOK_Click of Form frmEditTour"));
    QVERIFY(!editor->OK());
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->TourPoints().Count(), 3);
    QCOMPARE(storedPoints(tour1), before);

    gConn->Execute("DROP TRIGGER fail");
    Child<QPushButton>(editor.get(), "cmdOK")->click();
    QVERIFY(editor->OK());
    QCOMPARE(storedPoints(tour1).size(), 3);
}

void tst_touredit::intervalDialog_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");  // the Enter key in the box instead of "&OK"
    QTest::addColumn<int>("minutes"); // -1: refused
    QTest::newRow("0") << "0" << false << 0;
    QTest::newRow("1439") << "1439" << false << 1439;
    QTest::newRow("12.5 to even") << "12.5" << false << 12;
    QTest::newRow("13.5 to even") << "13.5" << false << 14;
    QTest::newRow("blanks and sign") << " +7 " << false << 7;
    QTest::newRow("Enter accepts") << "45" << true << 45;
    QTest::newRow("1440") << "1440" << false << -1;
    QTest::newRow("1439.5") << "1439.5" << false << -1;
    QTest::newRow("-1") << "-1" << false << -1;
    QTest::newRow("empty") << "" << false << -1;
    QTest::newRow("letters") << "abc" << true << -1;
    QTest::newRow("two points") << "1.2.3" << false << -1;
    QTest::newRow("exponent") << "1e3" << false << -1;
}

void tst_touredit::intervalDialog() {
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(int, minutes);
    frmEditTime dialog;
    dialog.setIntervalTime(25);
    auto* text = Child<QLineEdit>(&dialog, "txtTime");
    QCOMPARE(text->text(), QString("25"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    text->setText(typed);
    BoxRecorder boxes;
    if (enter)
        QTest::keyClick(text, Qt::Key_Return);
    else
        Child<QPushButton>(&dialog, "cmdOK")->click();
    if (minutes < 0) {
        QCOMPARE(boxes.texts(), QStringList{"Only valid numbers from 0 to 1439 can be entered"});
        QVERIFY(!dialog.OK());
        QVERIFY(dialog.isVisible());
        QCOMPARE(text->text(), typed);
    } else {
        QCOMPARE(boxes.texts(), QStringList());
        QVERIFY(dialog.OK());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.IntervalTime(), minutes);
    }
}

void tst_touredit::storedDefaultInterval_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("minutes");
    QTest::newRow("none") << "" << 10;
    QTest::newRow("25") << "25" << 25;
    QTest::newRow("0") << "0" << 10;
    QTest::newRow("1439") << "1439" << 1439;
    QTest::newRow("1440, more than a day") << "1440" << 10;
    QTest::newRow("4000") << "4000" << 10;
    QTest::newRow("not a number") << "ten" << 10;
}

// A new point takes the stored default interval; a value no tour could hold gives 10.
void tst_touredit::storedDefaultInterval() {
    QFETCH(QString, stored);
    QFETCH(int, minutes);
    if (!stored.isEmpty())
        Settings::SaveSetting("Settings", "LastTourInterval", stored);
    auto editor = openEditor(tour1);
    Child<QPushButton>(editor.get(), "cmdMove_0")->click();
    QCOMPARE(column(Child<QTreeWidget>(editor.get(), "lvwSelected"), 0),
             QStringList{QString::number(minutes)});
}

// Every interval dialog leaves the interval it showed last as the next point's; only OK
// writes the setting.
void tst_touredit::intervalEditingSetsTheDefault() {
    addPoint(tour1, 1, "00:25:00", "00000A");
    Settings::SaveSetting("Settings", "LastTourInterval", "15");
    auto editor = openEditor(tour1);
    auto* list = Child<QTreeWidget>(editor.get(), "lvwSelected");
    list->setCurrentItem(list->topLevelItem(0));

    int shown = -1;
    WhenOpen<frmEditTime>([&](frmEditTime* d) {
        shown = Child<QLineEdit>(d, "txtTime")->text().toInt();
        Child<QLineEdit>(d, "txtTime")->setText("99");
        Child<QPushButton>(d, "cmdCancel")->click();
    });
    Child<QPushButton>(editor.get(), "cmdEditTime")->click();
    QCOMPARE(shown, 25);
    QCOMPARE(Settings::GetSetting("Settings", "LastTourInterval"), QString("15"));
    Child<QPushButton>(editor.get(), "cmdMove_0")->click();
    QCOMPARE(column(list, 0), QStringList({"25", "25"}));

    list->setCurrentItem(list->topLevelItem(0));
    WhenOpen<frmEditTime>([&](frmEditTime* d) {
        Child<QLineEdit>(d, "txtTime")->setText("40");
        Child<QPushButton>(d, "cmdOK")->click();
    });
    emit list->itemDoubleClicked(list->topLevelItem(0), 0);
    QCOMPARE(Settings::GetSetting("Settings", "LastTourInterval"), QString("40"));
    QCOMPARE(column(list, 0), QStringList({"40", "25"}));
    QCOMPARE(column(list, 3), QStringList({"08:40", "09:05"}));
    Child<QPushButton>(editor.get(), "cmdMove_0")->click();
    QCOMPARE(column(list, 0), QStringList({"40", "25", "40"}));
}

void tst_touredit::expectedTimesWrap() {
    addPoint(tour1, 1, "00:30:00", "00000A");
    addPoint(tour1, 2, "00:20:00", "00000B");
    auto editor = openEditor(tour1);
    auto* list = Child<QTreeWidget>(editor.get(), "lvwSelected");
    QCOMPARE(column(list, 3), QStringList({"08:30", "08:50"}));
    Child<QTimeEdit>(editor.get(), "dtpStartTime")->setTime(QTime(23, 45));
    QCOMPARE(column(list, 3), QStringList({"00:15", "00:35"}));
    Child<QPushButton>(editor.get(), "cmdOK")->click();
    QCOMPARE(editor->StartTime(), QTime(23, 45));
}

// "&Add ->" walks through the site's locations; buttons that act on a point wait for a
// selected point; Delete removes a point only from the focused list, never from a text box.
void tst_touredit::buttonsAndKeys() {
    auto editor = openEditor(tour1);
    auto* sites = Child<QComboBox>(editor.get(), "imgCboSites");
    QCOMPARE(sites->currentText(), QString("East"));
    QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    sites->setCurrentIndex(1);
    emit sites->activated(1);
    auto* locations = Child<QTreeWidget>(editor.get(), "lvwLocations");
    QCOMPARE(column(locations, 0), QStringList({"Gate", "Dock", "Yard"}));
    auto* list = Child<QTreeWidget>(editor.get(), "lvwSelected");
    auto* add = Child<QPushButton>(editor.get(), "cmdMove_0");
    auto* remove = Child<QPushButton>(editor.get(), "cmdMove_1");
    auto* editTime = Child<QPushButton>(editor.get(), "cmdEditTime");
    QVERIFY(!remove->isEnabled() && !editTime->isEnabled());
    for (int i = 0; i < 4; ++i)
        add->click();
    QCOMPARE(column(list, 2), QStringList({"Gate", "Dock", "Yard", "Yard"}));
    QCOMPARE(column(list, 1), QStringList({"North", "North", "North", "North"}));
    QCOMPARE(column(list, 3), QStringList({"08:10", "08:20", "08:30", "08:40"}));
    QVERIFY(remove->isEnabled());

    list->setCurrentItem(list->topLevelItem(1));
    Child<QPushButton>(editor.get(), "cmdMove_2")->click(); // Move Up
    QCOMPARE(column(list, 2), QStringList({"Dock", "Gate", "Yard", "Yard"}));
    QCOMPARE(list->indexOfTopLevelItem(list->currentItem()), 0);

    auto* name = Child<QLineEdit>(editor.get(), "txtName");
    name->setFocus();
    name->setCursorPosition(0);
    QTest::keyClick(name, Qt::Key_Delete);
    QCOMPARE(name->text(), QString("our 001"));
    QCOMPARE(list->topLevelItemCount(), 4);

    list->setCurrentItem(list->topLevelItem(1));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(column(list, 2), QStringList({"Dock", "Yard", "Yard"}));
    QCOMPARE(list->indexOfTopLevelItem(list->selectedItems().value(0)), 1);
    remove->click();
    remove->click();
    QCOMPARE(column(list, 2), QStringList({"Dock"}));
    QCOMPARE(list->selectedItems().size(), 1);

    list->clearSelection();
    QVERIFY(!remove->isEnabled() && !editTime->isEnabled());
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(list->topLevelItemCount(), 1);
    Child<QPushButton>(editor.get(), "cmdMove_4")->click(); // Reset
    QCOMPARE(list->topLevelItemCount(), 0);

    gConn->Execute("DELETE FROM tblButtons WHERE lParentID = ?", {east});
    sites->setCurrentIndex(0);
    emit sites->activated(0);
    QVERIFY(!add->isEnabled());
}

void tst_touredit::stateOnOpening_data() {
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("afterRemove"); // locations left after "<- Remove" at once
    QTest::newRow("no points") << QStringList() << "";
    QTest::newRow("one point") << QStringList{"00000A"} << "";
    QTest::newRow("three points") << QStringList{"00000A", "00000B", "0000E1"} << "Dock Office";
}

// The editor opens with its first point selected, so that the buttons that act on a point
// are ready and act on it; without points they wait.
void tst_touredit::stateOnOpening() {
    QFETCH(QStringList, codes);
    QFETCH(QString, afterRemove);
    for (int i = 0; i < codes.size(); ++i)
        addPoint(tour1, i + 1, "00:10:00", codes.at(i));
    auto editor = openEditor(tour1);
    QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    auto* list = Child<QTreeWidget>(editor.get(), "lvwSelected");
    const bool points = !codes.isEmpty();
    QCOMPARE(list->selectedItems().size(), points ? 1 : 0);
    if (points) {
        QCOMPARE(list->indexOfTopLevelItem(list->selectedItems().first()), 0);
        QCOMPARE(list->currentItem(), list->topLevelItem(0));
    }
    for (const char* name : {"cmdMove_1", "cmdMove_2", "cmdMove_3", "cmdEditTime"})
        QVERIFY2(Child<QPushButton>(editor.get(), name)->isEnabled() == points, name);
    for (const char* name : {"cmdMove_0", "cmdMove_4", "cmdOK"})
        QVERIFY2(Child<QPushButton>(editor.get(), name)->isEnabled(), name);
    Child<QPushButton>(editor.get(), "cmdMove_1")->click(); // "<- Remove"
    QCOMPARE(column(list, 2).join(' '), afterRemove);
}

// Drops as the window receives them: the marker shows where a location goes in, a point
// dragged within the list moves, a point dragged back to the locations leaves the tour and
// a location dropped on the locations changes nothing.
void tst_touredit::dragAndDrop() {
    addPoint(tour1, 1, "00:10:00", "0000E1");
    addPoint(tour1, 2, "00:10:00", "00000A");
    addPoint(tour1, 3, "00:10:00", "00000B");
    auto editor = openEditor(tour1);
    QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    auto* locations = Child<QTreeWidget>(editor.get(), "lvwLocations");
    auto* list = Child<QTreeWidget>(editor.get(), "lvwSelected");
    auto* marker = Child<QLabel>(editor.get(), "picInsertPtr");
    QVERIFY(!marker->isVisible());
    const auto rowCentre = [](QTreeWidget* l, int row) {
        return l->visualItemRect(l->topLevelItem(row)).center();
    };
    const auto drop = [&](QTreeWidget* target, const QPoint& at) {
        QMimeData mime;
        mime.setData("application/x-trevano-tour-row", QByteArray("row"));
        // A widget takes drag moves only after it accepted the drag's entry.
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target->viewport(), &enter);
        QDragMoveEvent move(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target->viewport(), &move);
        const bool accepted = enter.isAccepted() && move.isAccepted();
        QDropEvent dropEvent(QPointF(at), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target->viewport(), &dropEvent);
        return accepted;
    };

    // Location "Office" of East onto row 2.
    QTest::mousePress(locations->viewport(), Qt::LeftButton, {}, rowCentre(locations, 0));
    QTest::mouseRelease(locations->viewport(), Qt::LeftButton, {}, rowCentre(locations, 0));
    QCOMPARE(editor->DragSource(), QString("lvwLocations"));
    {
        QMimeData mime;
        mime.setData("application/x-trevano-tour-row", QByteArray("row"));
        QDragEnterEvent enter(rowCentre(list, 1), Qt::MoveAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &enter);
        QDragMoveEvent move(rowCentre(list, 1), Qt::MoveAction, &mime, Qt::LeftButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &move);
        QVERIFY(marker->isVisible());
        QCOMPARE(editor->InsertionIndex(), 2);
        const QPoint rowTop = list->viewport()->mapTo(
            editor.get(), list->visualItemRect(list->topLevelItem(1)).topLeft());
        QCOMPARE(marker->geometry().center().y(), rowTop.y());
        QVERIFY(marker->geometry().right() < list->mapTo(editor.get(), QPoint(0, 0)).x());
    }
    QVERIFY(drop(list, rowCentre(list, 1)));
    QCOMPARE(column(list, 2), QStringList({"Office", "Office", "Gate", "Dock"}));
    QCOMPARE(column(list, 0), QStringList({"10", "10", "10", "10"}));
    QVERIFY(!marker->isVisible());
    QCOMPARE(editor->InsertionIndex(), 0);

    // Point 1 below the last row: it becomes the last point.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 0));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 0));
    QCOMPARE(editor->DragSource(), QString("lvwSelected"));
    const QRect last = list->visualItemRect(list->topLevelItem(3));
    QVERIFY(drop(list, QPoint(last.center().x(), last.bottom() + 8)));
    QCOMPARE(column(list, 2), QStringList({"Office", "Gate", "Dock", "Office"}));
    QCOMPARE(list->indexOfTopLevelItem(list->selectedItems().value(0)), 3);

    // Point 2 ("Gate") back onto the locations: it leaves the tour.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 1));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 1));
    QVERIFY(drop(locations, rowCentre(locations, 0)));
    QCOMPARE(column(list, 2), QStringList({"Office", "Dock", "Office"}));

    // A location dropped on the locations is refused and changes nothing.
    QTest::mousePress(locations->viewport(), Qt::LeftButton, {}, rowCentre(locations, 0));
    QTest::mouseRelease(locations->viewport(), Qt::LeftButton, {}, rowCentre(locations, 0));
    QVERIFY(!drop(locations, rowCentre(locations, 0)));
    QCOMPARE(column(list, 2), QStringList({"Office", "Dock", "Office"}));
}

// "&Edit" on a tour: the editor gets the row's values; after "&Save" the tour's row holds
// the trimmed name and description, the start time and the tolerance; Cancel writes nothing.
void tst_touredit::editTourRow() {
    const cTourHeader tour{tour1, "Tour 001", " ", QTime(6, 30), 7};
    const auto row = [&] {
        const DbRow r = gConn->Query("SELECT * FROM tblTours WHERE ID = ?", {tour1}).first();
        return QStringList{r.text("tName"), r.text("tDesc"), r.text("dtStartTime"),
                           r.text("iTolerance")};
    };
    const QStringList before = row();
    WhenOpen<frmEditTour>([](frmEditTour* d) {
        Child<QLineEdit>(d, "txtName")->setText("Night");
        Child<QPushButton>(d, "cmdCancel")->click();
    });
    QCOMPARE(EditTourRow(nullptr, tour, {"Tour 001", "Tour 002"}), EditTourOutcome::Cancelled);
    QCOMPARE(row(), before);

    QStringList shown;
    WhenOpen<frmEditTour>([&](frmEditTour* d) {
        shown << d->windowTitle() << Child<QLineEdit>(d, "txtName")->text()
              << Child<QLineEdit>(d, "txtTolerance")->text()
              << Child<QTimeEdit>(d, "dtpStartTime")->time().toString("HH:mm");
        Child<QLineEdit>(d, "txtName")->setText(" Night ");
        Child<QLineEdit>(d, "txtDesc")->setText(" back gate ");
        Child<QLineEdit>(d, "txtTolerance")->setText("12");
        Child<QTimeEdit>(d, "dtpStartTime")->setTime(QTime(22, 15));
        Child<QPushButton>(d, "cmdMove_0")->click();
        Child<QPushButton>(d, "cmdOK")->click();
    });
    BoxRecorder boxes;
    QCOMPARE(EditTourRow(nullptr, tour, {"Tour 001", "Tour 002"}), EditTourOutcome::Saved);
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(shown, QStringList({"Customize Tour Sequence", "Tour 001", "7", "06:30"}));
    QCOMPARE(row(), QStringList({"Night", "back gate", "22:15:00", "12"}));
    QCOMPARE(storedPoints(tour1), QStringList{"1 00:10:00 0000E1"});
}

// With no site holding a location the editor does not open: a button of an event book or
// a site without buttons does not count.
void tst_touredit::editTourRowWithoutLocations() {
    gConn->Execute("DELETE FROM tblButtons WHERE lParentID IN (?, ?)", {north, east});
    BoxRecorder boxes;
    bool opened = false;
    QPointer<QTimer> watcher = WhenOpen<frmEditTour>([&](frmEditTour* d) {
        opened = true;
        d->reject();
    });
    QCOMPARE(EditTourRow(nullptr, {tour1, "Tour 001", " ", QTime(0, 0), 5}, {"Tour 001"}),
             EditTourOutcome::NoLocations);
    delete watcher;
    QVERIFY(!opened);
    QCOMPARE(boxes.texts(),
             QStringList{"You must add at least one location before you can define a tour"});
}

// The points are saved before the tour's row: a failed row write is reported and the
// points stay saved.
void tst_touredit::editTourRowFailedWrite() {
    gConn->Execute("CREATE TEMP TRIGGER fail BEFORE UPDATE ON tblTours "
                   "BEGIN SELECT RAISE(ABORT, 'injected'); END");
    WhenOpen<frmEditTour>([](frmEditTour* d) {
        Child<QLineEdit>(d, "txtName")->setText("Night");
        Child<QPushButton>(d, "cmdMove_0")->click();
        Child<QPushButton>(d, "cmdOK")->click();
    });
    BoxRecorder boxes;
    boxes.answers = {Boxes::AnswerOk};
    QCOMPARE(EditTourRow(nullptr, {tour1, "Tour 001", " ", QTime(0, 0), 5}, {"Tour 001"}),
             EditTourOutcome::Failed);
    QCOMPARE(boxes.boxes.size(), 1);
    QVERIFY2(boxes.texts().first().contains("EditTour of Form frmMDISetup") &&
                 boxes.texts().first().contains("injected"),
             qPrintable(boxes.texts().first()));
    QCOMPARE(gConn->Query("SELECT tName FROM tblTours WHERE ID = ?", {tour1}).first().text("tName"),
             QString("Tour 001"));
    QCOMPARE(storedPoints(tour1), QStringList{"1 00:10:00 0000E1"});
}

// "&Edit" and the double-click on the Tours tab: the editor gets the selected row's values
// and the names listed; after a save the list shows the tour as written, still selected.
void tst_touredit::editFromThePage() {
    gConn->Execute("UPDATE tblTours SET dtStartTime = '21:40:00', iTolerance = 9 WHERE ID = ?",
                   {tour2});
    gDocked = false;
    frmMain main;
    main.setUserType(1);
    main.show();
    main.GoSetup();
    auto* page = qobject_cast<frmMDISetup*>(main.CurrentPage());
    QVERIFY(page);
    page->findChild<QTabWidget*>("tabSetup")->setCurrentIndex(2);
    auto* list = Child<QTreeWidget>(page, "lvwProgram");
    auto* edit = Child<QPushButton>(page, "cmdSetup_0");
    QVERIFY(edit->isEnabled());
    list->setCurrentItem(list->topLevelItem(1)); // Tour 002

    // A name listed for another tour is refused; the editor stays until cancelled.
    QStringList shown, refused;
    WhenOpen<frmEditTour>([&](frmEditTour* d) {
        shown << Child<QLineEdit>(d, "txtName")->text()
              << Child<QLineEdit>(d, "txtTolerance")->text()
              << Child<QTimeEdit>(d, "dtpStartTime")->time().toString("HH:mm");
        Child<QLineEdit>(d, "txtName")->setText("Tour 001");
        BoxRecorder inner;
        Child<QPushButton>(d, "cmdOK")->click();
        refused = inner.texts();
        Child<QPushButton>(d, "cmdCancel")->click();
    });
    edit->click();
    QCOMPARE(shown, QStringList({"Tour 002", "9", "21:40"}));
    QCOMPARE(refused, QStringList{"That name is already used.  Please enter another name."});

    // Double-click, rename, add a point and save: the rebuilt list selects the tour again.
    WhenOpen<frmEditTour>([&](frmEditTour* d) {
        Child<QLineEdit>(d, "txtName")->setText("Alpha round");
        Child<QTimeEdit>(d, "dtpStartTime")->setTime(QTime(6, 5));
        Child<QPushButton>(d, "cmdMove_0")->click();
        Child<QPushButton>(d, "cmdOK")->click();
    });
    emit list->itemDoubleClicked(list->topLevelItem(1), 0);
    QCOMPARE(column(list, 0), QStringList({"Alpha round", "Tour 001"}));
    QCOMPARE(column(list, 1), QStringList({"06:05", "00:00"}));
    QCOMPARE(list->selectedItems().value(0)->text(0), QString("Alpha round"));
    QCOMPARE(storedPoints(tour2), QStringList{"1 00:10:00 0000E1"});
    main.close();
}

// Without a location button "&Edit" says why and opens nothing; the list stays as it was.
void tst_touredit::pageWithoutLocations() {
    gConn->Execute("DELETE FROM tblButtons WHERE lParentID IN (?, ?)", {north, east});
    gDocked = false;
    frmMain main;
    main.setUserType(1);
    main.show();
    main.GoSetup();
    auto* page = main.CurrentPage();
    page->findChild<QTabWidget*>("tabSetup")->setCurrentIndex(2);
    auto* list = Child<QTreeWidget>(page, "lvwProgram");
    list->setCurrentItem(list->topLevelItem(1));
    bool opened = false;
    QPointer<QTimer> watcher = WhenOpen<frmEditTour>([&](frmEditTour* d) {
        opened = true;
        d->reject();
    });
    BoxRecorder boxes;
    Child<QPushButton>(page, "cmdSetup_0")->click();
    delete watcher;
    QVERIFY(!opened);
    QCOMPARE(boxes.texts(),
             QStringList{"You must add at least one location before you can define a tour"});
    QCOMPARE(list->selectedItems().value(0)->text(0), QString("Tour 002"));
    main.close();
}

TREVANO_TEST_MAIN(tst_touredit)
#include "tst_touredit.moc"
