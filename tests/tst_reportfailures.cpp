// Every report that cannot be built says so once: what the user is told, the one log line,
// no preview, and a database left as it was, when another program holds a lock or a view
// stands where the report's scratch table goes.
#include "DatabaseKey.h"
#include "ModalDriver.h"
#include "ModalScript.h"
#include "ReportDialogs.h"
#include "ReportPreview.h"
#include "TestHome.h"
#include "TestMain.h"
#include "TourFixture.h"
#include "cReportHost.h"
#include "database/frmWaitReport.h"
#include "mGlobals.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using namespace TourFixture;

namespace {

struct Host : cReportHost {
    int widthTwips() const override { return 12000; }
};

// Every table and view with its rows in the order written.
QString dumpDatabase() {
    QString out;
    for (const DbRow& t : gConn->Query("SELECT name, type FROM sqlite_master WHERE type IN "
                                       "('table', 'view') ORDER BY name")) {
        const QString name = t.text("name");
        out += t.text("type") + ' ' + name + '\n';
        const DbRows rows = gConn->Query(
            QString("SELECT * FROM %1%2")
                .arg(DbQuotedName(name), t.text("type") == "table" ? " ORDER BY rowid" : ""));
        for (const DbRow& row : rows) {
            QStringList cells;
            for (const QString& column : rows.columnNames())
                cells << (row.isNull(column) ? QString("<null>") : row.text(column));
            out += cells.join('|') + '\n';
        }
    }
    return out;
}

// The report's dialog as the reports page opens it, its choices set for a report that holds
// rows: the reader's two touches of today on the tour's first point.
std::unique_ptr<QDialog> openReport(Host& host, const QString& key) {
    std::unique_ptr<QDialog> dialog = ReportDialogFor(key)(host, key);
    dialog->show();
    const QDate today = QDate::currentDate();
    if (dialog->findChild<QTimeEdit*>("dtpEndTime"))
        SetRange(*dialog, QDateTime(today, QTime(0, 0)), QDateTime(today, QTime(23, 59)));
    if (auto* all = dialog->findChild<QPushButton*>("cmdReaders_0"))
        all->click();
    if (auto* all = dialog->findChild<QPushButton*>("cmdEvents_0"))
        all->click();
    if (auto* tours = dialog->findChild<QTreeWidget*>("lvwMain"))
        tours->setCurrentItem(tours->topLevelItem(0));
    return dialog;
}

struct Outcome {
    bool preview = false;
    QStringList boxes;
    QString waitResult; // the database report's wait window, when it stayed with a message
};

Outcome pressPrintPreview(QDialog& dialog) {
    Outcome outcome;
    BoxRecorder boxes;
    ModalDriver driver([&](QWidget* modal) {
        if (auto* preview = qobject_cast<ReportPreview*>(modal)) {
            outcome.preview = true;
            preview->close();
        } else if (auto* wait = qobject_cast<frmWaitReport*>(modal)) {
            if (!wait->lblResult()->text().isEmpty()) {
                outcome.waitResult = wait->lblResult()->text();
                wait->reject();
            }
        }
    });
    Child<QPushButton>(dialog, "cmdPrintPreview")->click();
    outcome.boxes = boxes.texts();
    return outcome;
}

// A second connection of another program, with the same key.
class OtherProgram {
public:
    explicit OtherProgram(const QString& path) { db.Open(path, DatabaseKey()); }
    void Begin(const QString& how) { db.Execute("BEGIN " + how); }
    ~OtherProgram() {
        try {
            db.Execute("ROLLBACK");
        } catch (const AppError&) {
        }
    }

private:
    DbConnection db;
};

const QString kTourFailed = "Error in creating new Tour";

} // namespace

class tst_reportfailures : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void writeLocked_data();
    void writeLocked();
    void exclusivelyLocked_data();
    void exclusivelyLocked();
    void viewInTheWay_data();
    void viewInTheWay();

private:
    void addColumns();
    // Presses Print Preview while another program holds `lock` ("IMMEDIATE", "EXCLUSIVE"),
    // or with a view named `view` in place of the scratch table; checks what the user is
    // told.
    void check(const QString& lock, const QString& view);

    std::unique_ptr<TestHome> home;
};

void tst_reportfailures::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    // A lock fails the same after a short wait as after the program's two seconds.
    gConn->ExecuteScript("PRAGMA busy_timeout = 200;");
    AddSite();
    AddTour("Night", 5, "00:00:00", {"1,00000A", "30,00000B"});
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES (?, 'Van 1')",
                   {QString::fromLatin1(Reader)});
    AddTouches(QDate::currentDate(), {"00:01,00000A", "00:02,0000E1"});
}

void tst_reportfailures::cleanup() {
    home.reset();
}

void tst_reportfailures::addColumns() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("label"); // of the log line
    // The program's failure box naming the label and the reason; otherwise the report's own
    // message, which begins with `told`.
    QTest::addColumn<QString>("told");
}

void tst_reportfailures::check(const QString& lock, const QString& view) {
    QFETCH(QString, key);
    QFETCH(QString, label);
    QFETCH(QString, told);
    Host host;
    std::unique_ptr<QDialog> dialog = openReport(host, key);
    {
        // Nothing in the way: the report shows its rows, so a failure below is the trouble's.
        const Outcome free = pressPrintPreview(*dialog);
        QVERIFY2(free.preview, qPrintable(free.boxes.join('\n') + free.waitResult));
        QCOMPARE(free.boxes, QStringList());
        QCOMPARE(home->errorLog(), QString());
    }
    if (!view.isEmpty()) {
        gConn->Execute("DROP TABLE IF EXISTS " + view);
        gConn->Execute("CREATE VIEW " + view + " AS SELECT 1 AS Field0");
    }
    const QString before = dumpDatabase();
    Outcome failed;
    {
        OtherProgram other(home->databasePath());
        if (!lock.isEmpty())
            other.Begin(lock);
        failed = pressPrintPreview(*dialog);
    }
    QVERIFY(!failed.preview);
    const QStringList log = home->errorLog().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(log.size(), 1);
    QVERIFY2(log.first().contains(" in " + label + "\t("), qPrintable(log.first()));
    QVERIFY2(failed.boxes.size() == 1, qPrintable(failed.boxes.join("\n---\n")));
    const QString box = failed.boxes.first();
    if (told.isEmpty()) {
        const QString reason = log.first().section("\t(", 1).chopped(1);
        QVERIFY2(box.startsWith("Error ") && box.contains(" in " + label + "\r\n"),
                 qPrintable(box));
        QVERIFY2(box.contains("Error = '" + reason + "'"), qPrintable(box + "\n" + reason));
    } else {
        QVERIFY2(box.startsWith(told), qPrintable(box));
    }
    QCOMPARE(dumpDatabase(), before);
    QVERIFY(Child<QPushButton>(*dialog, "cmdPrintPreview")->isEnabled());
}

// Another program writes: reading goes on, the scratch table cannot be written.
void tst_reportfailures::writeLocked_data() {
    addColumns();
    QTest::newRow("tour report") << "NewException"
                                 << "ResetTempTourTable of Form frmRptTour"
                                 << kTourFailed + "\r\n<ERROR #0005>";
    QTest::newRow("incident report") << "IncidentReport"
                                     << "cmdPrintPreview_Click of Form frmRptIncidentNew"
                                     << "";
    // Its table is made in the scratch database, which the lock does not reach: the writing
    // of its rows meets it.
    QTest::newRow("with sites") << "IncidentReportOld"
                                << "BuildIncidentReport_ORIGINAL of Form frmRptIncidentParam"
                                << "";
    QTest::newRow("hardware list") << "HardwareListReport"
                                   << "BuildHardwareListReport of Form frmRptHardwareListParam"
                                   << "";
    QTest::newRow("patrol schedule")
        << "PatrolSchedule"
        << "BuildPatrolScheduleReport of Form frmRptPatrolSchedule" << kTourFailed;
    QTest::newRow("database report") << "CustomReport"
                                     << "GoProcessData of Form frmWaitReport"
                                     << "";
}

void tst_reportfailures::writeLocked() {
    check("IMMEDIATE", QString());
}

// Another program holds the whole file: not even reading is possible.
void tst_reportfailures::exclusivelyLocked_data() {
    addColumns();
    QTest::newRow("tour report") << "NewException"
                                 << "LoadTourHeader of Class Module cTourReport"
                                 << kTourFailed + "\r\n<ERROR #0001>";
    QTest::newRow("incident report") << "IncidentReport"
                                     << "cmdPrintPreview_Click of Form frmRptIncidentNew"
                                     << "";
    // Its table is made in the scratch database, which the lock does not reach: the writing
    // of its rows meets it.
    QTest::newRow("with sites") << "IncidentReportOld"
                                << "BuildIncidentReport_ORIGINAL of Form frmRptIncidentParam"
                                << "";
    QTest::newRow("reader download report") << "ReaderReport"
                                            << "ReportReaderReport of Form frmRptReaderReport"
                                            << "";
    QTest::newRow("hardware list") << "HardwareListReport"
                                   << "BuildHardwareListReport of Form frmRptHardwareListParam"
                                   << "";
    QTest::newRow("patrol schedule") << "PatrolSchedule"
                                     << "LoadTourHeader of Class Module cTourReport" << kTourFailed;
    QTest::newRow("database report") << "CustomReport"
                                     << "GoProcessData of Form frmWaitReport"
                                     << "";
}

void tst_reportfailures::exclusivelyLocked() {
    check("EXCLUSIVE", QString());
}

// The reader download report reads its rows straight from the touches: it has no scratch
// table to be in the way.
void tst_reportfailures::viewInTheWay_data() {
    addColumns();
    QTest::addColumn<QString>("table");
    QTest::newRow("tour report") << "NewException"
                                 << "ResetTempTourTable of Form frmRptTour"
                                 << kTourFailed + "\r\n<ERROR #0005>"
                                 << "tblXXXException";
    QTest::newRow("incident report") << "IncidentReport"
                                     << "cmdPrintPreview_Click of Form frmRptIncidentNew"
                                     << ""
                                     << "tblReportTemp";
    // The table itself is made in the scratch database; the view in the way stops its rows.
    QTest::newRow("with sites") << "IncidentReportOld"
                                << "BuildIncidentReport_ORIGINAL of Form frmRptIncidentParam"
                                << ""
                                << "tblTempIncident";
    QTest::newRow("hardware list") << "HardwareListReport"
                                   << "BuildHardwareListReport of Form frmRptHardwareListParam"
                                   << ""
                                   << "tblReportTemp";
    QTest::newRow("patrol schedule") << "PatrolSchedule"
                                     << "BuildPatrolScheduleReport of Form frmRptPatrolSchedule"
                                     << kTourFailed << "tblXXXPatrol";
    QTest::newRow("database report") << "CustomReport"
                                     << "GoProcessData of Form frmWaitReport"
                                     << ""
                                     << "tblCustom";
}

void tst_reportfailures::viewInTheWay() {
    QFETCH(QString, table);
    check(QString(), table);
}

TREVANO_TEST_MAIN(tst_reportfailures)
#include "tst_reportfailures.moc"
