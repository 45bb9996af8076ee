// The reports page, the report output frame and the generic report table.
#include "Database.h"
#include "DatabaseKey.h"
#include "ListChecks.h"
#include "PreviewChecks.h"
#include "ReportEngine.h"
#include "ReportFrame.h"
#include "ReportPreview.h"
#include "TestHome.h"
#include "TestMain.h"
#include "cReportHost.h"
#include "frmMain.h"
#include "frmMdiReports.h"
#include "mDbUtil.h"
#include "mDeclareAPI.h"
#include "mGlobals.h"

#include "DatabaseKey.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QStyle>
#include <QTreeWidget>
#include <sqlite3.h>

namespace {

const QStringList kKeys{"NewException",       "IncidentReport", "IncidentReportOld", "ReaderReport",
                        "HardwareListReport", "PatrolSchedule", "CustomReport"};
const QString kNoReader = "You must add at least one reader before this report can be used";
const QString kNoTour = "You must add at least one tour before this report can be used";

struct Host : cReportHost {
    int width = 9000;
    int widthTwips() const override { return width; }
};

// What the stand-in dialogs saw: their caption, and the entry's icon while they were open.
QStringList opened;
QTreeWidget* pageList = nullptr;
bool arrowWhileOpen = false;

QImage iconImage(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage();
}

std::unique_ptr<QDialog> standInDialog(cReportHost&, const QString& caption) {
    opened << caption;
    if (pageList && !pageList->selectedItems().isEmpty())
        arrowWhileOpen = iconImage(pageList->selectedItems().first()->icon(0)) ==
                         iconImage(QApplication::style()->standardIcon(QStyle::SP_ArrowRight));
    auto dialog = std::make_unique<QDialog>();
    QTimer::singleShot(0, dialog.get(), &QDialog::reject);
    return dialog;
}

// A dialog under which the language changes: the page rebuilds its list while it is open.
frmMdiReports* rebuiltPage = nullptr;
bool acceptRebuilt = false;
bool arrowAfterRebuild = false;

std::unique_ptr<QDialog> rebuildingDialog(cReportHost&, const QString& caption) {
    opened << caption;
    auto dialog = std::make_unique<QDialog>();
    QDialog* shown = dialog.get();
    QTimer::singleShot(0, shown, [shown] {
        rebuiltPage->Translate();
        QTreeWidget* list = rebuiltPage->lvwReports();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->data(0, Qt::UserRole).toString() == "CustomReport")
                arrowAfterRebuild =
                    iconImage(list->topLevelItem(i)->icon(0)) ==
                    iconImage(QApplication::style()->standardIcon(QStyle::SP_ArrowRight));
        if (acceptRebuilt)
            shown->accept();
        else
            shown->reject();
    });
    return dialog;
}

ReportDialogMaker rebuildingCatalog(const QString&) {
    return &rebuildingDialog;
}

ReportDialogMaker everyReportBuilt(const QString&) {
    return &standInDialog;
}

// The keys the page asked its catalog for.
QStringList askedFor;

ReportDialogMaker recordingCatalog(const QString& key) {
    askedFor << key;
    return &standInDialog;
}

QTreeWidgetItem* entry(frmMdiReports& page, const QString& key) {
    QTreeWidget* list = page.lvwReports();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->data(0, Qt::UserRole).toString() == key)
            return list->topLevelItem(i);
    return nullptr;
}

void addReaders(int readers, int tours) {
    for (int i = 0; i < readers; ++i)
        gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES (?, ?)",
                       {QString("1000000%1").arg(i), QString("Reader %1").arg(i + 1)});
    for (int i = 0; i < tours; ++i)
        gConn->Execute("INSERT INTO tblTours (tName) VALUES (?)", {QString("Tour %1").arg(i)});
}

QStringList tableColumns(const QString& table) {
    QStringList names;
    for (const DbRow& r : gConn->Query(QString("PRAGMA table_info(%1)").arg(table)))
        names << r.text("name");
    return names;
}

} // namespace

class tst_reports : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void entriesInOrder_data();
    void entriesInOrder();
    void refusals_data();
    void refusals();
    void everyKeyReachesItsMaker_data();
    void everyKeyReachesItsMaker();
    void enterAndDoubleClickOpenAlike();
    void listRebuiltUnderTheDialog_data();
    void listRebuiltUnderTheDialog();
    void failuresAreLogged_data();
    void failuresAreLogged();
    void columnWidths_data();
    void columnWidths();
    void columnsShareTheList();
    void descriptionsWrapWhole_data();
    void descriptionsWrapWhole();
    void companyAndPrintDate();
    void windowPlacement_data();
    void windowPlacement();
    void showReportPlacesThePreview();
    void reportTable();
    void reportTableFailures();
    void scratchClearedAtStart();
    void scratchUnusable();
    void scratchEmptiedWithItsFile();
    void scratchKeptUnderAnotherWriteLock();

private:
    std::unique_ptr<TestHome> home;
};

void tst_reports::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    opened.clear();
    pageList = nullptr;
    arrowWhileOpen = false;
}

void tst_reports::cleanup() {
    home.reset();
}

void tst_reports::entriesInOrder_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("firstName");
    QTest::newRow("English") << 1 << "Tour / Exception Report";
    QTest::newRow("German") << 2 << "Rundgangs- / Ausnahmebericht";
}

void tst_reports::entriesInOrder() {
    QFETCH(int, language);
    QFETCH(QString, firstName);
    home->openGlobals(language);
    Host host;
    frmMdiReports page(host);
    QTreeWidget* list = page.lvwReports();
    QCOMPARE(list->topLevelItemCount(), 7);
    for (int i = 0; i < 7; ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        QCOMPARE(item->data(0, Qt::UserRole).toString(), kKeys.at(i));
        QCOMPARE(item->toolTip(0), item->text(1));
        QVERIFY(!item->text(1).isEmpty());
        // A report without a dialog is listed, never offered.
        QCOMPARE(bool(item->flags() & Qt::ItemIsEnabled), ReportDialogFor(kKeys.at(i)) != nullptr);
    }
    QCOMPARE(list->topLevelItem(0)->text(0), firstName);

    frmMdiReports built(host, &everyReportBuilt);
    for (int i = 0; i < 7; ++i)
        QVERIFY(built.lvwReports()->topLevelItem(i)->flags() & Qt::ItemIsEnabled);
}

void tst_reports::refusals_data() {
    QTest::addColumn<int>("readers");
    QTest::addColumn<int>("tours");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("message"); // empty: the dialog opens
    const QString opens;
    QTest::newRow("readers, no tour: tour report") << 1 << 0 << "NewException" << kNoTour;
    QTest::newRow("readers, no tour: patrol schedule") << 1 << 0 << "PatrolSchedule" << kNoTour;
    QTest::newRow("readers, no tour: incident report") << 1 << 0 << "IncidentReport" << opens;
    QTest::newRow("readers, no tour: with sites") << 1 << 0 << "IncidentReportOld" << opens;
    QTest::newRow("readers, no tour: reader report") << 1 << 0 << "ReaderReport" << opens;
    QTest::newRow("nothing: tour report asks for a reader")
        << 0 << 0 << "NewException" << kNoReader;
    QTest::newRow("nothing: incident report") << 0 << 0 << "IncidentReport" << kNoReader;
    QTest::newRow("nothing: with sites") << 0 << 0 << "IncidentReportOld" << kNoReader;
    QTest::newRow("nothing: reader report") << 0 << 0 << "ReaderReport" << kNoReader;
    QTest::newRow("nothing: patrol schedule") << 0 << 0 << "PatrolSchedule" << kNoTour;
    QTest::newRow("nothing: hardware list") << 0 << 0 << "HardwareListReport" << opens;
    QTest::newRow("nothing: database report") << 0 << 0 << "CustomReport" << opens;
    QTest::newRow("tours, no reader: tour report") << 0 << 2 << "NewException" << kNoReader;
    QTest::newRow("tours, no reader: patrol schedule") << 0 << 2 << "PatrolSchedule" << opens;
    QTest::newRow("both: tour report") << 2 << 2 << "NewException" << opens;
}

void tst_reports::refusals() {
    QFETCH(int, readers);
    QFETCH(int, tours);
    QFETCH(QString, key);
    QFETCH(QString, message);
    addReaders(readers, tours);
    Host host;
    frmMdiReports page(host, &everyReportBuilt);
    pageList = page.lvwReports();
    QTreeWidgetItem* item = entry(page, key);
    item->setSelected(true);
    BoxRecorder boxes;
    page.lvwReports_DblClick();
    if (message.isEmpty()) {
        QCOMPARE(boxes.boxes.size(), 0);
        QCOMPARE(opened, QStringList{item->text(0)});
        QVERIFY(arrowWhileOpen);
    } else {
        QCOMPARE(boxes.texts(), QStringList{message});
        QCOMPARE(boxes.boxes.first().icon, Boxes::Icon::Warning);
        QVERIFY(opened.isEmpty());
    }
    QCOMPARE(iconImage(item->icon(0)),
             iconImage(QApplication::style()->standardIcon(QStyle::SP_FileIcon)));
}

void tst_reports::everyKeyReachesItsMaker_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("dialog"); // the class of the dialog its maker makes
    QTest::newRow("tour report") << "NewException"
                                 << "frmRptTour";
    QTest::newRow("incident report") << "IncidentReport"
                                     << "frmRptIncidentNew";
    QTest::newRow("with sites") << "IncidentReportOld"
                                << "frmRptIncidentParam";
    QTest::newRow("reader report") << "ReaderReport"
                                   << "frmRptReaderReport";
    QTest::newRow("hardware list") << "HardwareListReport"
                                   << "frmRptHardwareListParam";
    QTest::newRow("patrol schedule") << "PatrolSchedule"
                                     << "frmRptPatrolSchedule";
    QTest::newRow("database report") << "CustomReport"
                                     << "frmRptCustomParam";
}

// Each entry opens its own report, and that report's maker builds its own dialog.
void tst_reports::everyKeyReachesItsMaker() {
    QFETCH(QString, key);
    QFETCH(QString, dialog);
    addReaders(1, 1);
    Host host;
    askedFor.clear();
    frmMdiReports page(host, &recordingCatalog);
    askedFor.clear();
    QTreeWidgetItem* item = entry(page, key);
    QVERIFY(item);
    item->setSelected(true);
    BoxRecorder boxes;
    page.lvwReports_DblClick();
    QCOMPARE(askedFor, QStringList{key});
    QCOMPARE(opened, QStringList{item->text(0)});
    QVERIFY(boxes.boxes.isEmpty());

    const ReportDialogMaker make = ReportDialogFor(key);
    QVERIFY(make);
    const std::unique_ptr<QDialog> made = make(host, item->text(0));
    QCOMPARE(QString(made->metaObject()->className()), dialog);
    QCOMPARE(made->windowTitle(), item->text(0));
    QVERIFY(!ReportDialogFor(key + "x"));
}

void tst_reports::enterAndDoubleClickOpenAlike() {
    Host host;
    frmMdiReports page(host, &everyReportBuilt);
    page.resize(600, 400);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTreeWidget* list = page.lvwReports();
    QTreeWidgetItem* item = entry(page, "CustomReport");
    const QPoint at = list->visualItemRect(item).center();

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(item->isSelected());
    QVERIFY(opened.isEmpty()); // a single click never opens a report
    QTest::keyClick(list, Qt::Key_Return);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::keyClick(list, Qt::Key_Enter);
    QCOMPARE(opened, QStringList({"Database Report", "Database Report", "Database Report"}));

    list->clearSelection();
    QTest::keyClick(list, Qt::Key_Return);
    page.lvwReports_DblClick();
    QCOMPARE(opened.size(), 3);
}

void tst_reports::listRebuiltUnderTheDialog_data() {
    QTest::addColumn<bool>("accepted");
    QTest::newRow("cancelled") << false;
    QTest::newRow("accepted") << true;
}

// The entry that opened the dialog is gone after the rebuild: its new entry, found by its key,
// shows the dialog open and is then unmarked.
void tst_reports::listRebuiltUnderTheDialog() {
    QFETCH(bool, accepted);
    Host host;
    frmMdiReports page(host, &rebuildingCatalog);
    rebuiltPage = &page;
    acceptRebuilt = accepted;
    arrowAfterRebuild = false;
    entry(page, "CustomReport")->setSelected(true);
    page.lvwReports_DblClick();
    rebuiltPage = nullptr;
    QCOMPARE(opened, QStringList{"Database Report"});
    QVERIFY(arrowAfterRebuild);
    QTreeWidget* list = page.lvwReports();
    QCOMPARE(list->topLevelItemCount(), 7);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(iconImage(list->topLevelItem(i)->icon(0)),
                 iconImage(QApplication::style()->standardIcon(QStyle::SP_FileIcon)));
    // The page goes on opening reports.
    entry(page, "CustomReport")->setSelected(true);
    rebuiltPage = &page;
    page.lvwReports_DblClick();
    rebuiltPage = nullptr;
    QCOMPARE(opened.size(), 2);
}

void tst_reports::failuresAreLogged_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("label");
    // The counts fail: their tables are gone, or another program holds the whole file.
    QTest::addColumn<bool>("locked");
    const struct {
        const char* row;
        const char* key;
        const char* label;
    } entries[] = {
        {"tour report", "NewException", "ReportParamShow of Form frmMdiReports"},
        {"incident report", "IncidentReport", "LoadIncidentReport of Form frmMdiReports"},
        {"with sites", "IncidentReportOld", "LoadIncidentReportOld of Form frmMdiReports"},
        {"reader report", "ReaderReport", "ReportParamShow of Form frmMdiReports"},
        {"patrol schedule", "PatrolSchedule", "ReportParamShow of Form frmMdiReports"},
    };
    for (const auto& e : entries) {
        QTest::addRow("%s, tables gone", e.row) << e.key << e.label << false;
        QTest::addRow("%s, locked", e.row) << e.key << e.label << true;
    }
}

void tst_reports::failuresAreLogged() {
    QFETCH(QString, key);
    QFETCH(QString, label);
    QFETCH(bool, locked);
    addReaders(1, 1);
    DbConnection other;
    if (locked) {
        other.Open(home->databasePath(), DatabaseKey());
        other.Execute("BEGIN EXCLUSIVE");
    } else {
        gConn->Execute("DROP TABLE tblReaders");
        gConn->Execute("DROP TABLE tblTours");
    }
    Host host;
    frmMdiReports page(host, &everyReportBuilt);
    entry(page, key)->setSelected(true);
    BoxRecorder boxes;
    page.lvwReports_DblClick();
    if (locked)
        other.Execute("ROLLBACK");
    const QString reason = locked ? "database is locked" : "no such table";
    // Told once, in the program's failure box, with the reason.
    QCOMPARE(boxes.boxes.size(), 1);
    QVERIFY2(boxes.boxes.first().text.startsWith(QString("Error %1 in ").arg(locked ? 5 : 1) +
                                                 label + "\r\n"),
             qPrintable(boxes.boxes.first().text));
    QVERIFY(boxes.boxes.first().text.contains(reason));
    QVERIFY(opened.isEmpty());
    const QString log = home->errorLog();
    QVERIFY2(log.contains("in " + label + "\t(" + reason), qPrintable(log));
    QCOMPARE(log.count('\n'), 1);
}

void tst_reports::columnWidths_data() {
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("column");
    QTest::newRow("5240") << 5240 << 2500;
    QTest::newRow("99 wider") << 5339 << 2500;
    QTest::newRow("100 wider") << 5340 << 2550;
    QTest::newRow("margin only") << 240 << 0;
    QTest::newRow("narrower than the margin") << 100 << 0;
}

void tst_reports::columnWidths() {
    QFETCH(int, list);
    QFETCH(int, column);
    QCOMPARE(frmMdiReports::ReportColumnTwips(list), column);
}

void tst_reports::columnsShareTheList() {
    Host host;
    frmMdiReports page(host);
    page.resize(640, 420);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTreeWidget* lvw = page.lvwReports();
    QCOMPARE(lvw->columnWidth(0), lvw->columnWidth(1));
    QCOMPARE(lvw->columnWidth(0), frmMdiReports::ReportColumnTwips(lvw->width() * 15) / 15);
}

void tst_reports::descriptionsWrapWhole_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("otherLanguage");
    QTest::newRow("English") << 0 << 2;
    QTest::newRow("German") << 2 << 0;
}

// At the main window's first size every report's name and description show whole, the long
// descriptions over two lines; they wrap anew when the window widens and when the language
// changes.
void tst_reports::descriptionsWrapWhole() {
    QFETCH(int, language);
    QFETCH(int, otherLanguage);
    gTranslator->language = language;
    gTranslator->Open();
    frmMain main;
    main.setUserType(1);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.GoReports();
    auto* page = qobject_cast<frmMdiReports*>(main.CurrentPage());
    QVERIFY(page);
    QTreeWidget* list = page->lvwReports();
    const QModelIndex longest = list->model()->index(kKeys.indexOf("ReaderReport"), 1);
    QTRY_VERIFY(Wrapped(list, longest));
    QCOMPARE(FirstCutCell(list), QString());
    QCOMPARE(HeadingsOrWidthCut(list), QString());
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        QCOMPARE(list->topLevelItem(row)->text(1),
                 Translate(QLatin1String(ReportKinds().at(row).description)));

    const QSize first = main.size();
    main.resize(1400, first.height());
    QTRY_VERIFY(!Wrapped(list, longest));
    QCOMPARE(FirstCutCell(list), QString());

    main.resize(first);
    gTranslator->language = otherLanguage;
    gTranslator->Open();
    page->Translate();
    QTRY_VERIFY(Wrapped(list, longest));
    QCOMPARE(FirstCutCell(list), QString());
    QCOMPARE(HeadingsOrWidthCut(list), QString());
}

void tst_reports::companyAndPrintDate() {
    gCompanyInfo = {};
    QCOMPARE(CompanyText(), QString("\r\n\r\n\r\n"));
    gCompanyInfo[1] = "ACME Security";
    gCompanyInfo[3] = "North Gate";
    QCOMPARE(CompanyText(), QString("ACME Security\r\n\r\nNorth Gate\r\n"));
    gCompanyInfo = {};

    const QDateTime now(QDate(2026, 3, 9), QTime(7, 5, 59));
    const QString date = QLocale().toString(now.date(), GetShortDateFormat());
    QVERIFY(date.contains("2026"));
    QCOMPARE(PrintDateText("    ", now), date + "    07:05");
    const ReportTexts texts = SharedReportTexts();
    QCOMPARE(texts.MyPrintDate, QString("Print Date:"));
    QCOMPARE(texts.MyPageHeader, QString("TK-22 Trevano Reports"));
    QCOMPARE(texts.EndOfReport, QString("End Of Report"));
}

void tst_reports::windowPlacement_data() {
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<int>("screenHeight");
    QTest::addColumn<int>("mainWidth");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("wide screen") << 28800 << 16200 << 9615 << QRect(0, 0, 12630, 15480);
    QTest::newRow("exactly wide enough") << 12630 << 9000 << 20000 << QRect(0, 0, 12630, 8280);
    QTest::newRow("narrow screen: the main window's width")
        << 12615 << 9000 << 9615 << QRect(0, 0, 9615, 8280);
}

void tst_reports::windowPlacement() {
    QFETCH(int, screenWidth);
    QFETCH(int, screenHeight);
    QFETCH(int, mainWidth);
    QFETCH(QRect, expected);
    QCOMPARE(ReportWindowTwips(screenWidth, screenHeight, mainWidth), expected);
}

void tst_reports::showReportPlacesThePreview() {
    QVERIFY(InitRptTmp());
    for (int i = 0; i < 30; ++i)
        gConn->Execute("INSERT INTO tblReportTemp (Field0) VALUES (?)", {QString::number(i)});
    ReportLayout layout;
    layout.caption = "Hardware List Report";
    layout.AddSection(ReportSection::PageHeader, "Section2", 600)
        .AddLabel("lblPrinted", {0, 0, 3000, 240}, ReportAlign::Left, false, "%d %t");
    layout.AddSection(ReportSection::Detail, "Section1", 285)
        .AddField("Field0", "Field0", {0, 15, 1410, 240});
    Host host;
    host.width = 9300;
    QString title, pageText;
    QRect geometry;
    // The preview comes after the layout pass, which lets events run: wait for it.
    ReportTableSource rows(*gConn, "tblReportTemp");
    bool shown = false;
    QVERIFY(PreviewChecks::WithPreview([&] { shown = ShowReport(layout, rows, host); },
                                       [&](ReportPreview& preview) {
                                           title = preview.windowTitle();
                                           pageText = preview.PageText();
                                           geometry = QRect(preview.pos(), preview.size());
                                       }));
    QVERIFY(shown);
    QCOMPARE(title, QString("Hardware List Report"));
    QCOMPARE(pageText, QString("Page 1 of 1"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect twips = ReportWindowTwips(screen.width() * 15, screen.height() * 15, host.width);
    QCOMPARE(geometry, QRect(screen.topLeft(), QSize(twips.width() / 15, twips.height() / 15)));
    // The preview leaves no statement open: the table can go at once.
    gConn->Execute("DROP TABLE tblReportTemp");
}

void tst_reports::reportTable() {
    QVERIFY(!TableExists("tblReportTemp"));
    QVERIFY(InitRptTmp());
    QCOMPARE(tableColumns("tblReportTemp"),
             QStringList({"ID", "Field0", "Field1", "Field2", "Field3", "Field4", "Field5",
                          "Field6", "Field7", "Field8", "Field9"}));
    for (int i = 0; i < 3; ++i)
        gConn->Execute("INSERT INTO tblReportTemp (Field0) VALUES ('x')");
    QVERIFY(InitRptTmp());
    QCOMPARE(gConn->Query("SELECT count(*) AS n FROM tblReportTemp").first().integer("n"), 0);
    // The IDs go on growing after the table was emptied.
    QCOMPARE(gConn->Insert("INSERT INTO tblReportTemp (Field0) VALUES ('y')"), qint64(4));

    // A table whose name differs only in case is the same table to the database.
    gConn->Execute("DROP TABLE tblReportTemp");
    gConn->Execute("CREATE TABLE TBLREPORTTEMP (ID INTEGER PRIMARY KEY AUTOINCREMENT, Field0 "
                   "TEXT, Field1 TEXT, Field2 TEXT, Field3 TEXT, Field4 TEXT, Field5 TEXT, "
                   "Field6 TEXT, Field7 TEXT, Field8 TEXT, Field9 TEXT)");
    gConn->Execute("INSERT INTO TBLREPORTTEMP (Field0) VALUES ('old')");
    QVERIFY(TableExists("tblReportTemp"));
    QVERIFY(InitRptTmp());
    QCOMPARE(gConn->Query("SELECT count(*) AS n FROM tblReportTemp").first().integer("n"), 0);
    QVERIFY(home->errorLog().isEmpty());
}

void tst_reports::reportTableFailures() {
    BoxRecorder boxes;
    gConn->Execute("PRAGMA query_only = 1");
    QVERIFY(!InitRptTmp()); // cannot be created
    QVERIFY(home->errorLog().contains("in CreateTblReportTemp of Module mDbUtil\t("));
    QVERIFY(!TableExists("tblReportTemp"));

    gConn->Execute("PRAGMA query_only = 0");
    QVERIFY(InitRptTmp());
    gConn->Execute("INSERT INTO tblReportTemp (Field0) VALUES ('kept')");
    gConn->Execute("PRAGMA query_only = 1");
    QVERIFY(!InitRptTmp()); // cannot be emptied: the old rows stay
    gConn->Execute("PRAGMA query_only = 0");
    QVERIFY(home->errorLog().contains("in InitRptTmp of Module mDbUtil\t("));
    QCOMPARE(gConn->Query("SELECT Field0 FROM tblReportTemp").first().text("Field0"),
             QString("kept"));
    QVERIFY(boxes.boxes.isEmpty());
}

// A crash leaves the scratch file with rows in it, or torn; an older program left its report
// table in the database itself. The next start clears both, and the rows it then writes are
// never on disk in clear.
void tst_reports::scratchClearedAtStart() {
    const QString scratch = ScratchFilePath(home->databasePath());
    QVERIFY(gConn->HasScratch());
    QCOMPARE(QFileInfo(gConn->ScratchPath()).absoluteFilePath(),
             QFileInfo(scratch).absoluteFilePath());
    QVERIFY(InitRptTmp());
    gConn->Execute("INSERT INTO tblReportTemp (Field0) VALUES ('left by a crash')");
    QVERIFY(gConn->InScratch("tblReportTemp"));
    // As a crash leaves it: the file stays, with its rows and a torn journal.
    QVERIFY(QFile::copy(scratch, scratch + ".kept"));
    home->closeGlobals();
    QVERIFY(!QFile::exists(scratch)); // a clean end leaves nothing
    QVERIFY(QFile::rename(scratch + ".kept", scratch));
    QFile journal(scratch + "-journal");
    QVERIFY(journal.open(QIODevice::WriteOnly));
    journal.write("torn");
    journal.close();
    {
        DbConnection older;
        older.Open(home->databasePath(), DatabaseKey());
        older.Execute("CREATE TABLE tblCustom (tButtonCode VARCHAR NULL)");
        older.Execute("INSERT INTO tblCustom VALUES ('old')");
    }

    home->openGlobals();
    QVERIFY(gConn->HasScratch());
    QVERIFY(!TableExists("tblReportTemp"));
    QVERIFY(!TableExists("tblCustom"));
    QVERIFY(!QFile::exists(scratch + "-journal"));
    QVERIFY(InitRptTmp());
    QCOMPARE(gConn->Query("SELECT count(*) AS n FROM tblReportTemp").first().integer("n"), 0);
    gConn->Execute("INSERT INTO tblReportTemp (Field0) VALUES ('Night Round 0000ABCD')");
    QVERIFY(
        gConn->Query("SELECT name FROM main.sqlite_master WHERE name = 'tblReportTemp'").isEmpty());
    QFile file(scratch);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() > 0);
    QVERIFY(!bytes.contains("Night Round"));
    QVERIFY(!bytes.startsWith("SQLite format 3"));
    QVERIFY(home->errorLog().isEmpty());
}

// Without a scratch file the reports keep their tables in the database, as they always did,
// and the error log says why.
void tst_reports::scratchUnusable() {
    home->closeGlobals();
    const QString scratch = ScratchFilePath(home->databasePath());
    // A folder in its place can be neither removed nor opened as a database.
    QVERIFY(QDir().mkpath(QDir(scratch).filePath("inside")));
    home->openGlobals();
    QVERIFY(!gConn->HasScratch());
    QVERIFY2(home->errorLog().contains("The report scratch database"),
             qPrintable(home->errorLog()));
    QVERIFY(InitRptTmp());
    gConn->Execute("INSERT INTO tblReportTemp (Field0) VALUES ('x')");
    QCOMPARE(gConn->Query("SELECT count(*) AS n FROM main.tblReportTemp").first().integer("n"), 1);
    QVERIFY(InitRptTmp());
    QCOMPARE(gConn->Query("SELECT count(*) AS n FROM tblReportTemp").first().integer("n"), 0);
}

// Emptying by a fresh file keeps the tables and their counters, and never takes another
// report's rows or a file a statement still reads.
void tst_reports::scratchEmptiedWithItsFile() {
    QVERIFY(InitRptTmp());
    gConn->Execute("INSERT INTO tblReportTemp (Field0) VALUES ('a'), ('b')");
    gConn->Execute(gConn->ScratchDdl("CREATE TABLE tblXXXPatrol (tNumber VARCHAR NULL)"));
    gConn->Execute("INSERT INTO tblXXXPatrol VALUES ('1')");
    QVERIFY(!gConn->EmptyScratchTable("tblReportTemp")); // the schedule still holds a row
    QCOMPARE(gConn->Query("SELECT count(*) AS n FROM tblReportTemp").first().integer("n"), 2);
    gConn->Execute("DELETE FROM tblXXXPatrol");
    {
        DbCursor reading(*gConn, "SELECT Field0 FROM tblReportTemp");
        QVERIFY(reading.Next());
        QVERIFY(!gConn->EmptyScratchTable("tblReportTemp"));
        QVERIFY(reading.Next()); // the cursor goes on reading
    }
    QVERIFY(!gConn->EmptyScratchTable("tblEvents")); // not a scratch table
    QVERIFY(gConn->EmptyScratchTable("tblReportTemp"));
    QCOMPARE(gConn->Query("SELECT count(*) AS n FROM tblReportTemp").first().integer("n"), 0);
    QVERIFY(gConn->InScratch("tblXXXPatrol"));
    QCOMPARE(gConn->Insert("INSERT INTO tblReportTemp (Field0) VALUES ('c')"), qint64(3));
    QVERIFY(QFileInfo(gConn->ScratchPath()).size() > 0);
    QVERIFY(home->errorLog().isEmpty());
}

// Another program writing the database stops a report's own transaction, never the scratch
// database: the next report's rows go there, and the database file neither grows nor keeps
// free pages.
void tst_reports::scratchKeptUnderAnotherWriteLock() {
    gConn->ExecuteScript("PRAGMA busy_timeout = 200;");
    QVERIFY(InitRptTmp());
    gConn->Execute("INSERT INTO tblReportTemp (Field0) VALUES ('a')");
    const qint64 pages = gConn->Query("PRAGMA main.page_count").first().integer("page_count");
    {
        DbConnection other;
        other.Open(home->databasePath(), DatabaseKey());
        other.ExecuteScript("BEGIN IMMEDIATE;");
        QVERIFY(InitRptTmp());
        QVERIFY(gConn->HasScratch());
        bool locked = false;
        try {
            DbTransaction report(*gConn);
        } catch (const AppError& e) {
            locked = e.number == SQLITE_BUSY;
        }
        QVERIFY(locked);
        other.ExecuteScript("ROLLBACK;");
    }
    gConn->Execute(gConn->ScratchDdl("CREATE TABLE tblCustom (tButtonName TEXT)"));
    {
        DbTransaction report(*gConn);
        gConn->ExecuteScript("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                             "WHERE i < 5000) INSERT INTO tblCustom SELECT 'Gate ' || i FROM n;");
        report.Commit();
    }
    QVERIFY(gConn->InScratch("tblCustom"));
    gConn->Execute("DROP TABLE tblCustom");
    QCOMPARE(gConn->Query("PRAGMA main.page_count").first().integer("page_count"), pages);
    QCOMPARE(gConn->Query("PRAGMA main.freelist_count").first().integer("freelist_count"), 0);
    QVERIFY2(home->errorLog().isEmpty(), qPrintable(home->errorLog()));
}

TREVANO_TEST_MAIN(tst_reports)
#include "tst_reports.moc"
