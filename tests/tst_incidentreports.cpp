// The incident report and the incident report with sites: their rows, their boxes, their
// dialogs and their printed pages.
#include "Database.h"
#include "ModalScript.h"
#include "PreviewChecks.h"
#include "ReportPreview.h"
#include "TestHome.h"
#include "TestMain.h"
#include "cReportHost.h"
#include "incident/frmRptIncidentNew.h"
#include "incident/mIncidentReport.h"
#include "incident_sites/frmRptIncidentParam.h"
#include "incident_sites/mIncidentSites.h"
#include "mDbUtil.h"
#include "mDeclareAPI.h"
#include "mGlobals.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <ctime>

using namespace PreviewChecks;

namespace {

struct Host : cReportHost {
    int widthTwips() const override { return 12000; }
};

const QString kReaderA = "10000001";
const QString kReaderB = "10000002";
const QString kReaderC = "10000003"; // touches, but is never chosen
const QString kWindowHeading = "Broken Window [00B001] -- Incident Book";
const QString kDoorHeading = "Open Door [00B002] -- Incident Book";
const QString kNone = "No incidents of this type were recorded";

// Two sites with a location each, an event book with two incident buttons, a user group with
// one button and two readers.
void addSiteSetup() {
    const auto group = [](const QString& name, int type) {
        return gConn->Insert("INSERT INTO tblListItems (tName, tDesc, wType) VALUES (?, '', ?)",
                             {name, type});
    };
    const auto button = [](qint64 parent, const QString& code, const QString& name) {
        gConn->Insert("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                      "VALUES (?, ?, ?, ?)",
                      {parent, code, name, name + " (description)"});
    };
    const qint64 north = group("North Site", 1);
    const qint64 south = group("South Site", 1);
    const qint64 book = group("Incident Book", 2);
    const qint64 users = group("Staff", 0);
    button(north, "00A001", "Gate");
    button(south, "00A002", "Yard");
    button(book, "00B001", "Broken Window");
    button(book, "00B002", "Open Door");
    button(users, "00C001", "Note");
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES (?, 'Guard A')",
                   {kReaderA});
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES (?, 'Guard B')",
                   {kReaderB});
}

// One touch, stored as a download stores it: with the button's and group's names of the day.
void touch(const QString& reader, const QString& when, const QString& code) {
    const DbRows found = gConn->Query(
        "SELECT b.tButtonName, b.tButtonDesc, g.wType, g.tName, g.tDesc FROM tblButtons b "
        "INNER JOIN tblListItems g ON b.lParentID = g.ID WHERE b.tButtonCode = ?",
        {code});
    const DbRow* b = found.isEmpty() ? nullptr : &found.first();
    gConn->Insert("INSERT INTO tblEvents (dtDLDateTime, dtDateTime, tButtonCode, tButtonName, "
                  "tButtonDesc, wGroupType, tGroupName, tGroupDesc, tPipeID) "
                  "VALUES ('2026-03-31 18:00:00', ?, ?, ?, ?, ?, ?, ?, ?)",
                  {when, code, b ? b->text("tButtonName") : QString(),
                   b ? b->text("tButtonDesc") : QString(), b ? b->integer("wType") : 0,
                   b ? b->text("tName") : QString(), b ? b->text("tDesc") : QString(), reader});
}

const QMap<QString, QString> kCodes{{"gate", "00A001"}, {"yard", "00A002"}, {"window", "00B001"},
                                    {"door", "00B002"}, {"note", "00C001"}, {"gone", "00D001"}};

// "A 10 08:00 gate": reader A (or B, C) touched the gate on 2026-03-10 at 08:00:00; seconds may
// be given ("23:59:59").
void touches(const QStringList& script) {
    for (const QString& line : script) {
        const QStringList p = line.split(' ');
        const QString time = p.at(2).size() == 5 ? p.at(2) + ":00" : p.at(2);
        touch(p.at(0) == "A"   ? kReaderA
              : p.at(0) == "B" ? kReaderB
                               : kReaderC,
              QString("2026-03-%1 %2").arg(p.at(1), time), kCodes.value(p.at(3)));
    }
}

// "10 08:00:00" as a moment of March 2026 (wall-clock, as the dialogs build it).
QDateTime at(const QString& dayAndTime) {
    const QStringList p = dayAndTime.split(' ');
    return QDateTime(QDate(2026, 3, p.at(0).toInt()), QTime::fromString(p.at(1), "HH:mm:ss"),
                     Qt::UTC);
}

// "{10}" stands for 2026-03-10 in the short date format.
QString expand(QString text) {
    for (int day = 1; day <= 31; ++day)
        text.replace(QString("{%1}").arg(day),
                     QLocale().toString(QDate(2026, 3, day), GetShortDateFormat()));
    return text;
}

QStringList expand(const QStringList& rows) {
    QStringList out;
    for (const QString& r : rows)
        out << expand(r);
    return out;
}

qint32 buttonId(const QString& name) {
    return qint32(gConn->Query("SELECT ID FROM tblButtons WHERE tButtonName = ?", {name})
                      .first()
                      .integer("ID"));
}

qint64 groupId(const QString& name) {
    return gConn->Query("SELECT ID FROM tblListItems WHERE tName = ?", {name})
        .first()
        .integer("ID");
}

QStringList reportTempRows() {
    return TableRows("tblReportTemp", {"Field0", "Field1", "Field2"});
}

QStringList tempIncidentRows() {
    return TableRows("tblTempIncident",
                     {"tDate", "tTime", "tReaderName", "tSite", "tLocation", "tIncident"});
}

// Whether the texts appear in this order (on one line or on later ones).
bool inOrder(const QStringList& lines, const QStringList& texts, QString* missing) {
    const QString all = lines.join('\n');
    qsizetype at = 0;
    for (const QString& text : texts) {
        at = all.indexOf(text, at);
        if (at < 0) {
            *missing = text;
            return false;
        }
        at += text.size();
    }
    return true;
}

} // namespace

class tst_incidentreports : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void incidentRows_data();
    void incidentRows();
    void incidentBoxes_data();
    void incidentBoxes();
    void sitesRows_data();
    void sitesRows();
    void emptySitesReport_data();
    void emptySitesReport();

    void incidentDialogOpens();
    void incidentDialogTicks();
    void incidentDialogWithoutButtons();
    void incidentReportPrinted();
    void sitesDialogLists();
    void sitesReportPrinted_data();
    void sitesReportPrinted();
    void previewFailures_data();
    void previewFailures();

private:
    std::unique_ptr<TestHome> home;
};

void tst_incidentreports::initTestCase() {
    // A zone with daylight saving: no touch may move when the clocks change.
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

void tst_incidentreports::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    gCompanyInfo = {};
    addSiteSetup();
}

void tst_incidentreports::cleanup() {
    home.reset();
}

void tst_incidentreports::incidentRows_data() {
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("readers"); // "A", "B"
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("rows");

    const QStringList day{"10 00:00:00", "10 23:59:59"};
    const QStringList interleaved{"A 10 08:00 gate", "B 10 08:05 yard", "A 10 08:10 window"};
    const QString gateA = "|{10} 08:00|Gate, North Site,  Reader 10000001";
    const int written = int(IncidentRows::Written);
    const QStringList window{"||", kWindowHeading + "||"};

    QTest::newRow("interleaved, both readers: A's incident at A's own location")
        << interleaved << QStringList{"A", "B"} << QStringList{"Broken Window"} << day[0] << day[1]
        << written << window + QStringList{gateA};
    QTest::newRow("interleaved, reader A only")
        << interleaved << QStringList{"A"} << QStringList{"Broken Window"} << day[0] << day[1]
        << written << window + QStringList{gateA};
    QTest::newRow("interleaved, reader B only: B touched no incident")
        << interleaved << QStringList{"B"} << QStringList{"Broken Window"} << day[0] << day[1]
        << written << window + QStringList{"||" + kNone};
    // A reader that is not chosen and touched most: each chosen reader is then read on its own.
    QStringList busy = interleaved;
    for (int i = 0; i < 30; ++i)
        busy << QString("C 10 08:%1 window").arg(i, 2, 10, QChar('0'));
    QTest::newRow("interleaved among many others, both readers")
        << busy << QStringList{"A", "B"} << QStringList{"Broken Window"} << day[0] << day[1]
        << written << window + QStringList{gateA};
    QTest::newRow("interleaved among many others, reader A only")
        << busy << QStringList{"A"} << QStringList{"Broken Window"} << day[0] << day[1] << written
        << window + QStringList{gateA};
    // Lines follow the incidents' times, though each shows its location's time.
    const QStringList crossed{"A 10 08:00 gate", "B 10 08:01 yard",   "B 10 08:02 window",
                              "A 10 08:03 yard", "A 10 08:04 window", "B 10 08:05 window"};
    const QStringList crossedRows =
        window + QStringList{"|{10} 08:01|Yard, South Site,  Reader 10000002",
                             "|{10} 08:03|Yard, South Site,  Reader 10000001",
                             "|{10} 08:01|Yard, South Site,  Reader 10000002"};
    QTest::newRow("incidents of two readers in their order")
        << crossed << QStringList{"A", "B"} << QStringList{"Broken Window"} << day[0] << day[1]
        << written << crossedRows;
    QTest::newRow("incidents of two readers in their order, among many others")
        << crossed + busy.mid(3) << QStringList{"A", "B"} << QStringList{"Broken Window"} << day[0]
        << day[1] << written << crossedRows;
    QTest::newRow("B's incident after A's location waits for B's own location")
        << QStringList{"A 10 08:00 gate", "B 10 08:05 window", "B 10 08:06 yard",
                       "B 10 08:07 window"}
        << QStringList{"A", "B"} << QStringList{"Broken Window"} << day[0] << day[1] << written
        << window + QStringList{"|{10} 08:06|Yard, South Site,  Reader 10000002"};
    QTest::newRow("two incidents after one location: the location's time twice")
        << QStringList{"A 10 07:59 gate", "A 10 08:30 window", "A 10 09:45 window"}
        << QStringList{"A"} << QStringList{"Broken Window"} << day[0] << day[1] << written
        << window + QStringList{"|{10} 07:59|Gate, North Site,  Reader 10000001",
                                "|{10} 07:59|Gate, North Site,  Reader 10000001"};
    QTest::newRow("sections in the order chosen, each with its own incidents")
        << QStringList{"A 10 08:00 gate", "A 10 08:01 window", "A 10 08:02 door", "A 10 08:03 yard",
                       "A 10 08:04 door"}
        << QStringList{"A"} << QStringList{"Open Door", "Broken Window"} << day[0] << day[1]
        << written
        << QStringList{"||",
                       kDoorHeading + "||",
                       "|{10} 08:00|Gate, North Site,  Reader 10000001",
                       "|{10} 08:03|Yard, South Site,  Reader 10000001",
                       "||",
                       kWindowHeading + "||",
                       "|{10} 08:00|Gate, North Site,  Reader 10000001"};
    QTest::newRow("nothing touched: a section each, saying so")
        << QStringList{"A 10 08:00 gate"} << QStringList{"A"}
        << QStringList{"Broken Window", "Open Door"} << day[0] << day[1] << written
        << QStringList{"||", kWindowHeading + "||", "||" + kNone,
                       "||", kDoorHeading + "||",   "||" + kNone};
    QTest::newRow("a location before the range does not count")
        << QStringList{"A 09 23:59:59 gate", "A 10 00:00 window"} << QStringList{"A"}
        << QStringList{"Broken Window"} << day[0] << day[1] << written
        << window + QStringList{"||" + kNone};
    QTest::newRow("bounds: the first and the last second are inside, the next day is not")
        << QStringList{"A 10 00:00:00 gate", "A 10 23:59:59 window", "A 11 00:00:00 yard",
                       "A 11 00:00:00 window"}
        << QStringList{"A"} << QStringList{"Broken Window"} << day[0] << day[1] << written
        << window + QStringList{"|{10} 00:00|Gate, North Site,  Reader 10000001"};
    QTest::newRow("touch order: same second, then entry order")
        << QStringList{"A 10 08:00 yard", "A 10 08:00 gate", "A 10 08:00 window"}
        << QStringList{"A"} << QStringList{"Broken Window"} << day[0] << day[1] << written
        << window + QStringList{"|{10} 08:00|Gate, North Site,  Reader 10000001"};
    QTest::newRow("the hour the clocks go forward stays as logged")
        << QStringList{"A 29 02:30 gate", "A 29 02:40 window"} << QStringList{"A"}
        << QStringList{"Broken Window"} << "29 00:00:00"
        << "29 23:59:59" << written
        << window + QStringList{"|{29} 02:30|Gate, North Site,  Reader 10000001"};
    QTest::newRow("no touch in the range")
        << QStringList{"A 11 08:00 gate"} << QStringList{"A"} << QStringList{"Broken Window"}
        << day[0] << day[1] << int(IncidentRows::NoRecords) << QStringList{};
    QTest::newRow("start after end")
        << interleaved << QStringList{"A"} << QStringList{"Broken Window"} << day[1] << day[0]
        << int(IncidentRows::NoRecords) << QStringList{};
    QTest::newRow("no reader") << interleaved << QStringList{} << QStringList{"Broken Window"}
                               << day[0] << day[1] << int(IncidentRows::NoReader) << QStringList{};
}

void tst_incidentreports::incidentRows() {
    QFETCH(QStringList, script);
    QFETCH(QStringList, readers);
    QFETCH(QStringList, buttons);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, outcome);
    QFETCH(QStringList, rows);
    touches(script);
    colReaders chosen;
    for (const QString& r : readers)
        chosen << cReader(r == "A" ? kReaderA : kReaderB);
    colEvents events;
    for (const QString& b : buttons)
        events << buttonId(b);
    QCOMPARE(int(WriteIncidentRows(at(from), at(to), chosen, events)), outcome);
    if (outcome == int(IncidentRows::Written))
        QCOMPARE(reportTempRows(), expand(rows));
}

void tst_incidentreports::incidentBoxes_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("touched");
    QTest::addColumn<bool>("deleteButton");
    QTest::addColumn<QString>("box");
    // Both boxes are the program's own, untranslated.
    QTest::newRow("no records") << 0 << false << false << "No records for the given parameters";
    QTest::newRow("no records, German")
        << 2 << false << false << "No records for the given parameters";
    QTest::newRow("button deleted meanwhile") << 0 << true << true << "Error Looking up Incident";
    QTest::newRow("button deleted meanwhile, German")
        << 2 << true << true << "Error Looking up Incident";
}

void tst_incidentreports::incidentBoxes() {
    QFETCH(int, language);
    QFETCH(bool, touched);
    QFETCH(bool, deleteButton);
    QFETCH(QString, box);
    home->openGlobals(language);
    if (touched)
        touches({"A 10 08:00 gate", "A 10 08:01 window"});
    const qint32 window = buttonId("Broken Window");
    if (deleteButton)
        gConn->Execute("DELETE FROM tblButtons WHERE ID = ?", {window});
    Host host;
    BoxRecorder boxes;
    bool result = true;
    QVERIFY(!WithPreview([&] {
        result = BuildIncidentReport(at("10 00:00:00"), at("10 23:59:59"), {cReader(kReaderA)},
                                     {window}, host);
    }));
    QVERIFY(!result);
    QCOMPARE(boxes.texts(), QStringList{box});
    QCOMPARE(boxes.boxes.first().title, QString("Trevano Lite"));
    QCOMPARE(boxes.boxes.first().icon, Boxes::Icon::Information);
    QVERIFY(home->errorLog().isEmpty());
}

void tst_incidentreports::sitesRows_data() {
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("event"); // a button's name, or empty for all
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("site");
    QTest::addColumn<QStringList>("rows");

    const QStringList interleaved{"A 10 08:00 gate", "B 10 08:05 yard", "A 10 08:10 window"};
    const QString gateA = "{10}|08:00|Guard A|North Site|Gate|";
    const QString yardB = "{10}|08:05|Guard B|South Site|Yard|";
    const QString windowA = "{10}|08:10|Guard A|North Site|Gate|Broken Window";
    const QString none;

    QTest::newRow("interleaved, no filter: each touch at its own reader's place")
        << interleaved << none << none << none << none << QStringList{gateA, yardB, windowA};
    QTest::newRow("interleaved, reader A")
        << interleaved << none << none << "A" << none << QStringList{gateA, windowA};
    QTest::newRow("interleaved, reader B")
        << interleaved << none << none << "B" << none << QStringList{yardB};
    QTest::newRow("interleaved, site North: A's incident is at North")
        << interleaved << none << none << none << "North Site" << QStringList{gateA, windowA};
    QTest::newRow("interleaved, site South: B's location only")
        << interleaved << none << none << none << "South Site" << QStringList{yardB};
    QTest::newRow("interleaved, incident button")
        << interleaved << none << "Broken Window" << none << none << QStringList{windowA};
    QTest::newRow("interleaved, reader A and site South") << interleaved << none << none << "A"
                                                          << "South Site" << QStringList{};
    QTest::newRow("a location the button filter rejects still moves the place")
        << QStringList{"A 10 08:00 gate", "A 10 08:01 yard", "A 10 08:02 window"} << none
        << "Broken Window" << none << none
        << QStringList{"{10}|08:02|Guard A|South Site|Yard|Broken Window"};
    QTest::newRow("an incident after another site's location leaves the chosen site")
        << QStringList{"A 10 08:00 gate", "A 10 08:01 window", "A 10 08:02 yard",
                       "A 10 08:03 window"}
        << none << none << none << "North Site"
        << QStringList{gateA, "{10}|08:01|Guard A|North Site|Gate|Broken Window"};
    QTest::newRow("before any location: listed without a place, left out by a site")
        << QStringList{"A 10 07:00 window", "A 10 08:00 gate"} << none << none << none << none
        << QStringList{"{10}|07:00|Guard A|||Broken Window", gateA};
    QTest::newRow("before any location, site chosen")
        << QStringList{"A 10 07:00 window", "A 10 08:00 gate"} << none << none << none
        << "North Site" << QStringList{gateA};
    QTest::newRow("a user-group touch is listed and leaves the place alone")
        << QStringList{"A 10 08:00 gate", "A 10 08:01 note", "A 10 08:02 window"} << none << none
        << none << none
        << QStringList{gateA, "{10}|08:01|Guard A|North Site|Gate|Note",
                       "{10}|08:02|Guard A|North Site|Gate|Broken Window"};
    QTest::newRow("an unknown button is neither listed nor a place")
        << QStringList{"A 10 08:00 gate", "A 10 08:01 gone", "A 10 08:02 window"} << none << none
        << none << none << QStringList{gateA, "{10}|08:02|Guard A|North Site|Gate|Broken Window"};
    QTest::newRow("a deleted location is neither listed nor a place")
        << QStringList{"A 10 08:00 gate", "A 10 08:01 yard", "A 10 08:02 window"} << "delete yard"
        << none << none << none
        << QStringList{gateA, "{10}|08:02|Guard A|North Site|Gate|Broken Window"};
    QTest::newRow("a deleted reader's touches are left out")
        << interleaved << "delete reader B" << none << none << none << QStringList{gateA, windowA};
    QTest::newRow("a renamed location prints its new name")
        << interleaved << "rename gate" << none << "A" << none
        << QStringList{"{10}|08:00|Guard A|North Site|Main Gate|",
                       "{10}|08:10|Guard A|North Site|Main Gate|Broken Window"};
    QTest::newRow("same second: reader ID, then entry order")
        << QStringList{"B 10 08:00 yard", "A 10 08:00 gate", "A 10 08:00 window"} << none << none
        << none << none
        << QStringList{"{10}|08:00|Guard A|North Site|Gate|",
                       "{10}|08:00|Guard A|North Site|Gate|Broken Window",
                       "{10}|08:00|Guard B|South Site|Yard|"};
    QTest::newRow("names beyond ASCII, a reader without a description, a shorter place next")
        << QStringList{"A 10 08:00 gate", "A 10 08:01 window", "A 10 08:02 yard",
                       "A 10 08:03 window"}
        << "umlauts" << none << none << none
        << QStringList{"{10}|08:00||Nördlicher Hof|Tor Ü|",
                       "{10}|08:01||Nördlicher Hof|Tor Ü|Broken Window",
                       "{10}|08:02||South Site|Yard|", "{10}|08:03||South Site|Yard|Broken Window"};
    QTest::newRow("a stored time that is no moment is listed as it stands")
        << QStringList{"A 10 08:00 gate", "A 10 08:01 window"} << "minutes only" << none << none
        << none
        << QStringList{"{10}|08:00|Guard A|North Site|Gate|",
                       "2026-03-10 08:01||Guard A|North Site|Gate|Broken Window"};
    QTest::newRow("the hour the clocks go forward stays as logged")
        << QStringList{"A 29 02:30 gate"} << none << none << none << none
        << QStringList{"{29}|02:30|Guard A|North Site|Gate|"};
}

void tst_incidentreports::sitesRows() {
    QFETCH(QStringList, script);
    QFETCH(QString, change);
    QFETCH(QString, event);
    QFETCH(QString, reader);
    QFETCH(QString, site);
    QFETCH(QStringList, rows);
    touches(script);
    if (change == "delete yard")
        gConn->Execute("DELETE FROM tblButtons WHERE tButtonCode = '00A002'");
    else if (change == "delete reader B")
        gConn->Execute("DELETE FROM tblReaders WHERE tReaderId = ?", {kReaderB});
    else if (change == "rename gate")
        gConn->Execute("UPDATE tblButtons SET tButtonName = 'Main Gate' WHERE tButtonCode = "
                       "'00A001'");
    else if (change == "minutes only")
        gConn->Execute("UPDATE tblEvents SET dtDateTime = '2026-03-10 08:01' WHERE tButtonCode = "
                       "'00B001'");
    else if (change == "umlauts") {
        gConn->Execute("UPDATE tblButtons SET tButtonName = ? WHERE tButtonCode = '00A001'",
                       {QString("Tor Ü")});
        gConn->Execute("UPDATE tblListItems SET tName = ? WHERE tName = 'North Site'",
                       {QString("Nördlicher Hof")});
        gConn->Execute("UPDATE tblReaders SET tDescription = NULL WHERE tReaderId = ?", {kReaderA});
    }
    IncidentFilters filters;
    filters.eventId = event.isEmpty() ? -1 : buttonId(event);
    filters.siteId = site.isEmpty() ? -1 : groupId(site);
    filters.readerId = reader.isEmpty() ? QString() : reader == "A" ? kReaderA : kReaderB;
    const bool march29 = script.first().contains(" 29 ");
    CreateTempIncidentTable();
    auto events = OpenIncidentEvents(at(march29 ? "29 00:00:00" : "10 00:00:00"),
                                     at(march29 ? "29 23:59:59" : "10 23:59:59"), filters.readerId);
    QCOMPARE(WriteTempIncidentRows(*events, filters), qint64(rows.size()));
    QCOMPARE(tempIncidentRows(), expand(rows));
    // An empty field is an empty text, never null.
    QCOMPARE(gConn
                 ->Query("SELECT count(*) AS n FROM tblTempIncident WHERE tDate IS NULL OR tTime "
                         "IS NULL OR tReaderName IS NULL OR tSite IS NULL OR tLocation IS NULL "
                         "OR tIncident IS NULL")
                 .first()
                 .integer("n"),
             qint64(0));
}

void tst_incidentreports::emptySitesReport_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("box");
    QTest::newRow("English") << 0 << "No Data on the report";
    QTest::newRow("German") << 2 << "Keine Daten für den Bericht";
}

// Nothing accepted: the translated notice, no preview, and the window idle again.
void tst_incidentreports::emptySitesReport() {
    QFETCH(int, language);
    QFETCH(QString, box);
    home->openGlobals(language);
    touches({"A 10 08:00 gate", "B 10 08:05 yard"});
    Host host;
    frmRptIncidentParam dialog(host);
    Child<QDateEdit>(dialog, "dtpStartDate")->setDate(QDate(2026, 3, 10));
    Child<QDateEdit>(dialog, "dtpEndDate")->setDate(QDate(2026, 3, 10));
    // Reader A touched no site South.
    Child<QComboBox>(dialog, "cboReader")->setCurrentText("Guard A");
    Child<QComboBox>(dialog, "cboSite")->setCurrentText("South Site");
    BoxRecorder boxes;
    QVERIFY(!WithPreview([&] { dialog.cmdPrintPreview_Click(); }));
    QCOMPARE(boxes.texts(), QStringList{box});
    QCOMPARE(boxes.boxes.first().icon, Boxes::Icon::Warning);
    QVERIFY(Child<QPushButton>(dialog, "cmdPrintPreview")->isEnabled());
    QVERIFY(Child<QPushButton>(dialog, "cmdCancel")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(home->errorLog().isEmpty());
}

void tst_incidentreports::incidentDialogOpens() {
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES ('0000000F', NULL)");
    Host host;
    BoxRecorder boxes;
    frmRptIncidentNew dialog(host);
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(Child<QDateEdit>(dialog, "dtpStartDate")->date(), QDate::currentDate());
    QCOMPARE(Child<QDateEdit>(dialog, "dtpEndDate")->date(), QDate::currentDate());
    QCOMPARE(Child<QTimeEdit>(dialog, "dtpStartTime")->time(), QTime(0, 0));
    QCOMPARE(Child<QTimeEdit>(dialog, "dtpEndTime")->time().toString("HH:mm"), QString("23:59"));

    QTreeWidget* readers = dialog.lvwReaders();
    QStringList texts;
    for (int i = 0; i < readers->topLevelItemCount(); ++i) {
        texts << readers->topLevelItem(i)->text(0);
        QCOMPARE(readers->topLevelItem(i)->checkState(0), Qt::Checked);
    }
    // By ID; the description apart from the ID, as the other reports show it; none: the ID alone.
    QCOMPARE(texts, QStringList({"0000000F", "10000001 - Guard A", "10000002 - Guard B"}));

    QTreeWidget* events = dialog.lvwEvents();
    QCOMPARE(events->headerItem()->text(0), QString("Select Incident/s"));
    QCOMPARE(events->topLevelItemCount(), 2);
    QCOMPARE(events->topLevelItem(0)->text(0), kWindowHeading);
    QCOMPARE(events->topLevelItem(0)->toolTip(0), QString("Broken Window (description)"));
    QCOMPARE(events->topLevelItem(1)->text(0), kDoorHeading);
    QVERIFY(Child<QPushButton>(dialog, "cmdPrintPreview")->isEnabled());
}

// "All" and "None" tick one list only; nothing ticked is refused with its message.
void tst_incidentreports::incidentDialogTicks() {
    Host host;
    frmRptIncidentNew dialog(host);
    const auto ticked = [](QTreeWidget* list) {
        int n = 0;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            n += list->topLevelItem(i)->checkState(0) == Qt::Checked;
        return n;
    };
    Child<QPushButton>(dialog, "cmdReaders_1")->click();
    QCOMPARE(ticked(dialog.lvwReaders()), 0);
    QCOMPARE(ticked(dialog.lvwEvents()), 2);
    BoxRecorder boxes;
    QVERIFY(!WithPreview([&] { dialog.cmdPrintPreview_Click(); }));
    QCOMPARE(boxes.texts(),
             QStringList{"There must be at least one reader selected to create a report"});

    Child<QPushButton>(dialog, "cmdReaders_0")->click();
    Child<QPushButton>(dialog, "cmdEvents_1")->click();
    QCOMPARE(ticked(dialog.lvwReaders()), 2);
    QCOMPARE(ticked(dialog.lvwEvents()), 0);
    QVERIFY(!WithPreview([&] { dialog.cmdPrintPreview_Click(); }));
    QCOMPARE(boxes.texts().last(),
             QString("There must be at least one event selected to create a report"));
    QVERIFY(Child<QPushButton>(dialog, "cmdPrintPreview")->isEnabled());
    QVERIFY(Child<QPushButton>(dialog, "cmdCancel")->isEnabled());
}

void tst_incidentreports::incidentDialogWithoutButtons() {
    gConn->Execute("DELETE FROM tblButtons WHERE tButtonCode LIKE '00B%'");
    Host host;
    BoxRecorder boxes;
    frmRptIncidentNew dialog(host);
    QCOMPARE(boxes.texts(),
             QStringList{"There must be at least one event selected to create a report"});
    QVERIFY(!Child<QPushButton>(dialog, "cmdPrintPreview")->isEnabled());
    QCOMPARE(dialog.lvwReaders()->topLevelItemCount(), 2);
}

// The whole road from the dialog: the rows while the preview shows, the printed page, an
// empty table afterwards, and no scratch table of the other report left when it closes.
void tst_incidentreports::incidentReportPrinted() {
    gCompanyInfo[1] = "ACME Security";
    gCompanyInfo[4] = "North Gate Lodge";
    touches({"A 10 08:00 gate", "B 10 08:05 yard", "A 10 08:10 window", "B 10 08:20 window"});
    gConn->Execute("CREATE TABLE tblTempIncident (tDate VARCHAR NULL)");
    Host host;
    frmRptIncidentNew dialog(host);
    dialog.setWindowTitle("Incident Report");
    Child<QDateEdit>(dialog, "dtpStartDate")->setDate(QDate(2026, 3, 10));
    Child<QDateEdit>(dialog, "dtpEndDate")->setDate(QDate(2026, 3, 10));
    Child<QTimeEdit>(dialog, "dtpStartTime")->setTime(QTime(7, 30));
    const QString pdf = home->file("incident.pdf");
    FileAnswers files({pdf});
    QStringList rows;
    QString title;
    bool buttonsOff = false;
    QVERIFY(WithPreview([&] { dialog.cmdPrintPreview_Click(); },
                        [&](ReportPreview& preview) {
                            rows = reportTempRows();
                            title = preview.windowTitle();
                            buttonsOff =
                                !Child<QPushButton>(dialog, "cmdPrintPreview")->isEnabled() &&
                                !Child<QPushButton>(dialog, "cmdCancel")->isEnabled();
                            QVERIFY(preview.SaveAsPdf());
                        }));
    const QStringList door{"||", kDoorHeading + "||", "||" + kNone};
    QCOMPARE(rows, expand(QStringList{"||", kWindowHeading + "||",
                                      "|{10} 08:00|Gate, North Site,  Reader 10000001",
                                      "|{10} 08:05|Yard, South Site,  Reader 10000002"} +
                          door));
    QCOMPARE(title, QString("Incident Report"));
    QVERIFY(buttonsOff);
    QVERIFY(reportTempRows().isEmpty());
    QVERIFY(Child<QPushButton>(dialog, "cmdPrintPreview")->isEnabled());

    const QStringList lines = PdfLines(pdf);
    QString missing;
    QVERIFY2(
        inOrder(lines,
                expand({"Print Date:", "TK-22 Trevano Reports", "Page 1 / 1", "ACME Security",
                        "North Gate Lodge", "Incident Report", "From: {10} 07:30", "To: {10} 23:59",
                        kWindowHeading, "{10} 08:00 Gate, North Site, Reader 10000001",
                        "{10} 08:05 Yard, South Site, Reader 10000002", kDoorHeading, kNone,
                        "End Of Report"}),
                &missing),
        qPrintable(missing + "\n" + lines.join('\n')));

    dialog.reject();
    QVERIFY(!TableExists("tblTempIncident"));
    QVERIFY(home->errorLog().isEmpty());
}

void tst_incidentreports::sitesDialogLists() {
    // Same name as an incident button: only the incident button is an event.
    gConn->Insert("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName) VALUES (?, "
                  "'00A003', 'Open Door')",
                  {groupId("North Site")});
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES ('10000003', '')");
    Host host;
    frmRptIncidentParam dialog(host);
    const auto entries = [&](const char* name) {
        QComboBox* list = Child<QComboBox>(dialog, name);
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->itemText(i) + "=" + list->itemData(i).toString();
        return out;
    };
    const QString window = QString::number(buttonId("Broken Window"));
    const QString door =
        QString::number(gConn->Query("SELECT ID FROM tblButtons WHERE tButtonCode = '00B002'")
                            .first()
                            .integer("ID"));
    QCOMPARE(entries("cboEvent"),
             QStringList({"All=-1", "Broken Window=" + window, "Open Door=" + door}));
    QCOMPARE(entries("cboSite"),
             QStringList({"All=-1", "North Site=" + QString::number(groupId("North Site")),
                          "South Site=" + QString::number(groupId("South Site"))}));
    // Keyed by position; an empty description is "Reader" and the position from 1.
    QCOMPARE(entries("cboReader"), QStringList({"All=-1", "Guard A=0", "Guard B=1", "Reader 3=2"}));
    for (const char* list : {"cboEvent", "cboReader", "cboSite"})
        QCOMPARE(Child<QComboBox>(dialog, list)->currentIndex(), 0);
    QCOMPARE(Child<QDateEdit>(dialog, "dtpStartDate")->date(), QDate::currentDate());
    QCOMPARE(Child<QTimeEdit>(dialog, "dtpStartTime")->time(), QTime(0, 0));
    QCOMPARE(Child<QTimeEdit>(dialog, "dtpEndTime")->time(), QTime(23, 59, 59));
}

void tst_incidentreports::sitesReportPrinted_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("English") << 0
                             << QStringList{"Incidents And Locations Report",
                                            "Event : All",
                                            "From: {10} 08:15",
                                            "Reader : All",
                                            "To: {10} 08:16",
                                            "Site : North Site",
                                            "Date / Time Reader Name Site Location Incident",
                                            "{10} 08:15 Guard A North Site Gate",
                                            "{10} 08:16 Guard A North Site Gate Broken Window",
                                            "End Of Report"};
    QTest::newRow("German") << 2
                            << QStringList{"Bericht Vorfälle und Standorte",
                                           "Ereignis : Alle",
                                           "Von: {10} 08:15",
                                           "Lesegerät : Alle",
                                           "Nach: {10} 08:16",
                                           "Objekt : North Site",
                                           "Datum / Uhrzeit Name des Lesegeräts Objekt Standort "
                                           "Vorfall",
                                           "{10} 08:15 Guard A North Site Gate",
                                           "{10} 08:16 Guard A North Site Gate Broken Window",
                                           "Ende des Berichts"};
}

// From the dialog: the minute bounds (second 0 of the start, second 59 of the end), the
// site filter against two readers interleaved, the printed page, a fresh table for a
// second preview and the table dropped when the dialog closes.
void tst_incidentreports::sitesReportPrinted() {
    QFETCH(int, language);
    QFETCH(QStringList, expected);
    home->openGlobals(language);
    touches({"A 10 08:14:59 yard", "A 10 08:15:00 gate", "B 10 08:15:30 yard",
             "B 10 08:16:00 window", "A 10 08:16:59 window", "A 10 08:17:00 window"});
    Host host;
    frmRptIncidentParam dialog(host);
    dialog.setWindowTitle("Incident Report with Sites");
    for (const char* name : {"dtpStartDate", "dtpEndDate"})
        Child<QDateEdit>(dialog, name)->setDate(QDate(2026, 3, 10));
    Child<QTimeEdit>(dialog, "dtpStartTime")->setTime(QTime(8, 15, 40));
    Child<QTimeEdit>(dialog, "dtpEndTime")->setTime(QTime(8, 16, 10));
    Child<QComboBox>(dialog, "cboSite")->setCurrentText("North Site");
    const QString pdf = home->file("sites.pdf");
    FileAnswers files({pdf});
    QStringList rows;
    QString title;
    QVERIFY(WithPreview([&] { dialog.cmdPrintPreview_Click(); },
                        [&](ReportPreview& preview) {
                            rows = tempIncidentRows();
                            title = preview.windowTitle();
                            QVERIFY(!QApplication::overrideCursor());
                            QVERIFY(preview.SaveAsPdf());
                        }));
    QCOMPARE(rows, expand(QStringList{"{10}|08:15|Guard A|North Site|Gate|",
                                      "{10}|08:16|Guard A|North Site|Gate|Broken Window"}));
    QCOMPARE(title, Translate("Incidents And Locations Report"));
    QString missing;
    const QStringList lines = PdfLines(pdf);
    QVERIFY2(inOrder(lines, expand(expected), &missing),
             qPrintable(missing + "\n" + lines.join('\n')));

    // The rows stay until the next preview, which starts from an empty table.
    QCOMPARE(tempIncidentRows().size(), 2);
    Child<QComboBox>(dialog, "cboSite")->setCurrentIndex(0);
    Child<QComboBox>(dialog, "cboReader")->setCurrentText("Guard B");
    QVERIFY(WithPreview([&] { dialog.cmdPrintPreview_Click(); },
                        [&](ReportPreview&) { rows = tempIncidentRows(); }));
    QCOMPARE(rows, expand(QStringList{"{10}|08:15|Guard B|South Site|Yard|",
                                      "{10}|08:16|Guard B|South Site|Yard|Broken Window"}));
    QVERIFY(!QApplication::overrideCursor());
    dialog.reject();
    QVERIFY(!TableExists("tblTempIncident"));
    QVERIFY(home->errorLog().isEmpty());
}

void tst_incidentreports::previewFailures_data() {
    QTest::addColumn<bool>("sites");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("boxShown");
    QTest::newRow("incident report: shown")
        << false << "cmdPrintPreview_Click of Form frmRptIncidentNew" << true;
    QTest::newRow("with sites: shown")
        << true << "cmdPrintPreview_Click of Form frmRptIncidentParam" << true;
}

void tst_incidentreports::previewFailures() {
    QFETCH(bool, sites);
    QFETCH(QString, label);
    QFETCH(bool, boxShown);
    Host host;
    std::unique_ptr<QDialog> dialog;
    if (sites)
        dialog = std::make_unique<frmRptIncidentParam>(host);
    else
        dialog = std::make_unique<frmRptIncidentNew>(host);
    gConn->Execute("DROP TABLE tblEvents");
    BoxRecorder boxes;
    boxes.answers << Boxes::AnswerOk;
    QVERIFY(!WithPreview([&] {
        if (sites)
            static_cast<frmRptIncidentParam*>(dialog.get())->cmdPrintPreview_Click();
        else
            static_cast<frmRptIncidentNew*>(dialog.get())->cmdPrintPreview_Click();
    }));
    QCOMPARE(boxes.boxes.size(), boxShown ? 1 : 0);
    if (boxShown)
        QVERIFY(boxes.boxes.first().text.contains(label));
    QVERIFY2(home->errorLog().contains(" in " + label + "\t(no such table: tblEvents"),
             qPrintable(home->errorLog()));
    QVERIFY(Child<QPushButton>(*dialog, "cmdPrintPreview")->isEnabled());
    QVERIFY(Child<QPushButton>(*dialog, "cmdCancel")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

TREVANO_TEST_MAIN(tst_incidentreports)
#include "tst_incidentreports.moc"
