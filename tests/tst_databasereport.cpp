// The database report: its range and presets, the copy into tblCustom behind the wait window,
// the printed rows, and what the user sees when the copy fails or is cancelled.
#include "Database.h"
#include "ModalDriver.h"
#include "ModalScript.h"
#include "PreviewChecks.h"
#include "ReportDialogs.h"
#include "ReportPreview.h"
#include "TestHome.h"
#include "TestMain.h"
#include "cReportHost.h"
#include "database/frmRptCustomParam.h"
#include "database/frmWaitReport.h"
#include "mDbUtil.h"
#include "mDeclareAPI.h"
#include "mGlobals.h"

#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimeEdit>

using namespace PreviewChecks;

namespace {

struct Host : cReportHost {
    int widthTwips() const override { return 12000; }
};

const QString kNoData = "No Data on the report";
const QString kFailed = "The report could not be generated.";

void addTouch(const QDateTime& at, const QString& code, const QVariant& type = 1,
              const QVariant& name = QVariant(), const QString& group = "Site North") {
    gConn->Execute("INSERT INTO tblEvents (dtDLDateTime, dtDateTime, tButtonCode, tButtonName, "
                   "tButtonDesc, wGroupType, tGroupName, tGroupDesc, tPipeID) "
                   "VALUES ('2026-01-01 00:00:00', ?, ?, ?, 'desc', ?, ?, '', '1000000A')",
                   {at, code, name.isNull() ? QVariant(code + " name") : name, type, group});
}

// Many touches a day, so that a day's copy fills pages of the file.
void addDays(const QDate& first, int days, int perDay) {
    DbTransaction transaction(*gConn);
    DbStatement insert(*gConn,
                       "INSERT INTO tblEvents (dtDLDateTime, dtDateTime, tButtonCode, tButtonName, "
                       "tButtonDesc, wGroupType, tGroupName, tGroupDesc, tPipeID) VALUES "
                       "('2026-01-01 00:00:00', ?, '00ABCD', 'A long enough button name', "
                       "'and its description', 1, 'Site North', '', '1000000A')");
    for (int d = 0; d < days; ++d)
        for (int i = 0; i < perDay; ++i)
            insert.Execute({QDateTime(first.addDays(d), QTime(0, 0)).addSecs(i * 60 % 86400)});
    transaction.Commit();
}

std::unique_ptr<frmRptCustomParam> openDialog(Host& host) {
    std::unique_ptr<QDialog> made = ReportDialogFor("CustomReport")(host, "Database Report");
    return std::unique_ptr<frmRptCustomParam>(static_cast<frmRptCustomParam*>(made.release()));
}

QStringList customColumn(const QString& column) {
    QStringList values;
    for (const DbRow& r :
         gConn->Query(QString("SELECT %1 FROM tblCustom ORDER BY rowid").arg(column)))
        values << r.text(column);
    return values;
}

qint64 customRows() {
    return gConn->Query("SELECT count(*) AS n FROM tblCustom").first().integer("n");
}

// A tblCustom left by an earlier run, to see that a stopped copy leaves it as it was.
void leaveEarlierTable() {
    gConn->Execute(
        gConn->ScratchDdl("CREATE TABLE tblCustom ( tDateTime VARCHAR NULL, tButtonCode VARCHAR "
                          "NULL, tButtonName VARCHAR NULL, tLocationDesc VARCHAR NULL, "
                          "tGroupName VARCHAR NULL, tType VARCHAR NULL)"));
    gConn->Execute("INSERT INTO tblCustom (tButtonCode) VALUES ('EARLIER')");
}

// What one run of the report showed.
struct Run {
    QString result; // the wait window's message, when it stayed open
    bool lblWaitShown = true;
    QString title;           // the preview's title, when a preview opened
    QStringList codes;       // tblCustom while the preview was open
    qint64 scratchRows = -1; // the rows of tblCustom in the scratch file, then
    bool inMain = true;      // whether the database file itself had a tblCustom, then
    QVector<QStringList> rows;
    QStringList boxes;
};

// Presses `button` and answers what opens: the preview is read (and saved to `pdf` when
// given) and closed; a wait window that shows a message is closed by Cancel.
Run press(QPushButton* button, const QString& pdf = QString()) {
    Run run;
    BoxRecorder boxes;
    FileAnswers files({pdf});
    ModalDriver driver([&](QWidget* modal) {
        if (auto* wait = qobject_cast<frmWaitReport*>(modal)) {
            if (!wait->lblResult()->text().isEmpty()) {
                run.result = wait->lblResult()->text();
                run.lblWaitShown = wait->findChild<QLabel*>("lblWait")->isVisible();
                QVERIFY(!wait->OK());
                Child<QPushButton>(*wait, "cmdCancel")->click();
            }
        } else if (auto* preview = qobject_cast<ReportPreview*>(modal)) {
            run.title = preview->windowTitle();
            run.codes = customColumn("tButtonCode");
            if (gConn->InScratch("tblCustom"))
                run.scratchRows = gConn->Query("SELECT count(*) AS n FROM scratch.tblCustom")
                                      .first()
                                      .integer("n");
            run.inMain =
                !gConn->Query("SELECT name FROM main.sqlite_master WHERE name = 'tblCustom'")
                     .isEmpty();
            for (const DbRow& r :
                 gConn->Query("SELECT tDateTime, tButtonCode, tButtonName, tLocationDesc, "
                              "tGroupName, tType FROM tblCustom ORDER BY rowid"))
                run.rows << QStringList{r.text("tDateTime"),   r.text("tButtonCode"),
                                        r.text("tButtonName"), r.text("tLocationDesc"),
                                        r.text("tGroupName"),  r.text("tType")};
            if (!pdf.isEmpty())
                preview->SaveAsPdf();
            preview->accept();
        }
    });
    button->click();
    run.boxes = boxes.texts();
    return run;
}

} // namespace

class tst_databasereport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void presetsAndBounds_data();
    void presetsAndBounds();
    void copiedAndPrinted();
    void copyFailure();
    void rowsOutsideTheDatabase();
    void cancel_data();
    void cancel();

private:
    std::unique_ptr<TestHome> home;
};

void tst_databasereport::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
}

void tst_databasereport::cleanup() {
    home.reset();
}

void tst_databasereport::presetsAndBounds_data() {
    QTest::addColumn<int>("preset");   // -1: the range typed below
    QTest::addColumn<int>("daysBack"); // of a preset: where its start date lies
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QStringList>("codes"); // copied; none: "No Data on the report"
    const QDateTime none;
    const QDate day(2001, 3, 10);
    QTest::newRow("Today") << 0 << 0 << none << none << QStringList({"0000C5", "0000C6"});
    QTest::newRow("Last 7 Days: eight days")
        << 1 << 7 << none << none << QStringList({"0000C3", "0000C4", "0000C5", "0000C6"});
    QTest::newRow("Last30 Days: thirty-one days")
        << 2 << 30 << none << none
        << QStringList({"0000C1", "0000C2", "0000C3", "0000C4", "0000C5", "0000C6"});
    QTest::newRow("one minute: the end's seconds are dropped")
        << -1 << 0 << QDateTime(day, QTime(10, 15)) << QDateTime(day, QTime(10, 15))
        << QStringList({"0000D1"});
    QTest::newRow("both ends included")
        << -1 << 0 << QDateTime(day, QTime(10, 14)) << QDateTime(day, QTime(10, 16))
        << QStringList({"0000D0", "0000D1", "0000D2", "0000D3"});
    QTest::newRow("start after end") << -1 << 0 << QDateTime(day, QTime(10, 16))
                                     << QDateTime(day, QTime(10, 14)) << QStringList();
    QTest::newRow("a range without touches")
        << -1 << 0 << QDateTime(day.addDays(1), QTime(0, 0))
        << QDateTime(day.addDays(1), QTime(23, 59)) << QStringList();
    QTest::newRow("a range of many years around the touches")
        << -1 << 0 << QDateTime(QDate(1900, 1, 1), QTime(0, 0))
        << QDateTime(QDate(9999, 12, 31), QTime(23, 59))
        << QStringList({"0000D0", "0000D1", "0000D2", "0000D3", "0000C0", "0000C1", "0000C2",
                        "0000C3", "0000C4", "0000C5", "0000C6", "0000C7"});
}

void tst_databasereport::presetsAndBounds() {
    QFETCH(int, preset);
    QFETCH(int, daysBack);
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);
    QFETCH(QStringList, codes);
    const QDate today = QDate::currentDate();
    addTouch(QDateTime(today.addDays(-31), QTime(23, 59)), "0000C0");
    addTouch(QDateTime(today.addDays(-30), QTime(0, 0)), "0000C1");
    addTouch(QDateTime(today.addDays(-8), QTime(23, 59)), "0000C2");
    addTouch(QDateTime(today.addDays(-7), QTime(0, 0)), "0000C3");
    addTouch(QDateTime(today.addDays(-1), QTime(23, 59)), "0000C4");
    addTouch(QDateTime(today, QTime(0, 0)), "0000C5");
    addTouch(QDateTime(today, QTime(23, 59)), "0000C6");
    addTouch(QDateTime(today.addDays(1), QTime(0, 0)), "0000C7");
    const QDate day(2001, 3, 10);
    addTouch(QDateTime(day, QTime(10, 14)), "0000D0");
    addTouch(QDateTime(day, QTime(10, 15)), "0000D1");
    addTouch(QDateTime(day, QTime(10, 15, 30)), "0000D2");
    addTouch(QDateTime(day, QTime(10, 16)), "0000D3");
    // Stored after the others: a tie in time keeps the order of the IDs.

    Host host;
    auto dialog = openDialog(host);
    QCOMPARE(dialog->windowTitle(), QString("Database Report"));
    QPushButton* button;
    if (preset >= 0) {
        // A preset prints at once, whatever the pickers showed.
        SetRange(*dialog, QDateTime(day, QTime(3, 4)), QDateTime(day, QTime(5, 6)));
        button = Child<QPushButton>(*dialog, qPrintable(QString("cmdPreset_%1").arg(preset)));
    } else {
        SetRange(*dialog, start, end);
        button = Child<QPushButton>(*dialog, "cmdPrintPreview");
    }
    const Run run = press(button);
    if (preset >= 0) {
        QCOMPARE(Child<QDateEdit>(*dialog, "dtpStartDate")->date(), today.addDays(-daysBack));
        QCOMPARE(Child<QDateEdit>(*dialog, "dtpEndDate")->date(), today);
        QCOMPARE(Child<QTimeEdit>(*dialog, "dtpStartTime")->time(), QTime(0, 0));
        QCOMPARE(Child<QTimeEdit>(*dialog, "dtpEndTime")->time(), QTime(23, 59, 59));
    }
    if (codes.isEmpty()) {
        QCOMPARE(run.result, kNoData);
        QVERIFY(!run.lblWaitShown);
        QVERIFY(run.title.isEmpty());
    } else {
        QCOMPARE(run.result, QString());
        QCOMPARE(run.title, QString("Database Report"));
        QCOMPARE(run.codes, codes);
        // The rows serve one printing.
        QCOMPARE(customRows(), 0);
    }
    QVERIFY(home->errorLog().isEmpty());
}

void tst_databasereport::copiedAndPrinted() {
    const QDate day(2026, 3, 10);
    addTouch(QDateTime(day, QTime(10, 15)), "0000E1", 1, "Main Gate");
    addTouch(QDateTime(day, QTime(9, 0)), "0000E0", 2, "Fire Door", "Incidents");
    addTouch(QDateTime(day, QTime(10, 15)), "0000E2", 0, "Unknown", "");
    gConn->Execute("INSERT INTO tblEvents (dtDateTime, tPipeID) VALUES (?, '1000000A')",
                   {QDateTime(day, QTime(23, 0))});
    addTouch(QDateTime(day.addDays(1), QTime(0, 0)), "0000E9", 1, "Next Day");

    Host host;
    auto dialog = openDialog(host);
    SetRange(*dialog, QDateTime(day, QTime(0, 0)), QDateTime(day, QTime(23, 59)));
    const QString pdf = home->file("database.pdf");
    const Run run = press(Child<QPushButton>(*dialog, "cmdPrintPreview"), pdf);
    // Time order, a tie in the order stored; the time as stored; the type as a word.
    const QVector<QStringList> expected{
        {"2026-03-10 09:00:00", "0000E0", "Fire Door", "desc", "Incidents", "Event"},
        {"2026-03-10 10:15:00", "0000E1", "Main Gate", "desc", "Site North", "Location"},
        {"2026-03-10 10:15:00", "0000E2", "Unknown", "desc", "", ""},
        {"2026-03-10 23:00:00", "", "", "", "", ""}};
    QCOMPARE(run.rows, expected);
    QCOMPARE(customRows(), 0);

    const QStringList lines = PdfLines(pdf);
    const QString date = QLocale().toString(day, GetShortDateFormat());
    auto lineWith = [&](const QString& text) {
        for (int i = 0; i < lines.size(); ++i)
            if (lines.at(i).contains(text))
                return i;
        return -1;
    };
    QVERIFY(lineWith("Database Report") >= 0);
    QVERIFY(lineWith("Date Range: From " + date + " 00:00 to " + date + " 23:59") >= 0);
    QVERIFY(lineWith("Date / Time ID Button Name Group Name Type") >= 0);
    const int e0 = lineWith(date + " 09:00 0000E0 Fire Door Incidents Event");
    const int e1 = lineWith(date + " 10:15 0000E1 Main Gate Site North Location");
    const int e2 = lineWith(date + " 10:15 0000E2 Unknown");
    QVERIFY2(e0 >= 0 && e0 < e1 && e1 < e2, qPrintable(lines.join('\n')));
    QVERIFY(lines.at(e2).endsWith("Unknown"));
    QVERIFY(lineWith("End Of Report") > e2);

    // Another run replaces the rows of the first.
    SetRange(*dialog, QDateTime(day.addDays(1), QTime(0, 0)),
             QDateTime(day.addDays(1), QTime(0, 0)));
    QCOMPARE(press(Child<QPushButton>(*dialog, "cmdPrintPreview")).codes, QStringList{"0000E9"});
    QVERIFY(home->errorLog().isEmpty());
}

void tst_databasereport::copyFailure() {
    // A small first day, then a day too large for the room left in the file.
    addDays(QDate(2026, 3, 1), 1, 10);
    addDays(QDate(2026, 3, 2), 1, 1440);
    addDays(QDate(2026, 3, 3), 1, 1440);
    leaveEarlierTable();
    // The rows go into the scratch database: that is the file that runs out of room.
    const qint64 pages = gConn->Query("PRAGMA scratch.page_count").first().integer("page_count");
    const qint64 pageSize = gConn->Query("PRAGMA scratch.page_size").first().integer("page_size");
    gConn->Execute(QString("PRAGMA scratch.max_page_count = %1").arg(pages + 40 * 1024 / pageSize));

    Host host;
    auto dialog = openDialog(host);
    SetRange(*dialog, QDateTime(QDate(2026, 3, 1), QTime(0, 0)),
             QDateTime(QDate(2026, 3, 3), QTime(23, 59)));
    const Run run = press(Child<QPushButton>(*dialog, "cmdPrintPreview"));
    gConn->Execute("PRAGMA scratch.max_page_count = 1073741823");

    QCOMPARE(run.result, kFailed);
    QVERIFY(!run.lblWaitShown);
    QVERIFY(run.title.isEmpty());
    // The program's failure box tells why; the log has the same once.
    QCOMPARE(run.boxes.size(), 1);
    QVERIFY2(run.boxes.first().startsWith("Error 13 in GoProcessData of Form frmWaitReport\r\n"),
             qPrintable(run.boxes.first()));
    QVERIFY2(home->errorLog().contains(" in GoProcessData of Form frmWaitReport\t("),
             qPrintable(home->errorLog()));
    QCOMPARE(home->errorLog().count('\n'), 1);
    // Nothing of the failed copy is left.
    QCOMPARE(customColumn("tButtonCode"), QStringList{"EARLIER"});

    // With room again the same dialog prints.
    const Run again = press(Child<QPushButton>(*dialog, "cmdPrintPreview"));
    QCOMPARE(again.codes.size(), 10 + 1440 + 1440);
}

// The copied touches are in the scratch file while the preview shows them, and the database
// file neither grows nor keeps free pages after the report.
void tst_databasereport::rowsOutsideTheDatabase() {
    addDays(QDate(2026, 3, 1), 3, 1440);
    const auto pages = [](const char* pragma) {
        return gConn->Query(QString("PRAGMA main.%1").arg(pragma)).first().integer(pragma);
    };
    const qint64 pagesBefore = pages("page_count");
    const qint64 sizeBefore = QFileInfo(home->databasePath()).size();

    Host host;
    auto dialog = openDialog(host);
    SetRange(*dialog, QDateTime(QDate(2026, 3, 1), QTime(0, 0)),
             QDateTime(QDate(2026, 3, 3), QTime(23, 59)));
    const Run run = press(Child<QPushButton>(*dialog, "cmdPrintPreview"));
    QCOMPARE(run.codes.size(), 3 * 1440);
    QCOMPARE(run.scratchRows, qint64(3 * 1440));
    QVERIFY(!run.inMain);

    QCOMPARE(pages("page_count"), pagesBefore);
    QCOMPARE(pages("freelist_count"), qint64(0));
    QCOMPARE(QFileInfo(home->databasePath()).size(), sizeBefore);
    QCOMPARE(customRows(), qint64(0));
    // Emptied with its file: what is left is a few pages of table definitions.
    const qint64 pageSize = gConn->Query("PRAGMA scratch.page_size").first().integer("page_size");
    QVERIFY(QFileInfo(ScratchFilePath(home->databasePath())).size() <= 4 * pageSize);
    QVERIFY(home->errorLog().isEmpty());
}

void tst_databasereport::cancel_data() {
    QTest::addColumn<bool>("duringCopy");
    QTest::newRow("before the copy starts") << false;
    QTest::newRow("during the copy") << true;
}

void tst_databasereport::cancel() {
    QFETCH(bool, duringCopy);
    addDays(QDate(2026, 3, 1), 5, 200);
    leaveEarlierTable();
    Host host;
    auto dialog = openDialog(host);
    SetRange(*dialog, QDateTime(QDate(2026, 3, 1), QTime(0, 0)),
             QDateTime(QDate(2026, 3, 5), QTime(23, 59)));
    bool waitSeen = false, previewSeen = false;
    int progressAtCancel = -1;
    ModalDriver driver([&](QWidget* modal) {
        if (qobject_cast<ReportPreview*>(modal)) {
            previewSeen = true;
            modal->close();
        }
        auto* wait = qobject_cast<frmWaitReport*>(modal);
        if (!wait || waitSeen)
            return;
        waitSeen = true;
        QPushButton* cancel = Child<QPushButton>(*wait, "cmdCancel");
        if (!duringCopy) {
            cancel->click();
            return;
        }
        // Pressed once the first day is copied: it lands between two days.
        QObject::connect(wait->prgProgress(), &QProgressBar::valueChanged, cancel,
                         [&, cancel](int value) {
                             if (value > 0 && progressAtCancel < 0) {
                                 progressAtCancel = value;
                                 QMetaObject::invokeMethod(cancel, "click", Qt::QueuedConnection);
                             }
                         });
    });
    Child<QPushButton>(*dialog, "cmdPrintPreview")->click();
    QVERIFY(waitSeen);
    QVERIFY(!previewSeen);
    if (duringCopy)
        QVERIFY(progressAtCancel > 0 && progressAtCancel < 1000);
    QCOMPARE(customColumn("tButtonCode"), QStringList{"EARLIER"});
    QVERIFY(home->errorLog().isEmpty());
    QVERIFY(dialog->isEnabled());
}

TREVANO_TEST_MAIN(tst_databasereport)
#include "tst_databasereport.moc"
