// Lists of names: a name at its length limit shows whole where the window has room, the other
// columns giving way down to their captions; the setup page's tabs share their strip.
#include "ListColumns.h"
#include "ModalScript.h"
#include "Page.h"
#include "TestHome.h"
#include "TestMain.h"
#include "cReportHost.h"
#include "cSerialLink.h"
#include "frmEditTour.h"
#include "frmListEdit.h"
#include "frmMain.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "patrol/frmRptPatrolSchedule.h"

#include <QHeaderView>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

const QString kWide(kNameLength, QLatin1Char('W')); // a name at its limit, of the widest letter

struct Host : cReportHost {
    int widthTwips() const override { return 12000; }
};

// What the widest row of the column needs, as the list's own delegate measures it.
int rowsNeed(QTreeWidget* list, int column) {
    return static_cast<QAbstractItemView*>(list)->sizeHintForColumn(column);
}

} // namespace

class tst_namecolumns : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void shares_data();
    void shares();
    void namesShowWhole_data();
    void namesShowWhole();
    void noRoomNamesTakeWhatIsFree();
    void setupTabsShareTheStrip_data();
    void setupTabsShareTheStrip();

private:
    std::unique_ptr<TestHome> home;
    std::unique_ptr<BoxRecorder> boxes;
    qint64 site = 0, book = 0, tour = 0;
};

void tst_namecolumns::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    boxes = std::make_unique<BoxRecorder>(); // the port that does not open
    gDocked = false;
    const auto group = [](const QString& name, int type) {
        return gConn->Insert(
            "INSERT INTO tblListItems (tName, tDesc, wType) VALUES (?, 'a long description', ?)",
            {name, type});
    };
    site = group(kWide, 1);
    book = group(kWide.left(24) + "X", 2);
    gConn->Insert("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                  "VALUES (?, '00000A', ?, 'by the gate')",
                  {site, kWide});
    tour = gConn->Insert("INSERT INTO tblTours (tName, tDesc, iTolerance, dtStartTime) "
                         "VALUES (?, 'nightly', 5, '22:00:00')",
                         {kWide});
    gConn->Insert("INSERT INTO tblTourPoints (lParentID, lIndex, dtTime, tButtonCode) "
                  "VALUES (?, 1, '00:10:00', '00000A')",
                  {tour});
}

void tst_namecolumns::cleanup() {
    boxes.reset();
    home.reset();
}

void tst_namecolumns::shares_data() {
    QTest::addColumn<int>("available");
    QTest::addColumn<QVector<int>>("units");
    QTest::addColumn<QVector<int>>("least");
    QTest::addColumn<QVector<int>>("need");
    QTest::addColumn<QVector<int>>("widths");
    QTest::newRow("no name column: the shares")
        << 600 << QVector<int>{30, 15, 55} << QVector<int>{50, 50, 50} << QVector<int>{0, 0, 0}
        << QVector<int>{180, 90, 330};
    QTest::newRow("the share holds the name") << 600 << QVector<int>{50, 50} << QVector<int>{40, 40}
                                              << QVector<int>{250, 0} << QVector<int>{300, 300};
    QTest::newRow("the others give by their slack")
        << 600 << QVector<int>{30, 15, 55} << QVector<int>{60, 60, 80} << QVector<int>{340, 0, 0}
        << QVector<int>{340, 73, 187};
    QTest::newRow("room left unused goes first")
        << 400 << QVector<int>{25, 28} << QVector<int>{40, 40} << QVector<int>{0, 300}
        << QVector<int>{100, 300};
    QTest::newRow("not enough room: the others at their captions")
        << 400 << QVector<int>{15, 25, 40, 20} << QVector<int>{60, 40, 40, 45}
        << QVector<int>{0, 325, 325, 0} << QVector<int>{60, 147, 148, 45};
    QTest::newRow("figures wider than their shares: two names cut alike, inside the list")
        << 600 << QVector<int>{10, 15, 10, 10, 20, 35} << QVector<int>{62, 85, 53, 61, 79, 96}
        << QVector<int>{0, 0, 0, 0, 302, 302} << QVector<int>{62, 85, 53, 61, 169, 170};
    QTest::newRow("captions wider than the list")
        << 100 << QVector<int>{50, 50} << QVector<int>{80, 80} << QVector<int>{300, 0}
        << QVector<int>{80, 80};
    QTest::newRow("columns past the edge: the name up to the list's width")
        << 300 << QVector<int>{60, 160} << QVector<int>{50, 30} << QVector<int>{325, 0}
        << QVector<int>{300, 480};
}

void tst_namecolumns::shares() {
    QFETCH(int, available);
    QFETCH(QVector<int>, units);
    QFETCH(QVector<int>, least);
    QFETCH(QVector<int>, need);
    QFETCH(QVector<int>, widths);
    QCOMPARE(ShareColumnWidths(available, units, least, need), widths);
}

void tst_namecolumns::namesShowWhole_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("language");
    QTest::addColumn<QVector<int>>("names"); // the name columns of the list
    QTest::addColumn<bool>("withinList");    // the columns end inside the list
    for (int language : {0, 2}) {
        const char* in = language == 0 ? ", English" : ", German";
        QTest::newRow(qPrintable(QString("setup page, sites") + in))
            << "sites" << language << QVector<int>{0} << true;
        QTest::newRow(qPrintable(QString("setup page, event books") + in))
            << "books" << language << QVector<int>{0} << true;
        QTest::newRow(qPrintable(QString("setup page, tours") + in))
            << "tours" << language << QVector<int>{0} << true;
        QTest::newRow(qPrintable(QString("tour editor, locations") + in))
            << "locations" << language << QVector<int>{0} << false;
        QTest::newRow(qPrintable(QString("tour editor, tour points") + in))
            << "points" << language << QVector<int>{1, 2} << true;
    }
    QTest::newRow("group editor") << "group" << 0 << QVector<int>{1} << true;
    QTest::newRow("download page") << "download" << 0 << QVector<int>{4, 5} << true;
    QTest::newRow("patrol schedule") << "patrol" << 0 << QVector<int>{0} << false;
}

// Each list at a size with room: its rows of names at the limit show whole, and where its
// columns share the list's width they still end inside it.
void tst_namecolumns::namesShowWhole() {
    QFETCH(QString, window);
    QFETCH(int, language);
    QFETCH(QVector<int>, names);
    QFETCH(bool, withinList);
    gTranslator->language = language;
    gTranslator->Open();
    frmMain main;
    main.setUserType(1);
    cSerialLink link;
    Host host;
    std::unique_ptr<QWidget> dialog;
    QTreeWidget* list = nullptr;
    if (window == "sites" || window == "books" || window == "tours") {
        main.show(); // at its size as delivered
        main.GoSetup();
        main.CurrentPage()
            ->findChild<QTabWidget*>("tabSetup")
            ->setCurrentIndex(window == "sites"   ? 0
                              : window == "books" ? 1
                                                  : 2);
        list = main.CurrentPage()->findChild<QTreeWidget*>("lvwProgram");
    } else if (window == "locations" || window == "points") {
        auto* editor = new frmEditTour;
        dialog.reset(editor);
        editor->setGroupID(tour);
        editor->setListName(kWide);
        editor->Populate();
        editor->resize(1500, 500); // this screen is narrower than the names need
        list = Child<QTreeWidget>(editor, window == "locations" ? "lvwLocations" : "lvwSelected");
    } else if (window == "group") {
        auto* editor = new frmListEdit(link);
        dialog.reset(editor);
        editor->setID(site);
        editor->setItemType(1);
        editor->setListName(kWide);
        editor->Update();
        list = Child<QTreeWidget>(editor, "lvwItems");
    } else if (window == "download") {
        main.show();
        main.resize(1400, 600); // two names and four columns of figures
        main.GoOnline();
        list = main.CurrentPage()->findChild<QTreeWidget*>("lvwDownload");
        new QTreeWidgetItem(list, {"1", "2026-03-01", "10:00", "00000A", kWide, kWide});
    } else {
        dialog = std::make_unique<frmRptPatrolSchedule>(host);
        list = Child<QTreeWidget>(dialog.get(), "lvwMain");
    }
    QVERIFY(list);
    if (dialog)
        dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    QVERIFY(list->topLevelItemCount() > 0);
    for (int column : names) {
        QVERIFY(list->topLevelItem(0)->text(column).startsWith(kWide.left(24)));
        QVERIFY2(list->columnWidth(column) >= rowsNeed(list, column),
                 qPrintable(QString("column %1: %2 of %3")
                                .arg(column)
                                .arg(list->columnWidth(column))
                                .arg(rowsNeed(list, column))));
    }
    for (int c = 0; c < list->columnCount(); ++c)
        QVERIFY2(list->columnWidth(c) >= list->header()->sectionSizeHint(c),
                 qPrintable(QString("caption %1 cut").arg(c)));
    if (withinList)
        QVERIFY(list->header()->length() <= list->viewport()->width());
}

// The tour editor as it opens on a screen too narrow for whole names: the columns that hold
// no name give up all but their captions, the names share the rest.
void tst_namecolumns::noRoomNamesTakeWhatIsFree() {
    frmEditTour editor;
    editor.setGroupID(tour);
    editor.setListName(kWide);
    editor.Populate();
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    auto* points = Child<QTreeWidget>(&editor, "lvwSelected");
    QHeaderView* header = points->header();
    QVERIFY(points->columnWidth(2) < rowsNeed(points, 2)); // no room here
    QCOMPARE(points->columnWidth(0), header->sectionSizeHint(0));
    // The last column only fills what the view has beyond the shared width.
    QVERIFY(points->columnWidth(3) - header->sectionSizeHint(3) <=
            points->viewport()->width() - (points->width() - 16));
    QCOMPARE(header->length(), points->viewport()->width());
    auto* locations = Child<QTreeWidget>(&editor, "lvwLocations");
    QCOMPARE(locations->columnWidth(0), locations->width() - 16);
}

void tst_namecolumns::setupTabsShareTheStrip_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 0;
    QTest::newRow("German") << 2;
}

void tst_namecolumns::setupTabsShareTheStrip() {
    QFETCH(int, language);
    gTranslator->language = language;
    gTranslator->Open();
    frmMain main;
    main.setUserType(1);
    main.show();
    main.GoSetup();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto* tabs = main.CurrentPage()->findChild<QTabWidget*>("tabSetup");
    for (const QSize& size : {QSize(641, 446), QSize(1200, 700)}) {
        main.resize(size);
        QTRY_COMPARE(tabs->tabBar()->width(), tabs->width());
        int total = 0;
        for (int i = 0; i < 4; ++i) {
            const int width = tabs->tabBar()->tabRect(i).width();
            QVERIFY2(qAbs(width - tabs->width() / 4) <= 1, qPrintable(QString::number(width)));
            QVERIFY(width >= tabs->tabBar()->fontMetrics().horizontalAdvance(tabs->tabText(i)));
            total += width;
        }
        QVERIFY(qAbs(total - tabs->width()) <= 3);
    }
}

TREVANO_TEST_MAIN(tst_namecolumns)
#include "tst_namecolumns.moc"
