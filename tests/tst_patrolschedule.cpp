// The patrol schedule: its rows, its refusals and failures, its dialog and its printed pages.
#include "Database.h"
#include "ListChecks.h"
#include "ModalScript.h"
#include "PreviewChecks.h"
#include "ReportDialogs.h"
#include "TestHome.h"
#include "TestMain.h"
#include "cReportHost.h"
#include "frmMdiReports.h"
#include "mDbUtil.h"
#include "mGlobals.h"
#include "patrol/frmRptPatrolSchedule.h"
#include "patrol/mPatrolSchedule.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>

using namespace PreviewChecks;

namespace {

struct Host : cReportHost {
    int widthTwips() const override { return 12000; }
};

// The site North with the locations Gate, Door and Yard; Shed's site is gone.
void addSite() {
    const qint64 north = gConn->Insert(
        "INSERT INTO tblListItems (tName, tDesc, wType) VALUES ('North', 'North site', 1)");
    for (const auto& [code, name] :
         {std::pair{"00000A", "Gate"}, std::pair{"00000B", "Door"}, std::pair{"00000C", "Yard"}})
        gConn->Insert("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                      "VALUES (?, ?, ?, 'desc')",
                      {north, QString(code), QString(name)});
    gConn->Insert("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName) "
                  "VALUES (9999, '00000F', 'Shed')");
}

// A tour whose points are "lIndex,minutes,code", written in the order given.
qint32 addTour(const QString& name, int tolerance, const QString& start, const QStringList& points,
               const QString& desc = "Rounds") {
    const qint32 id = qint32(gConn->Insert(
        "INSERT INTO tblTours (tName, tDesc, iTolerance, dtStartTime) VALUES (?, ?, ?, ?)",
        {name, desc, tolerance, start}));
    for (const QString& point : points) {
        const QStringList p = point.split(',');
        const int minutes = p.at(1).toInt();
        gConn->Insert("INSERT INTO tblTourPoints (lParentID, lIndex, dtTime, tButtonCode) "
                      "VALUES (?, ?, ?, ?)",
                      {id, p.at(0).toInt(),
                       QString("%1:%2:00")
                           .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                           .arg(minutes % 60, 2, 10, QLatin1Char('0')),
                       p.at(2)});
    }
    return id;
}

// Points 1, 2, 3 ... with these intervals, all at the gate and door in turn.
QStringList evenPoints(const QList<int>& minutes) {
    QStringList points;
    for (int i = 0; i < minutes.size(); ++i)
        points
            << QString("%1,%2,%3").arg(i + 1).arg(minutes.at(i)).arg(i % 2 ? "00000B" : "00000A");
    return points;
}

QStringList patrolRows() {
    return TableRows("tblXXXPatrol", {"tNumber", "tTime", "tSite", "tLocName"});
}

// Builds the tour's schedule; the rows of its table as the preview shows them (empty when no
// preview showed).
QStringList previewedRows(qint32 tour, bool* shown = nullptr) {
    Host host;
    QStringList rows;
    const bool previewed = WithPreview([&] { BuildPatrolScheduleReport(tour, host); },
                                       [&](ReportPreview&) { rows = patrolRows(); });
    if (shown)
        *shown = previewed;
    return rows;
}

} // namespace

class tst_patrolschedule : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void rows_data();
    void rows();
    void refused_data();
    void refused();
    void failures_data();
    void failures();

    void dialogListsTours();
    void limitsShowWhole_data();
    void limitsShowWhole();
    void dialogKeysAndDoubleClick();
    void fromTheReportsPage_data();
    void fromTheReportsPage();
    void printed_data();
    void printed();

private:
    std::unique_ptr<TestHome> home;
};

void tst_patrolschedule::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    gCompanyInfo = {};
    addSite();
}

void tst_patrolschedule::cleanup() {
    home.reset();
}

void tst_patrolschedule::rows_data() {
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("points");
    QTest::addColumn<QStringList>("expected");
    const QString gate = "|North |Gate ";
    const QString door = "|North |Door ";
    QTest::newRow("past midnight")
        << 5 << "22:50:00" << evenPoints({10, 30, 45})
        << QStringList{"1|23:00     (22:55 ~ 23:05)" + gate, "2|23:30     (23:25 ~ 23:35)" + door,
                       "3|00:15     (00:10 ~ 00:20)" + gate};
    QTest::newRow("intervals add up")
        << 5 << "08:00:00" << evenPoints({10, 10, 30})
        << QStringList{"1|08:10     (08:05 ~ 08:15)" + gate, "2|08:20     (08:15 ~ 08:25)" + door,
                       "3|08:50     (08:45 ~ 08:55)" + gate};
    QTest::newRow("tolerance 0") << 0 << "08:00:00" << evenPoints({10})
                                 << QStringList{"1|08:10     (08:10 ~ 08:10)" + gate};
    QTest::newRow("tolerance 59") << 59 << "08:00:00" << evenPoints({10})
                                  << QStringList{"1|08:10     (07:11 ~ 09:09)" + gate};
    QTest::newRow("window across midnight")
        << 5 << "23:50:00" << evenPoints({12}) << QStringList{"1|00:02     (23:57 ~ 00:07)" + gate};
    QTest::newRow("window before the first midnight")
        << 5 << "00:00:00" << evenPoints({3}) << QStringList{"1|00:03     (23:58 ~ 00:08)" + gate};
    // The seconds of the start never show; the tour report counts from the same minute.
    QTest::newRow("start with seconds")
        << 1 << "07:59:59" << evenPoints({1}) << QStringList{"1|08:00     (07:59 ~ 08:01)" + gate};
    QTest::newRow("a whole day round")
        << 0 << "12:00:00" << evenPoints({600, 600, 240})
        << QStringList{"1|22:00     (22:00 ~ 22:00)" + gate, "2|08:00     (08:00 ~ 08:00)" + door,
                       "3|12:00     (12:00 ~ 12:00)" + gate};
    // Written out of order: the schedule follows lIndex and numbers the rows itself.
    QTest::newRow("gaps in lIndex")
        << 5 << "08:00:00" << QStringList{"5,30,00000C", "1,10,00000A", "2,10,00000B"}
        << QStringList{"1|08:10     (08:05 ~ 08:15)" + gate, "2|08:20     (08:15 ~ 08:25)" + door,
                       "3|08:50     (08:45 ~ 08:55)|North |Yard "};
    QTest::newRow("a deleted button")
        << 5 << "08:00:00" << QStringList{"1,10,00000A", "2,10,00000E", "3,10,00000B"}
        << QStringList{"1|08:10     (08:05 ~ 08:15)" + gate, "2|08:20     (08:15 ~ 08:25)| | ",
                       "3|08:30     (08:25 ~ 08:35)" + door};
    QTest::newRow("a deleted site") << 5 << "08:00:00" << QStringList{"1,10,00000F"}
                                    << QStringList{"1|08:10     (08:05 ~ 08:15)| |Shed "};
    QTest::newRow("no points") << 5 << "08:00:00" << QStringList() << QStringList();
}

// From the tour to the rows the preview reads; a table left behind by an interrupted run is
// replaced, and none is left afterwards.
void tst_patrolschedule::rows() {
    QFETCH(int, tolerance);
    QFETCH(QString, start);
    QFETCH(QStringList, points);
    QFETCH(QStringList, expected);
    gConn->Execute("CREATE TABLE tblXXXPatrol (tNumber VARCHAR NULL, tLeftOver VARCHAR NULL)");
    gConn->Execute("INSERT INTO tblXXXPatrol VALUES ('99', 'left over')");
    const qint32 tour = addTour("Round", tolerance, start, points);
    bool shown = false;
    QCOMPARE(previewedRows(tour, &shown), expected);
    QVERIFY(shown);
    QVERIFY(!TableExists("tblXXXPatrol"));
    QCOMPARE(home->errorLog(), QString());
}

void tst_patrolschedule::refused_data() {
    QTest::addColumn<int>("tolerance"); // -1000: the tour is gone
    QTest::addColumn<bool>("logged");
    QTest::newRow("tour gone") << -1000 << false;
    QTest::newRow("tolerance 60") << 60 << true;
    QTest::newRow("tolerance -1") << -1 << true;
    QTest::newRow("tolerance beyond 16 bits") << 40000 << true;
}

// Refused with the one message before any table is touched: a table of that name stays as
// it was.
void tst_patrolschedule::refused() {
    QFETCH(int, tolerance);
    QFETCH(bool, logged);
    gConn->Execute("CREATE TABLE tblXXXPatrol (tNumber VARCHAR NULL)");
    gConn->Execute("INSERT INTO tblXXXPatrol VALUES ('untouched')");
    qint32 tour = addTour("Round", qMax(tolerance, -1), "08:00:00", evenPoints({10}));
    if (tolerance == -1000)
        gConn->Execute("DELETE FROM tblTours");
    else
        gConn->Execute("UPDATE tblTours SET iTolerance = ?", {tolerance});
    BoxRecorder boxes;
    bool shown = true;
    previewedRows(tour, &shown);
    QVERIFY(!shown);
    QCOMPARE(boxes.texts(), QStringList{"Error in creating new Tour"});
    QCOMPARE(boxes.boxes.first().icon, Boxes::Icon::Warning);
    QCOMPARE(TableRows("tblXXXPatrol", {"tNumber"}), QStringList{"untouched"});
    QCOMPARE(!home->errorLog().isEmpty(), logged);
    QVERIFY(!home->errorLog().contains("BuildPatrolScheduleReport"));
}

void tst_patrolschedule::failures_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("cause");
    QTest::newRow("points cannot be read") << "DROP TABLE tblListItems"
                                           << "(no such table: tblListItems";
    QTest::newRow("an interval that is no time")
        << "UPDATE tblTourPoints SET dtTime = '24:00:00' WHERE lIndex = 2"
        << "(Type mismatch: dtTime \"24:00:00\")";
}

// Logged under the builder's name, told with the one message, and no table left behind.
void tst_patrolschedule::failures() {
    QFETCH(QString, sql);
    QFETCH(QString, cause);
    const qint32 tour = addTour("Round", 5, "08:00:00", evenPoints({10, 10, 10}));
    gConn->Execute(sql);
    BoxRecorder boxes;
    bool shown = true;
    previewedRows(tour, &shown);
    QVERIFY(!shown);
    QCOMPARE(boxes.texts(), QStringList{"Error in creating new Tour"});
    const QString log = home->errorLog();
    QVERIFY2(log.contains(" in BuildPatrolScheduleReport of Form frmRptPatrolSchedule\t" + cause),
             qPrintable(log));
    QCOMPARE(log.count('\n'), 1);
    QVERIFY(!TableExists("tblXXXPatrol"));
}

// Sorted by name without regard to case; the start as "HH:mm"; an empty description is an
// empty cell; the first tour chosen; the columns a little wider than the list.
void tst_patrolschedule::dialogListsTours() {
    addTour("bravo", 5, "06:30:00", {}, "");
    addTour("Alpha", 5, "22:05:00", {}, "Night");
    addTour("Charlie", 5, "00:00:00", {}, "Day");
    Host host;
    std::unique_ptr<QDialog> made = ReportDialogFor("PatrolSchedule")(host, "Patrol Schedule");
    auto* dialog = qobject_cast<frmRptPatrolSchedule*>(made.get());
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QString("Patrol Schedule"));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QTreeWidget* list = dialog->lvwMain();
    QCOMPARE(list->headerItem()->text(0), QString("Tour Name"));
    QCOMPARE(list->headerItem()->text(1), QString("Description"));
    QCOMPARE(list->headerItem()->text(2), QString("Start Time"));
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        rows << QStringList{item->text(0), item->text(1), item->text(2)}.join('|');
        QVERIFY(!item->icon(0).isNull());
    }
    QCOMPARE(rows, QStringList({"Alpha|Night|22:05", "bravo||06:30", "Charlie|Day|00:00"}));
    QCOMPARE(list->selectedItems(), QList<QTreeWidgetItem*>{list->topLevelItem(0)});

    // The three columns share the list: the start time is never behind a scroll bar.
    QVERIFY(list->header()->length() <= list->viewport()->width());
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
}

void tst_patrolschedule::limitsShowWhole_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 0;
    QTest::newRow("German") << 2;
}

// The dialog as it opens, with a tour's name at its limit: the name and the start time beside
// it show whole, the description over more lines, and no column is behind a scroll bar.
void tst_patrolschedule::limitsShowWhole() {
    QFETCH(int, language);
    gTranslator->language = language;
    gTranslator->Open();
    addTour("Weekend Warehouse Morning", 5, "23:58:00", {},
            "Walk the west warehouse and the main gate at night");
    addTour("WWWWWWWWWWWWWWWWWWWWWWWWW", 5, "08:08:00", {}, "");
    Host host;
    std::unique_ptr<QDialog> dialog = ReportDialogFor("PatrolSchedule")(host, "Patrol Schedule");
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QTreeWidget* list = Child<QTreeWidget>(dialog.get(), "lvwMain");
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(2), QString("23:58"));
    QTRY_VERIFY(Wrapped(list, list->model()->index(0, 1)));
    QCOMPARE(FirstCutCell(list), QString());
    QCOMPARE(HeadingsOrWidthCut(list), QString());
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
}

// Enter previews the chosen tour, a double-click the row's tour; the dialog stays open with
// its choice for the next one; without a choice nothing happens; Esc closes it.
void tst_patrolschedule::dialogKeysAndDoubleClick() {
    addTour("Day", 5, "08:00:00", evenPoints({10}));
    addTour("Night", 5, "22:50:00", evenPoints({10, 30}));
    Host host;
    frmRptPatrolSchedule dialog(host);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTreeWidget* list = dialog.lvwMain();
    list->setFocus();
    const auto previewed = [&](const std::function<void()>& act) {
        QStringList rows;
        QString title;
        if (!WithPreview(act, [&](ReportPreview& preview) {
                rows = patrolRows();
                title = preview.windowTitle();
            }))
            return QStringList{"no preview"};
        return QStringList{title} + rows;
    };
    const QString gate = "|North |Gate ";
    QCOMPARE(previewed([&] { QTest::keyClick(list, Qt::Key_Return); }),
             QStringList({"Patrol Schedule Report", "1|08:10     (08:05 ~ 08:15)" + gate}));
    QVERIFY(dialog.isVisible());
    QVERIFY(!TableExists("tblXXXPatrol"));

    QTreeWidgetItem* night = list->topLevelItem(1);
    const QPoint at = list->visualItemRect(night).center();
    // A double-click: the first press chooses the row, the second previews it.
    QCOMPARE(previewed([&] {
                 QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                 QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
             }),
             QStringList({"Patrol Schedule Report", "1|23:00     (22:55 ~ 23:05)" + gate,
                          "2|23:30     (23:25 ~ 23:35)|North |Door "}));
    QVERIFY(dialog.isVisible());
    QCOMPARE(list->selectedItems(), QList<QTreeWidgetItem*>{night});
    QCOMPARE(list->topLevelItemCount(), 2);

    list->clearSelection();
    QCOMPARE(previewed([&] { Child<QPushButton>(dialog, "cmdPrintPreview")->click(); }),
             QStringList{"no preview"});
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(home->errorLog(), QString());
}

void tst_patrolschedule::fromTheReportsPage_data() {
    QTest::addColumn<bool>("listFails");
    QTest::newRow("opens") << false;
    QTest::newRow("the tour list cannot be read") << true;
}

// Reports > "Patrol Schedule" opens the dialog with the entry's name; a tour list that cannot
// be read shows no dialog and is written to the error log only.
void tst_patrolschedule::fromTheReportsPage() {
    QFETCH(bool, listFails);
    addTour("Day", 5, "08:00:00", evenPoints({10}));
    if (listFails) {
        // Still one tour to count, but no tour list to show.
        gConn->Execute("DROP TABLE tblTours");
        gConn->Execute("CREATE VIEW tblTours AS SELECT 1 AS ID");
    }
    Host host;
    frmMdiReports page(host);
    QTreeWidget* reports = page.lvwReports();
    QTreeWidgetItem* entry = reports->topLevelItem(5);
    QCOMPARE(entry->text(0), QString("Patrol Schedule"));
    QVERIFY(entry->flags() & Qt::ItemIsEnabled);
    reports->setCurrentItem(entry);
    QString title;
    int tours = -1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<frmRptPatrolSchedule*>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            tours = dialog->lvwMain()->topLevelItemCount();
            dialog->reject();
        }
    });
    poll.start(10);
    BoxRecorder boxes;
    page.lvwReports_DblClick();
    poll.stop();
    QCOMPARE(boxes.boxes.size(), listFails ? 1 : 0);
    if (listFails) {
        QVERIFY(boxes.boxes.first().text.startsWith(
            "Error 1 in ReportParamShow of Form frmMdiReports\r\n"));
        QCOMPARE(title, QString());
        QVERIFY2(home->errorLog().contains(
                     " in ReportParamShow of Form frmMdiReports\t(no such column: tName"),
                 qPrintable(home->errorLog()));
    } else {
        QCOMPARE(title, QString("Patrol Schedule"));
        QCOMPARE(tours, 1);
        QCOMPARE(home->errorLog(), QString());
    }
}

void tst_patrolschedule::printed_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("expected");
    const QStringList rows{
        "1 23:00 (22:55 ~ 23:05) North Gate", "2 23:30 (23:25 ~ 23:35) North Door",
        "9 00:40 (00:35 ~ 00:45) North Gate", "10 00:50 (00:45 ~ 00:55) North Door",
        "11 01:00 (00:55 ~ 01:05) North Gate"};
    QTest::newRow("English") << 0
                             << QStringList{"ACME Security",
                                            "North Gate Lodge",
                                            "Patrol Schedule Report",
                                            "Tour Name: Night round",
                                            "Tour Description: Every building",
                                            "Tour Tolerance: 5 Minutes",
                                            "No. Time Site Location"} +
                                    rows + QStringList{"End Of Report"};
    QTest::newRow("German") << 2
                            << QStringList{"ACME Security",
                                           "North Gate Lodge",
                                           "Rundgangsplan",
                                           "Rundgang: Night round",
                                           "Beschreibung: Every building",
                                           "Toleranz: 5 Minuten",
                                           "Nr. Uhrzeit Objekt Standort"} +
                                   rows + QStringList{"Ende des Berichts"};
}

// The printed page: the header with the tour, the rows in tour order ("10" after "9") and the
// closing text.
void tst_patrolschedule::printed() {
    QFETCH(int, language);
    QFETCH(QStringList, expected);
    home->openGlobals(language);
    gCompanyInfo[1] = "ACME Security";
    gCompanyInfo[4] = "North Gate Lodge";
    addTour("Night round", 5, "22:50:00", evenPoints({10, 30, 10, 10, 10, 10, 10, 10, 10, 10, 10}),
            "Every building");
    Host host;
    frmRptPatrolSchedule dialog(host);
    const QString pdf = home->file("patrol.pdf");
    FileAnswers files({pdf});
    QVERIFY(WithPreview([&] { dialog.SelectTour(); },
                        [&](ReportPreview& preview) { QVERIFY(preview.SaveAsPdf()); }));
    const QStringList lines = PdfLines(pdf);
    QVERIFY2(!lines.isEmpty() && lines.first().startsWith(Translate("Print Date:")) &&
                 lines.first().contains(Translate("TK-22 Trevano Reports")) &&
                 lines.first().endsWith(Translate("Page") + " 1 / 1"),
             qPrintable(lines.join('\n')));
    QString missing;
    QVERIFY2(LinesInOrder(lines, expected, &missing),
             qPrintable(missing + "\n---\n" + lines.join('\n')));
    QVERIFY(!TableExists("tblXXXPatrol"));
}

TREVANO_TEST_MAIN(tst_patrolschedule)
#include "tst_patrolschedule.moc"
