// The setup page on a real database: its lists, default names, deletes with their questions,
// tour copy, sorting, and writes that fail half-way.
#include "Boxes.h"
#include "ListChecks.h"
#include "TestHome.h"
#include "TestMain.h"
#include "frmCopyTour.h"
#include "frmMDISetup.h"
#include "frmMain.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mSetup.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

namespace {

qint64 addGroup(const QVariant& name, const QVariant& desc, int type) {
    return gConn->Insert("INSERT INTO tblListItems (tName, tDesc, wType) VALUES (?, ?, ?)",
                         {name, desc, type});
}

void addButton(qint64 group, const QString& code, const QString& name) {
    gConn->Insert("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName) VALUES (?, ?, ?)",
                  {group, code, name});
}

qint64 addTour(const QString& name, const QString& desc, const QString& start = "00:00:00",
               int tolerance = 5) {
    return gConn->Insert(
        "INSERT INTO tblTours (tName, tDesc, iTolerance, dtStartTime) VALUES (?, ?, ?, ?)",
        {name, desc, tolerance, start});
}

void addPoint(qint64 tour, int index, const QString& interval, const QString& code) {
    gConn->Insert(
        "INSERT INTO tblTourPoints (lParentID, lIndex, dtTime, tButtonCode) VALUES (?, ?, ?, ?)",
        {tour, index, interval, code});
}

void addReader(const QString& id, const QVariant& desc) {
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES (?, ?)", {id, desc});
}

void addTouch(const QString& code, const QString& reader) {
    gConn->Insert("INSERT INTO tblEvents (dtDateTime, tButtonCode, tPipeID, wGroupType) "
                  "VALUES ('2026-03-01 10:00:00', ?, ?, 1)",
                  {code, reader});
}

int count(const QString& sql, const QVariantList& params = {}) {
    return int(gConn->Query(sql, params).first().integer("n"));
}

// Every row the setup writes, as one text: what a failed write must leave as it was.
QString contents() {
    QStringList out;
    for (const char* sql :
         {"SELECT ID, tName, tDesc, wType FROM tblListItems ORDER BY ID",
          "SELECT ID, lParentID, tButtonCode FROM tblButtons ORDER BY ID",
          "SELECT ID, tName, tDesc, iTolerance, dtStartTime FROM tblTours ORDER BY ID",
          "SELECT lParentID, lIndex, dtTime, tButtonCode FROM tblTourPoints ORDER BY ID",
          "SELECT tReaderId, tDescription FROM tblReaders ORDER BY tReaderId",
          "SELECT count(*) FROM tblEvents"}) {
        const DbRows rows = gConn->Query(sql);
        for (const DbRow& row : rows) {
            QStringList cells;
            for (const QString& column : rows.columnNames())
                cells << row.text(column);
            out << cells.join('|');
        }
    }
    return out.join('\n');
}

} // namespace

class tst_setup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void defaultNames_data();
    void defaultNames();
    void pageStates_data();
    void pageStates();
    void addWritesDefaults();
    void deletePrompts_data();
    void deletePrompts();
    void deleteRemovesWhatBelongs();
    void copyTour();
    void failedWrites_data();
    void failedWrites();
    void sorting();
    void limitsShowWhole_data();
    void limitsShowWhole();

private:
    frmMDISetup* page() const { return qobject_cast<frmMDISetup*>(main->CurrentPage()); }
    QTreeWidget* list() const { return page()->findChild<QTreeWidget*>("lvwProgram"); }
    QPushButton* button(const char* name) const { return page()->findChild<QPushButton*>(name); }
    void showTab(int index) { page()->findChild<QTabWidget*>("tabSetup")->setCurrentIndex(index); }
    QStringList rows() const;
    QString selected() const;
    void select(const QString& text);
    void openSetup();

    std::unique_ptr<TestHome> home;
    std::unique_ptr<BoxRecorder> boxes;
    std::unique_ptr<frmMain> main;
};

void tst_setup::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    boxes = std::make_unique<BoxRecorder>();
    gDocked = false;
}

void tst_setup::cleanup() {
    main.reset();
    boxes.reset();
    home.reset();
}

void tst_setup::openSetup() {
    main = std::make_unique<frmMain>();
    main->setUserType(1);
    main->show();
    main->GoSetup();
    QVERIFY(page());
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
}

QStringList tst_setup::rows() const {
    QStringList out;
    for (int i = 0; i < list()->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list()->columnCount(); ++c)
            cells << list()->topLevelItem(i)->text(c);
        out << cells.join('|');
    }
    return out;
}

QString tst_setup::selected() const {
    QTreeWidgetItem* item = page()->SelectedItem();
    return item ? item->text(0) : QString();
}

void tst_setup::select(const QString& text) {
    const QList<QTreeWidgetItem*> found = list()->findItems(text, Qt::MatchExactly, 0);
    QCOMPARE(found.size(), 1);
    list()->setCurrentItem(found.first());
}

void tst_setup::defaultNames_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<bool>("reader");
    QTest::addColumn<QString>("expected");
    QStringList upTo998, all;
    for (int n = 1; n <= 999; ++n)
        (n < 999 ? upTo998 : all) << QString("Site %1").arg(n, 3, 10, QChar('0'));
    all = upTo998 + all;
    QTest::newRow("first") << "Site" << QStringList{} << false << "Site 001";
    QTest::newRow("next") << "Site" << QStringList{"Site 001"} << false << "Site 002";
    QTest::newRow("a gap is filled")
        << "Tour" << QStringList{"Tour 003", "Tour 001"} << false << "Tour 002";
    QTest::newRow("only 002 taken") << "Site" << QStringList{"Site 002"} << false << "Site 001";
    QTest::newRow("999 taken") << "Site" << QStringList{"Site 999"} << false << "Site 001";
    QTest::newRow("another case does not block")
        << "Site" << QStringList{"site 001", "SITE 002"} << false << "Site 001";
    QTest::newRow("blanks count") << "Site" << QStringList{"Site 001 "} << false << "Site 001";
    QTest::newRow("all but the last") << "Site" << upTo998 << false << "Site 999";
    QTest::newRow("all taken") << "Site" << all << false << "";
    QTest::newRow("reader: no leading zeros") << "Reader" << QStringList{} << true << "Reader 1";
    QTest::newRow("reader: 001 is not 1")
        << "Reader" << QStringList{"Reader 001", "Reader 1"} << true << "Reader 2";
}

void tst_setup::defaultNames() {
    QFETCH(QString, base);
    QFETCH(QStringList, listed);
    QFETCH(bool, reader);
    QFETCH(QString, expected);
    QCOMPARE(reader ? GetNewReaderName(base, listed) : GetNewItemName(base, listed), expected);
}

void tst_setup::pageStates_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("filled");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("expectedRows"); // header first
    QTest::addColumn<QString>("buttons");          // Edit, Add, Delete, Tour Copy: visible, enabled
    QTest::newRow("sites, empty") << 0 << false << "Sites: Setup" << QStringList{"Name|Description"}
                                  << "v- ve v- --";
    QTest::newRow("sites") << 0 << true << "Sites: Setup"
                           << QStringList{"Name|Description", "alpha gate|", "Beta yard|north",
                                          "Zeta dock|"}
                           << "ve ve ve --";
    QTest::newRow("event books") << 1 << true << "Event Books: Setup"
                                 << QStringList{"Name|Description", "|", "Incidents|"}
                                 << "ve ve ve --";
    QTest::newRow("tours, empty") << 2 << false << "Tours: Setup"
                                  << QStringList{"Tour Name|Start Time|Description"}
                                  << "v- ve v- v-";
    QTest::newRow("tours") << 2 << true << "Tours: Setup"
                           << QStringList{"Tour Name|Start Time|Description", "day|07:05| ",
                                          "Night|22:30|late"}
                           << "ve ve ve ve";
    QTest::newRow("readers") << 3 << true << "Readers: Setup"
                             << QStringList{"Reader ID|Description", "00001234|", "0000ABCD|Front"}
                             << "ve v- ve --";
    QTest::newRow("readers, empty, docked")
        << 3 << false << "Readers: Setup" << QStringList{"Reader ID|Description"} << "v- ve v- --";
}

void tst_setup::pageStates() {
    QFETCH(int, tab);
    QFETCH(bool, filled);
    QFETCH(QString, title);
    QFETCH(QStringList, expectedRows);
    QFETCH(QString, buttons);
    if (filled) {
        addGroup("Zeta dock", QVariant(), 1);
        addGroup("Beta yard", "north", 1);
        addGroup("alpha gate", QVariant(), 1);
        addGroup(QVariant(), QVariant(), 2); // a null name shows empty
        addGroup("Incidents", QVariant(), 2);
        addTour("Night", "late", "22:30:00");
        addTour("day", " ", "07:05:00");
        addReader("0000ABCD", "Front");
        addReader("00001234", QVariant());
    }
    gDocked = !filled;
    openSetup();
    auto* tabs = page()->findChild<QTabWidget*>("tabSetup");
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions << tabs->tabText(i);
    QCOMPARE(captions, (QStringList{"Sites", "Event Books", "Tours", "Readers"}));
    showTab(tab);

    QCOMPARE(main->findChild<QLabel*>("lblTitle")->text(), "  " + title);
    QStringList header;
    for (int c = 0; c < list()->columnCount(); ++c)
        header << list()->headerItem()->text(c);
    QCOMPARE(QStringList{header.join('|')} + rows(), expectedRows);
    QStringList states;
    for (const char* name : {"cmdSetup_0", "cmdSetup_1", "cmdSetup_2", "cmdTourCopy"})
        states << QString("%1%2")
                      .arg(button(name)->isVisibleTo(page()) ? "v" : "-")
                      .arg(button(name)->isEnabled() ? "e" : "-");
    QCOMPARE(states.join(' '), buttons);
    // The first row is selected; nothing is selected in an empty list, and Delete does nothing.
    QCOMPARE(selected(), filled ? expectedRows.value(1).section('|', 0, 0) : QString());
    if (!filled) {
        QTest::keyClick(list(), Qt::Key_Delete);
        QVERIFY(boxes->boxes.isEmpty());
    }
}

void tst_setup::addWritesDefaults() {
    addGroup("site 002", "", 1); // differs only in case: does not block "Site 002"
    openSetup();
    button("cmdSetup_1")->click();
    button("cmdSetup_1")->click();
    QCOMPARE(rows(), (QStringList{"Site 001|", "Site 002|", "site 002|"}));
    QCOMPARE(selected(), "Site 002");
    QCOMPARE(count("SELECT count(*) AS n FROM tblListItems WHERE tName = 'Site 002' COLLATE BINARY "
                   "AND tDesc = '' AND wType = 1"),
             1);

    showTab(1); // numbering is per tab
    button("cmdSetup_1")->click();
    QCOMPARE(rows(), QStringList{"Event Book 001|"});
    QCOMPARE(count("SELECT count(*) AS n FROM tblListItems WHERE tName = 'Event Book 001' "
                   "AND wType = 2"),
             1);

    showTab(2);
    button("cmdSetup_1")->click();
    QCOMPARE(rows(), QStringList{"Tour 001|00:00| "});
    QCOMPARE(selected(), "Tour 001");
    const DbRow tour = gConn->Query("SELECT * FROM tblTours").first();
    QCOMPARE(tour.text("tName"), "Tour 001");
    QCOMPARE(tour.text("tDesc"), " ");
    QCOMPARE(tour.integer("iTolerance"), 5);
    QCOMPARE(tour.text("dtStartTime"), "00:00:00");
    QVERIFY(boxes->boxes.isEmpty());
}

void tst_setup::deletePrompts_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("deleted");
    const QString group = "Are you sure you want to delete it?";
    const QString tour = "Are you sure you want to delete this tour?";
    QTest::newRow("group with buttons")
        << 0 << "Full" << int(Boxes::AnswerNo)
        << "The selected group contains sub-items\r\n" + group << false;
    QTest::newRow("empty group: the first line is empty")
        << 0 << "Empty" << int(Boxes::AnswerNo) << "\r\n" + group << false;
    QTest::newRow("group, box closed")
        << 0 << "Empty" << int(Boxes::AnswerCancel) << "\r\n" + group << false;
    QTest::newRow("tour with points") << 2 << "Walked" << int(Boxes::AnswerNo)
                                      << "The selected Tour contains data.\r\n" + tour << false;
    QTest::newRow("tour without points") << 2 << "Blank" << int(Boxes::AnswerNo) << tour + "\r\n"
                                         << false;
    QTest::newRow("reader") << 3 << "0000ABCD" << int(Boxes::AnswerNo)
                            << "Are you sure you want to delete this reader?" << false;
    QTest::newRow("reader, yes") << 3 << "0000ABCD" << int(Boxes::AnswerYes)
                                 << "Are you sure you want to delete this reader?" << true;
}

void tst_setup::deletePrompts() {
    QFETCH(int, tab);
    QFETCH(QString, row);
    QFETCH(int, answer);
    QFETCH(QString, prompt);
    QFETCH(bool, deleted);
    const qint64 full = addGroup("Full", "", 1);
    addButton(full, "00A1B2", "Gate");
    addButton(full, "00A1B3", "Yard");
    addGroup("Empty", "", 1);
    addPoint(addTour("Walked", " "), 1, "00:10:00", "00A1B2");
    addTour("Blank", " ");
    addReader("0000ABCD", "Front");
    openSetup();
    showTab(tab);
    select(row);
    const QString before = contents();
    boxes->answers = {answer};
    button("cmdSetup_2")->click();
    QCOMPARE(boxes->texts(), QStringList{prompt});
    QCOMPARE(boxes->boxes.first().buttons, Boxes::Buttons::YesNo);
    QCOMPARE(boxes->boxes.first().icon, Boxes::Icon::Question);
    QCOMPARE(contents() != before, deleted);
    QCOMPARE(list()->findItems(row, Qt::MatchExactly, 0).isEmpty(), deleted);
}

void tst_setup::deleteRemovesWhatBelongs() {
    const qint64 a = addGroup("A", "", 1);
    addGroup("B", "", 1);
    const qint64 c = addGroup("C", "", 1);
    addButton(a, "0000A1", "kept");
    addButton(c, "0000C1", "gone");
    addButton(c, "0000C2", "gone");
    addTouch("0000C1", "0000ABCD");
    const qint64 walked = addTour("Walked", " ");
    addPoint(walked, 1, "00:00:00", "0000C1");
    addPoint(walked, 2, "00:15:00", "0000A1");
    const qint64 other = addTour("Other", " ");
    addPoint(other, 1, "00:05:00", "0000C2");
    addReader("0000ABCD", "Front");
    addReader("0000ABCE", "Back");
    openSetup();

    // The Delete key deletes the third row; the second is selected after.
    select("C");
    QTest::keyClick(list(), Qt::Key_Delete);
    QCOMPARE(rows(), (QStringList{"A|", "B|"}));
    QCOMPARE(selected(), "B");
    QCOMPARE(count("SELECT count(*) AS n FROM tblButtons WHERE lParentID = ?", {c}), 0);
    QCOMPARE(count("SELECT count(*) AS n FROM tblButtons"), 1);
    // Touches and tour points of the deleted buttons stay.
    QCOMPARE(count("SELECT count(*) AS n FROM tblEvents"), 1);
    QCOMPARE(count("SELECT count(*) AS n FROM tblTourPoints"), 3);

    // After the first row the new first row is selected.
    select("A");
    button("cmdSetup_2")->click();
    QCOMPARE(rows(), QStringList{"B|"});
    QCOMPARE(selected(), "B");

    showTab(2);
    select("Walked");
    button("cmdSetup_2")->click();
    QCOMPARE(rows(), QStringList{"Other|00:00| "});
    QCOMPARE(count("SELECT count(*) AS n FROM tblTourPoints WHERE lParentID = ?", {walked}), 0);
    QCOMPARE(count("SELECT count(*) AS n FROM tblTourPoints WHERE lParentID = ?", {other}), 1);

    showTab(3);
    select("0000ABCD");
    button("cmdSetup_2")->click();
    QCOMPARE(rows(), QStringList{"0000ABCE|Back"});
    QCOMPARE(count("SELECT count(*) AS n FROM tblEvents WHERE tPipeID = '0000ABCD'"), 1);
    QCOMPARE(boxes->boxes.size(), 4); // the four questions, nothing else
}

void tst_setup::copyTour() {
    {
        frmCopyTour none;
        QCOMPARE(none.findChild<QComboBox*>("cboTours")->count(), 0);
        QVERIFY(!none.findChild<QPushButton*>("cmdOK")->isEnabled());
        QCOMPARE(none.TourID(), 0);
    }
    const qint64 walked = addTour("b walk", "nightly", "21:00:00", 7);
    addPoint(walked, 1, "00:00:00", "0000A1");
    addPoint(walked, 2, "00:20:00", "0000A2");
    addPoint(walked, 3, "01:30:00", "0000A1");
    const qint64 empty = addTour("A empty", " ");
    openSetup();
    showTab(2);
    QVERIFY(button("cmdTourCopy")->isEnabled());

    QStringList entries;
    auto choose = [&entries](const QString& entry, bool ok) {
        QTimer::singleShot(0, [&entries, entry, ok] {
            auto* dialog = qobject_cast<frmCopyTour*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* combo = dialog->findChild<QComboBox*>("cboTours");
            entries.clear();
            for (int i = 0; i < combo->count(); ++i)
                entries << combo->itemText(i);
            QCOMPARE(combo->currentIndex(), 0);
            combo->setCurrentIndex(combo->findText(entry));
            dialog->findChild<QPushButton*>(ok ? "cmdOK" : "cmdCancel")->click();
        });
    };

    const QString before = contents();
    choose("b walk - nightly", false);
    button("cmdTourCopy")->click();
    QCOMPARE(entries, (QStringList{"A empty -  ", "b walk - nightly"}));
    QCOMPARE(contents(), before);

    choose("A empty -  ", true);
    button("cmdTourCopy")->click();
    QCOMPARE(boxes->texts(), QStringList{"Cannot find any Tour Points to copy"});
    QCOMPARE(contents(), before); // not even a tour

    choose("b walk - nightly", true);
    button("cmdTourCopy")->click();
    QCOMPARE(boxes->boxes.size(), 1);
    QCOMPARE(selected(), "Tour 001");
    const DbRow tour =
        gConn->Query("SELECT * FROM tblTours WHERE tName = 'Tour 001' COLLATE BINARY").first();
    QCOMPARE(tour.text("tDesc"), " ");
    QCOMPARE(tour.integer("iTolerance"), 5);
    QCOMPARE(tour.text("dtStartTime"), "00:00:00");
    auto points = [](qint64 id) {
        QStringList out;
        for (const DbRow& r : gConn->Query("SELECT lIndex, dtTime, tButtonCode FROM tblTourPoints "
                                           "WHERE lParentID = ? ORDER BY ID",
                                           {id}))
            out << r.text("lIndex") + ' ' + r.text("dtTime") + ' ' + r.text("tButtonCode");
        return out;
    };
    QCOMPARE(points(tour.integer("ID")), points(walked));
    QCOMPARE(points(walked).size(), 3);
    QCOMPARE(points(empty).size(), 0);
}

void tst_setup::failedWrites_data() {
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("report"); // the error box's label, or the procedure box's text
    const QString raise = " BEGIN SELECT RAISE(ABORT, 'injected'); END";
    QTest::newRow("add a site") << "BEFORE INSERT ON tblListItems" + raise << 0 << ""
                                << "add"
                                << "AddGroup of Form frmMDISetup";
    QTest::newRow("add a tour") << "BEFORE INSERT ON tblTours" + raise << 2 << ""
                                << "add"
                                << "AddTour of Form frmMDISetup";
    QTest::newRow("a group's buttons, by the button")
        << "BEFORE DELETE ON tblButtons" + raise << 0 << "Gates"
        << "delete"
        << "cmdSetup_Click of Form frmMDISetup";
    QTest::newRow("a group's buttons, by the Delete key")
        << "BEFORE DELETE ON tblButtons" + raise << 0 << "Gates"
        << "key"
        << "Form_KeyDown of Form frmMDISetup";
    QTest::newRow("a tour's points") << "BEFORE DELETE ON tblTourPoints" + raise << 2 << "Walked"
                                     << "delete"
                                     << "DeleteTour of Form frmMDISetup";
    QTest::newRow("the second point of a copy")
        << "BEFORE INSERT ON tblTourPoints WHEN NEW.lIndex = 2" + raise << 2 << "Walked"
        << "copy"
        << "CopyTour of Form frmMDISetup";
    QTest::newRow("a reader") << "BEFORE DELETE ON tblReaders" + raise << 3 << "0000ABCD"
                              << "delete"
                              << "procedure DeleteReader";
}

void tst_setup::failedWrites() {
    QFETCH(QString, trigger);
    QFETCH(int, tab);
    QFETCH(QString, row);
    QFETCH(QString, action);
    QFETCH(QString, report);
    const qint64 gates = addGroup("Gates", "", 1);
    addButton(gates, "0000A1", "North");
    addButton(gates, "0000A2", "South");
    const qint64 walked = addTour("Walked", " ");
    addPoint(walked, 1, "00:00:00", "0000A1");
    addPoint(walked, 2, "00:10:00", "0000A2");
    addPoint(walked, 3, "00:10:00", "0000A1");
    addReader("0000ABCD", "Front");
    openSetup();
    showTab(tab);
    if (!row.isEmpty())
        select(row);
    const QStringList listed = rows();
    const QString before = contents();
    gConn->ExecuteScript("CREATE TEMP TRIGGER injected " + trigger + ";");

    boxes->answers = {Boxes::AnswerYes}; // the question, where there is one; then OK
    if (action == "add") {
        button("cmdSetup_1")->click();
    } else if (action == "delete") {
        button("cmdSetup_2")->click();
    } else if (action == "key") {
        QTest::keyClick(list(), Qt::Key_Delete);
    } else {
        QTimer::singleShot(0, [] {
            auto* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            dialog->findChild<QPushButton*>("cmdOK")->click();
        });
        button("cmdTourCopy")->click();
    }

    QCOMPARE(contents(), before);
    QCOMPARE(rows(), listed);
    const Boxes::Box failure = boxes->boxes.last();
    if (report.startsWith("procedure ")) {
        QCOMPARE(failure.title, "Trevano Lite");
        QCOMPARE(failure.buttons, Boxes::Buttons::Ok);
        QVERIFY2(QRegularExpression("^Error 19 in " + report + ": injected")
                     .match(failure.text)
                     .hasMatch(),
                 qPrintable(failure.text));
    } else {
        QCOMPARE(failure.title, "Error");
        QVERIFY2(failure.text.startsWith("Error 19 in " + report + "\r\n"),
                 qPrintable(failure.text));
        QVERIFY(failure.text.contains("injected"));
        QVERIFY(home->errorLog().contains("Error 19 in " + report + "\t(injected"));
    }
    gConn->ExecuteScript("DROP TRIGGER injected;");
}

void tst_setup::sorting() {
    addGroup("beta", "4", 1);
    addGroup("Alpha", "3", 1);
    addGroup("gamma", "1", 1);
    addGroup("Delta", "2", 1);
    openSetup();
    QHeaderView* header = list()->header();
    auto click = [header](int column) {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    auto names = [this] {
        QStringList out;
        for (const QString& r : rows())
            out << r.section('|', 0, 0);
        return out.join(' ');
    };
    auto indicator = [header] {
        return QString("%1%2")
            .arg(header->sortIndicatorSection())
            .arg(header->sortIndicatorOrder() == Qt::AscendingOrder ? '+' : '-');
    };
    QCOMPARE(names(), "Alpha beta Delta gamma");
    QCOMPARE(indicator(), "0+");
    click(0);
    QCOMPARE(names(), "gamma Delta beta Alpha");
    QCOMPARE(indicator(), "0-");
    click(1);
    QCOMPARE(names(), "gamma Delta Alpha beta");
    QCOMPARE(indicator(), "1+");
    click(1);
    QCOMPARE(names(), "beta Alpha Delta gamma");
    QCOMPARE(indicator(), "1-");

    // A rebuild returns to the first column ascending, and so does the next click's toggle.
    button("cmdSetup_1")->click();
    QCOMPARE(names(), "Alpha beta Delta gamma Site 001");
    QCOMPARE(indicator(), "0+");
    QCOMPARE(selected(), "Site 001");
    click(0);
    QCOMPARE(names(), "Site 001 gamma Delta beta Alpha");
}

void tst_setup::limitsShowWhole_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("tab");
    for (int language : {0, 2})
        for (int tab = 0; tab < 4; ++tab) {
            const char* tabs[] = {"sites", "event books", "tours", "readers"};
            QTest::newRow(
                qPrintable(QString("%1, %2").arg(tabs[tab], language ? "German" : "English")))
                << language << tab;
        }
}

// Each tab at the main window's first size, with names of 25 characters, descriptions of 50,
// an ID of its widest digits and a start time: every text whole (a description over two lines),
// every heading whole, nothing behind a scroll bar.
void tst_setup::limitsShowWhole() {
    QFETCH(int, language);
    QFETCH(int, tab);
    gTranslator->language = language;
    gTranslator->Open();
    const QString description = "Walk the west warehouse and the main gate at night";
    addGroup("Warehouse West Main Gates", description, 1);
    addGroup("Maintenance Work Messages", description, 2);
    addTour("Weekend Warehouse Morning", description, "23:58:00");
    addReader("8D0DB0DD", description);
    openSetup();
    showTab(tab);
    QCOMPARE(list()->topLevelItemCount(), 1);
    QCOMPARE(list()->topLevelItem(0)->text(list()->columnCount() - 1), description);
    QTRY_VERIFY(Wrapped(list(), list()->model()->index(0, list()->columnCount() - 1)));
    QCOMPARE(FirstCutCell(list()), QString());
    QCOMPARE(HeadingsOrWidthCut(list()), QString());
}

TREVANO_TEST_MAIN(tst_setup)

#include "tst_setup.moc"
