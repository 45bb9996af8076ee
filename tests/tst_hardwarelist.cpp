// The hardware list: its lines by section and group, its failures, its dialog and its printed
// pages.
#include "Database.h"
#include "ModalScript.h"
#include "PreviewChecks.h"
#include "ReportDialogs.h"
#include "TestHome.h"
#include "TestMain.h"
#include "cReportHost.h"
#include "hardware/frmRptHardwareListParam.h"
#include "hardware/mHardwareList.h"
#include "mDbUtil.h"
#include "mGlobals.h"

#include <QCheckBox>
#include <QPushButton>

using namespace PreviewChecks;

namespace {

struct Host : cReportHost {
    int widthTwips() const override { return 12000; }
};

// Two sites whose IDs are the same in their low 16 bits, an empty site, an event book, a
// user group and two readers, not in the order they print.
void addSetup() {
    const auto group = [](qint64 id, int type, const QString& name, const QVariant& desc) {
        gConn->Execute("INSERT INTO tblListItems (ID, tName, tDesc, wType) VALUES (?, ?, ?, ?)",
                       {id, name, desc, type});
    };
    group(131073, 1, "South Site", "");
    group(65537, 1, "North Site", "Main entrance");
    group(5, 2, "Incident Book", QVariant());
    group(7, 0, "Crew", "Users");
    group(9, 1, "Empty Site", "");
    const auto button = [](qint64 parent, const QString& code, const QString& name,
                           const QVariant& desc) {
        gConn->Execute("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                       "VALUES (?, ?, ?, ?)",
                       {parent, code, name, desc});
    };
    button(131073, "00A003", "Yard", QVariant());
    button(65537, "00A001", "Gate", "Front");
    button(65537, "00A002", "Door", "");
    button(5, "00B001", "Broken Window", "Glass");
    button(7, "00C001", "Note", "");
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES ('2000000B', "
                   "'Guard B')");
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES ('1000000A', NULL)");
}

const QString kBlank = "|||";
const QString kRule = "--------------------|||";
const QString kReaderRule = "---------------------|||";
const QStringList kCrew{"|Crew - Users||", "||Note|00C001"};
const QStringList kLocations{
    kBlank,          "Locations|||",          kRule,           "|North Site - Main entrance||",
    "||Door|00A002", "||Gate - Front|00A001", "|South Site||", "||Yard|00A003"};
const QStringList kIncidents{kBlank, "Incidents|||", kRule, "|Incident Book||",
                             "||Broken Window - Glass|00B001"};
const QStringList kReaders{kBlank, "Readers|||", kReaderRule, "||Guard B|2000000B", "|||1000000A"};

QStringList reportRows() {
    return TableRows("tblReportTemp", {"Field0", "Field1", "Field2", "Field3"});
}

} // namespace

class tst_hardwarelist : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void rows_data();
    void rows();
    void failures_data();
    void failures();
    void dialog();
    void printed_data();
    void printed();

private:
    std::unique_ptr<TestHome> home;
};

void tst_hardwarelist::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    gCompanyInfo = {};
    addSetup();
}

void tst_hardwarelist::cleanup() {
    home.reset();
}

void tst_hardwarelist::rows_data() {
    QTest::addColumn<bool>("locations");
    QTest::addColumn<bool>("incidents");
    QTest::addColumn<bool>("readers");
    QTest::addColumn<QString>("sql"); // run before the report
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("everything") << true << true << true << QString()
                                << kCrew + kLocations + kIncidents + kReaders;
    QTest::newRow("readers only: user groups still first")
        << false << false << true << QString() << kCrew + kReaders;
    QTest::newRow("no locations") << false << true << true << QString()
                                  << kCrew + kIncidents + kReaders;
    QTest::newRow("no incidents") << true << false << false << QString() << kCrew + kLocations;
    QTest::newRow("no reader defined") << false << false << true << "DELETE FROM tblReaders"
                                       << kCrew + QStringList{kBlank, "Readers|||", kReaderRule};
    QTest::newRow("nothing to print")
        << true << true << false << "DELETE FROM tblButtons" << QStringList();
    QTest::newRow("buttons of a group that is gone are left out")
        << true << false << false << "DELETE FROM tblListItems WHERE ID = 7" << kLocations;
    // A second site that sorts with North Site: the buttons by name, a group line at each
    // change of group.
    QTest::newRow("two groups of one name")
        << true << false << false
        << "INSERT INTO tblListItems (ID, tName, tDesc, wType) VALUES (3, 'north site', NULL, 1);"
           "INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName) VALUES (3, '00A004', "
           "'Fence')"
        << kCrew + QStringList{kBlank,
                               "Locations|||",
                               kRule,
                               "|North Site - Main entrance||",
                               "||Door|00A002",
                               "|north site||",
                               "||Fence|00A004",
                               "|North Site - Main entrance||",
                               "||Gate - Front|00A001",
                               "|South Site||",
                               "||Yard|00A003"};
    // Any type but a site's is an incident type.
    QTest::newRow("a group of another type")
        << false << true << false << "UPDATE tblListItems SET wType = 3 WHERE ID = 5"
        << kCrew + QStringList{kBlank, "Incidents|||", kRule, "|Incident Book||",
                               "||Broken Window - Glass|00B001"};
}

// The lines the preview reads, in print order, from a table emptied first.
void tst_hardwarelist::rows() {
    QFETCH(bool, locations);
    QFETCH(bool, incidents);
    QFETCH(bool, readers);
    QFETCH(QString, sql);
    QFETCH(QStringList, expected);
    if (!sql.isEmpty())
        gConn->ExecuteScript(sql);
    QVERIFY(InitRptTmp());
    gConn->Execute("INSERT INTO tblReportTemp (Field0) VALUES ('left over')");
    Host host;
    QStringList rows;
    QString title;
    QVERIFY(WithPreview([&] { BuildHardwareListReport(locations, incidents, readers, host); },
                        [&](ReportPreview& preview) {
                            rows = reportRows();
                            title = preview.windowTitle();
                        }));
    QCOMPARE(rows, expected);
    QCOMPARE(title, QString("Hardware List Report"));
    QCOMPARE(reportRows(), expected); // kept until the next report that uses the table
    QCOMPARE(home->errorLog(), QString());
}

// Whatever fails, the program's failure box tells why, and the log has one line.
void tst_hardwarelist::failures_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("reason");
    QTest::newRow("the buttons cannot be read") << "DROP TABLE tblListItems"
                                                << "no such table: tblListItems";
    QTest::newRow("the report table cannot be emptied")
        << "CREATE VIEW tblReportTemp AS SELECT 1 AS Field0"
        << "tblReportTemp";
}

void tst_hardwarelist::failures() {
    QFETCH(QString, sql);
    QFETCH(QString, reason);
    gConn->Execute("DROP TABLE IF EXISTS tblReportTemp");
    gConn->Execute(sql);
    Host host;
    BoxRecorder recorder;
    QVERIFY(!WithPreview([&] { BuildHardwareListReport(true, true, true, host); }));
    const QString label = "BuildHardwareListReport of Form frmRptHardwareListParam";
    QCOMPARE(recorder.boxes.size(), 1);
    const Boxes::Box& box = recorder.boxes.first();
    QCOMPARE(box.title, QString("Error"));
    QVERIFY2(box.text.startsWith("Error 1 in " + label + "\r\n"), qPrintable(box.text));
    QVERIFY2(box.text.contains(reason), qPrintable(box.text));
    const QString log = home->errorLog();
    QCOMPARE(log.count('\n'), 1);
    QVERIFY2(log.contains(" in " + label + "\t(") && log.contains(reason), qPrintable(log));
}

// All three boxes checked at first; Print Preview only while one is checked; the boxes reach
// the report in their order; the dialog stays open until Cancel.
void tst_hardwarelist::dialog() {
    Host host;
    std::unique_ptr<QDialog> made =
        ReportDialogFor("HardwareListReport")(host, "Hardware List Report");
    auto* dialog = qobject_cast<frmRptHardwareListParam*>(made.get());
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QString("Hardware List Report"));
    QCheckBox* location = Child<QCheckBox>(*dialog, "chkLocation");
    QCheckBox* event = Child<QCheckBox>(*dialog, "chkEvent");
    QCheckBox* reader = Child<QCheckBox>(*dialog, "chkReader");
    QPushButton* preview = Child<QPushButton>(*dialog, "cmdPrintPreview");
    for (QCheckBox* box : {location, event, reader})
        QVERIFY(box->isChecked());
    QVERIFY(preview->isEnabled());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    for (QCheckBox* box : {location, event, reader}) {
        QVERIFY(preview->isEnabled());
        box->click();
    }
    QVERIFY(!preview->isEnabled());
    event->click();
    QVERIFY(preview->isEnabled());

    QStringList rows;
    QVERIFY(WithPreview([&] { preview->click(); }, [&](ReportPreview&) { rows = reportRows(); }));
    QCOMPARE(rows, kCrew + kIncidents);
    QVERIFY(dialog->isVisible());
    Child<QPushButton>(*dialog, "cmdCancel")->click();
    QVERIFY(!dialog->isVisible());
}

void tst_hardwarelist::printed_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("English") << 0
                             << QStringList{"ACME Security",
                                            "Hardware List Report",
                                            "Description Hardware Code",
                                            "Crew - Users",
                                            "Note 00C001",
                                            "Locations",
                                            "--------------------",
                                            "North Site - Main entrance",
                                            "Door 00A002",
                                            "Gate - Front 00A001",
                                            "South Site",
                                            "Yard 00A003",
                                            "Incidents",
                                            "--------------------",
                                            "Incident Book",
                                            "Broken Window - Glass 00B001",
                                            "Readers",
                                            "---------------------",
                                            "Guard B 2000000B",
                                            "1000000A",
                                            "End Of Report"};
    QTest::newRow("German") << 2
                            << QStringList{"ACME Security",
                                           "Hardwareliste",
                                           "Beschreibung Hardware-Code",
                                           "Crew - Users",
                                           "Standorte",
                                           "--------------------",
                                           "North Site - Main entrance",
                                           "Vorfälle",
                                           "--------------------",
                                           "Lesegeräte",
                                           "---------------------",
                                           "Guard B 2000000B",
                                           "Ende des Berichts"};
}

// The printed page: the headings over the columns, each section's heading and rule, groups
// with their buttons and codes, the readers, and the closing text.
void tst_hardwarelist::printed() {
    QFETCH(int, language);
    QFETCH(QStringList, expected);
    home->openGlobals(language);
    gCompanyInfo[2] = "ACME Security";
    Host host;
    frmRptHardwareListParam dialog(host);
    const QString pdf = home->file("hardware.pdf");
    FileAnswers files({pdf});
    QVERIFY(WithPreview([&] { dialog.cmdPrintPreview_Click(); },
                        [&](ReportPreview& preview) { QVERIFY(preview.SaveAsPdf()); }));
    const QStringList lines = PdfLines(pdf);
    QVERIFY2(!lines.isEmpty() && lines.first().startsWith(Translate("Print Date:")) &&
                 lines.first().endsWith(Translate("Page") + " 1 / 1"),
             qPrintable(lines.join('\n')));
    QString missing;
    QVERIFY2(LinesInOrder(lines, expected, &missing),
             qPrintable(missing + "\n---\n" + lines.join('\n')));
}

TREVANO_TEST_MAIN(tst_hardwarelist)
#include "tst_hardwarelist.moc"
