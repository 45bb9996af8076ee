// Renders the program's windows to PNG files for a look: screenshots OUT_FOLDER.
// Runs on a temporary program folder with a fresh database, and a simulated docking station in
// this process unless TREVANO_COM1 names a device.
#include "Boxes.h"
#include "Page.h"
#include "mLinkGlobals.h"

#include "DatabaseKey.h"
#include "DatabaseMaker.h"
#include "DockStation.h"
#include "DocumentsFolder.h"
#include "ReportDialogs.h"
#include "ReportFrame.h"
#include "ReportPreview.h"
#include "cSerialLink.h"
#include "cWorkProgress.h"
#include "database/frmWaitReport.h"
#include "frmAbout.h"
#include "frmAddButton.h"
#include "frmAddReader.h"
#include "frmCompany.h"
#include "frmCopyTour.h"
#include "frmDownload.h"
#include "frmEditButton.h"
#include "frmEditReader.h"
#include "frmEditTour.h"
#include "frmListEdit.h"
#include "frmLogin.h"
#include "frmMain.h"
#include "frmManualID.h"
#include "frmPrpComms.h"
#include "frmSetTime.h"
#include "frmSplash.h"
#include "frmUserMaintenance.h"
#include "hardware/frmRptHardwareListParam.h"
#include "incident/frmRptIncidentNew.h"
#include "incident_sites/frmRptIncidentParam.h"
#include "mButtons.h"
#include "mDbUtil.h"
#include "mDeclareAPI.h"
#include "mGlobals.h"
#include "mPacket.h"
#include "mTranslations.h"
#include "patrol/frmRptPatrolSchedule.h"
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTime>

namespace {
void shoot(QWidget& w, const QString& path) {
    w.show();
    // Layouts settle over a few turns of the event loop.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 100)
        QApplication::processEvents();
    w.grab().save(path);
}
// A short report on the generic report table, shown in the preview.
void shootReportPreview(const QString& path) {
    InitRptTmp();
    for (int i = 1; i <= 60; ++i)
        gConn->Execute("INSERT INTO tblReportTemp (Field0, Field1) VALUES (?, ?)",
                       {QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')),
                        QStringLiteral("Location %1").arg(i)});
    gCompanyInfo = {QString(), "ACME Security", "North Site", QString(), QString()};
    const ReportTexts texts = SharedReportTexts();
    ReportLayout layout;
    layout.caption = Translate("Hardware List Report");
    ReportSection& ph = layout.AddSection(ReportSection::PageHeader, "Section2", 2730);
    ph.AddLabel("lblPrintDate", {0, 0, 1140, 225}, ReportAlign::Left, false, texts.MyPrintDate);
    ph.AddLabel("lblPrinted", {1185, 0, 1600, 225}, ReportAlign::Left, false, "%d %t");
    ph.AddLabel("lblProduct", {2835, 0, 2835, 225}, ReportAlign::Center, false, texts.MyPageHeader);
    ph.AddLabel("lblPage", {6300, 0, 800, 225}, ReportAlign::Right, false, texts.MyPageNumber);
    ph.AddLabel("lblPages", {7185, 0, 1400, 225}, ReportAlign::Left, false, "%p / %P");
    ph.AddLabel("lblCompanyInfo", {570, 405, 7410, 735}, ReportAlign::Center, true, CompanyText())
        .codes = false; // printed as typed
    ph.AddLabel("lblReportTitle", {30, 1410, 8505, 645}, ReportAlign::Center, true, layout.caption)
        .font = ReportFont::Title();
    ph.AddLine("Line1", 0, 2700, 8595);
    ReportSection& detail = layout.AddSection(ReportSection::Detail, "Section1", 285);
    detail.AddField("Field0", "Field0", {0, 15, 1410, 240});
    detail.AddField("Field1", "Field1", {1500, 15, 3195, 240});
    ReportSection& footer = layout.AddSection(ReportSection::ReportFooter, "Section5", 870);
    footer.AddLine("Line2", 0, 0, 8640);
    footer.AddLabel("lblEnd", {3180, 480, 2880, 240}, ReportAlign::Center, false,
                    texts.EndOfReport);
    layout.datePattern = GetShortDateFormat();
    ReportTableSource rows(*gConn, "tblReportTemp");
    ReportDocument report(layout, rows);
    report.Paginate();
    ReportPreview preview(report);
    preview.resize(900, 700);
    preview.SetZoom(ReportPageView::PageWidth);
    shoot(preview, path);
    preview.close();
}

// Texts at the length limits of names (25) and of descriptions and company lines (50), each
// of a different width, to see that every box shows them whole.
const char* const kLimitNames[] = {"Wachschutz Müller, Tor 12", "WWM Warenannahme Mitte 14"};
const char* const kLimitLines[] = {"Sicherheitsdienst Müller & Söhne GmbH, Hauptstr. 1",
                                   "Wachschutz Nord GmbH & Co. KG, Industriestraße 147",
                                   "Notruf 0800 123 45 67, Zentrale: 040 987 654 32 10",
                                   "Objektschutz · Revierdienst · Alarmverfolgung 24/7"};

void fillToLimits(QWidget& form) {
    if (auto* name = form.findChild<QLineEdit*>(QStringLiteral("txtName")))
        name->setText(QString::fromUtf8(kLimitNames[0]));
    if (auto* desc = form.findChild<QLineEdit*>(QStringLiteral("txtDesc")))
        desc->setText(QString::fromUtf8(kLimitLines[1]));
}

void shootCompanyAtLimits(const QDir& out) {
    frmCompany company;
    for (int i = 0; i < 4; ++i)
        company.findChild<QLineEdit*>(QStringLiteral("txtLine_%1").arg(i))
            ->setText(QString::fromUtf8(kLimitLines[i]));
    shoot(company, out.filePath("company-limits.png"));
}

void shootEditorsAtLimits(frmMain& main, const QDir& out, qint64 site, qint64 tour) {
    frmEditTour tourEditor(&main);
    tourEditor.setGroupID(tour);
    tourEditor.setTolerance(5);
    tourEditor.setListName(QString::fromUtf8(kLimitNames[1]));
    tourEditor.setListDesc(QString::fromUtf8(kLimitLines[2]));
    tourEditor.setStartTime(QTime(22, 30));
    tourEditor.Populate();
    shoot(tourEditor, out.filePath("touredit-limits.png"));
    tourEditor.reject();
    frmListEdit group(main.Link(), &main);
    group.setID(site);
    group.setItemType(1);
    group.setListName(QString::fromUtf8(kLimitNames[1]));
    group.setListDesc(QString::fromUtf8(kLimitLines[3]));
    group.Update();
    shoot(group, out.filePath("groupeditor-limits.png"));
    group.reject();
    frmEditButton button(&main);
    button.SetCaption(Translate("Add New Location"));
    button.SetIcon("locations");
    fillToLimits(button);
    shoot(button, out.filePath("editbutton-limits.png"));
    button.reject();
    frmAddButton add(main.Link(), &main);
    add.SetIcon("locations");
    add.setWindowTitle(Translate("Add New Location"));
    fillToLimits(add);
    shoot(add, out.filePath("addbutton-limits.png"));
    add.reject();
    frmAddReader addReader(main.Link(), &main);
    fillToLimits(addReader);
    shoot(addReader, out.filePath("addreader-limits.png"));
    addReader.reject();
    frmEditReader editReader(&main);
    fillToLimits(editReader);
    shoot(editReader, out.filePath("editreader-limits.png"));
    editReader.reject();
}

// Lists at their limits: names of 25 characters with wide letters in them, descriptions of 50,
// IDs of their widest digits, dates and times of two digits each. Keys of these codes are
// touched by the reader of startDockAtTheLimits.
const char* const kLimitCodes[] = {"D8D0DB", "DB0D8D", "DDB0D8"};
const QString kLimitDescription =
    QStringLiteral("Walk the west warehouse and the main gate at night");

void addRowsAtTheirLimits() {
    const qint64 site = gConn->Insert(
        "INSERT INTO tblListItems (tName, tDesc, wType) VALUES ('Warehouse West Main Gates', ?, 1)",
        {kLimitDescription});
    const qint64 book = gConn->Insert(
        "INSERT INTO tblListItems (tName, tDesc, wType) VALUES ('Maintenance Work Messages', ?, 2)",
        {kLimitDescription});
    const char* const names[] = {"Warehouse West Loading 12", "Mower Workshop Window M12",
                                 "Window Damage Warning MW1"};
    for (int i = 0; i < 3; ++i)
        gConn->Execute("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                       "VALUES (?, ?, ?, ?)",
                       {i < 2 ? site : book, QString::fromLatin1(kLimitCodes[i]),
                        QString::fromLatin1(names[i]), kLimitDescription});
    gConn->Execute("INSERT INTO tblTours (tName, tDesc, iTolerance, dtStartTime) "
                   "VALUES ('Weekend Warehouse Morning', ?, 5, '23:58:00')",
                   {kLimitDescription});
    gConn->Execute("INSERT INTO tblReaders VALUES ('8D0DB0DD', ?)", {kLimitDescription});
}

// A docking station in this process when no device is named, its reader holding touches of the
// keys above: the download page then shows a download's rows.
std::unique_ptr<DockStation> startDockAtTheLimits() {
    auto dock = std::make_unique<DockStation>();
    if (!dock->start())
        return nullptr;
    QVector<DockStation::Touch> touches;
    for (int i = 0; i < 16; ++i)
        touches.append({DockStation::WallClock(QDate(2026, 10 + i / 6, 28), QTime(8 + i, 58)),
                        QString::fromLatin1(kLimitCodes[i % 3])});
    dock->setLog(touches);
    qputenv("TREVANO_COM1", dock->devicePath().toUtf8());
    return dock;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("TREVANO_HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath("config").toUtf8());
    QApplication app(argc, argv);
    const QDir out(app.arguments().value(1, "."));
    const QDir program(QStringLiteral(TREVANO_PROGRAM_FOLDER));
    for (const QString& f : program.entryList(QDir::Files))
        if (f != "main.mdb")
            QFile::copy(program.filePath(f), QDir(home.path()).filePath(f));
    MakeDeliveredDatabase(QDir(home.path()).filePath("main.mdb"));
    const int language = app.arguments().value(2, "0").toInt();
    gTranslator = std::make_unique<Translator>();
    gTranslator->FileName = QDir(home.path()).filePath("QX7.MLD");
    gTranslator->language = language;
    gTranslator->Open();
    DictionaryQtTranslator forms(*gTranslator);
    QApplication::installTranslator(&forms);
    gConn = OpenProgramDatabase(QDir(home.path()).filePath("main.mdb"), DatabaseKey());

    frmSplash splash;
    splash.ShowVersion(Translator::FormatStr(Translate("%0:s - Version %1:s"),
                                             {GetProductTitle(), GetVersionString()}));
    splash.ShowMessage(Translate("Opening Database..."));
    shoot(splash, out.filePath("splash.png"));
    splash.close();
    frmLogin login;
    shoot(login, out.filePath("login.png"));
    login.close();
    Boxes::SetBoxHandler([](const Boxes::Box& b) { return Boxes::DefaultAnswer(b.buttons); });
    std::unique_ptr<DockStation> dock;
    if (qEnvironmentVariableIsEmpty("TREVANO_COM1"))
        dock = startDockAtTheLimits(); // a simulator's device may be given instead
    if (qEnvironmentVariableIsEmpty("TREVANO_COM1"))
        qputenv("TREVANO_COM1", "/nonexistent");
    frmMain main;
    main.setUserType(app.arguments().value(3, "1").toInt());
    main.show();
    main.GoHome();
    shoot(main, out.filePath("main.png"));
    const QSize defaultSize = main.size();
    main.resize(main.minimumSize()); // the smallest the window lets itself be made
    shoot(main, out.filePath("main-smallest.png"));
    main.resize(defaultSize);
    frmAbout about;
    about.Populate();
    shoot(about, out.filePath("about.png"));
    {
        cWorkProgress progress(Translate(QStringLiteral("Archiving events")), &main);
        progress.Stage(Translator::FormatStr(
                           Translate(QStringLiteral("Writing the events to %0:s: %1:s of %2:s")),
                           {QStringLiteral("Archive2025-01-01_to_2025-12-31.csv"),
                            QStringLiteral("1,234,500"), QStringLiteral("3,650,000")}),
                       3650000, true);
        progress.Step(1234500);
        if (QWidget* dialog = QApplication::activeModalWidget())
            shoot(*dialog, out.filePath("progress.png"));
    }
    {
        // Qt's own dialogs follow the language too.
        QFileDialog files(&main, Translate(QStringLiteral("Save as PDF")), DocumentsFolder(),
                          Translate(QStringLiteral("PDF Files (*.pdf)")));
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setAcceptMode(QFileDialog::AcceptSave);
        shoot(files, out.filePath("filedialog.png"));
    }
    frmCompany company;
    shoot(company, out.filePath("company.png"));
    shootCompanyAtLimits(out);
    frmUserMaintenance users;
    users.FormStart(1);
    shoot(users, out.filePath("users.png"));
    frmSetTime options(main.Link());
    shoot(options, out.filePath("readeroptions.png"));
    options.reject();
    frmPrpComms ports;
    ports.comPort = 3;
    ports.Populate();
    shoot(ports, out.filePath("ports.png"));
    ports.reject();
    frmDownload download(main.Link());
    shoot(download, out.filePath("downloadwindow.png"));
    download.reject();
    addRowsAtTheirLimits();
    main.GoOnline();
    if (auto* cmdDownload = main.CurrentPage()->findChild<QPushButton*>("cmdOnline_0");
        cmdDownload && gDocked)
        cmdDownload->click();
    shoot(main, out.filePath("downloadpage.png"));

    // The setup page with a small site.
    const qint64 gates = gConn->Insert(
        "INSERT INTO tblListItems (tName, tDesc, wType) VALUES ('Main Gate', 'North entrance', 1)");
    gConn->Execute("INSERT INTO tblListItems (tName, tDesc, wType) VALUES ('Warehouse', '', 1)");
    gConn->Execute("INSERT INTO tblListItems (tName, tDesc, wType) VALUES ('Incidents', '', 2)");
    gConn->Execute("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName) "
                   "VALUES (?, '00A1B2', 'Gate')",
                   {gates});
    const qint64 night =
        gConn->Insert("INSERT INTO tblTours (tName, tDesc, iTolerance, dtStartTime) "
                      "VALUES ('Night round', 'Every building', 5, '22:30:00')");
    gConn->Execute("INSERT INTO tblTourPoints (lParentID, lIndex, dtTime, tButtonCode) "
                   "VALUES (?, 1, '00:00:00', '00A1B2')",
                   {night});
    // A name at its length limit, to see that it shows whole.
    gConn->Execute("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                   "VALUES (?, '00A1B3', 'Warehouse West Loading 12', 'Ramp')",
                   {gates});
    gConn->Execute("INSERT INTO tblTourPoints (lParentID, lIndex, dtTime, tButtonCode) "
                   "VALUES (?, 2, '00:15:00', '00A1B3')",
                   {night});
    gConn->Execute("INSERT INTO tblTours (tName, tDesc) VALUES ('Day round', ' ')");
    gConn->Execute("INSERT INTO tblReaders VALUES ('0012A4F0', 'Reader 1')");
    main.GoSetup();
    auto* tabs = main.CurrentPage()->findChild<QTabWidget*>("tabSetup");
    const char* setupShots[] = {"setup-sites.png", "setup-events.png", "setup-tours.png",
                                "setup-readers.png"};
    for (int i = 0; i < 4; ++i) {
        tabs->setCurrentIndex(i);
        shoot(main, out.filePath(setupShots[i]));
    }
    frmCopyTour copy(&main);
    shoot(copy, out.filePath("tourcopy.png"));
    copy.reject();
    frmEditTour editor(&main);
    editor.setGroupID(night);
    editor.setTolerance(5);
    editor.setListName("Night round");
    editor.setListDesc("Every building");
    editor.setStartTime(QTime(22, 30));
    editor.setExistingNames({"Day round", "Night round"});
    editor.Populate();
    shoot(editor, out.filePath("touredit.png"));
    editor.reject();

    // The group editor and the dialogs of buttons and readers.
    gConn->Execute("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                   "VALUES (?, '12AB3F', 'Loading bay', 'East wall')",
                   {gates});
    frmListEdit group(main.Link(), &main);
    group.setID(gates);
    group.setItemType(1);
    group.setListName("Main Gate");
    group.setListDesc("North entrance");
    group.Update();
    shoot(group, out.filePath("groupeditor.png"));
    group.reject();
    for (const char* code : {"0000F1", "00A1B2"}) {
        frmAddButton add(main.Link(), &main);
        add.SetIcon("locations");
        add.setWindowTitle(Translate("Add New Location"));
        // A key touched to the reader: its ID least significant byte first.
        QByteArray data = QByteArray::fromHex("2400");
        const QByteArray id = QByteArray::fromHex(code);
        for (int i = id.size() - 1; i >= 0; --i)
            data.append(id.at(i));
        main.Link().InBuffer().Append(BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, data));
        add.tmrGetID_Timer();
        shoot(add, out.filePath(QStringLiteral("addbutton-%1.png").arg(code)));
        add.reject();
    }
    frmManualID manual(&main);
    shoot(manual, out.filePath("manualid.png"));
    manual.reject();
    frmEditButton editButton(&main);
    editButton.SetCaption(Translate("Add New Location"));
    editButton.SetIcon("locations");
    editButton.setEditName("Loading bay");
    editButton.setDesc("East wall");
    shoot(editButton, out.filePath("editbutton.png"));
    editButton.reject();
    frmAddReader addReader(main.Link(), &main);
    addReader.setDesc("Reader 2");
    shoot(addReader, out.filePath("addreader.png"));
    addReader.reject();
    frmEditReader editReader(&main);
    editReader.setDesc("Reader 1");
    shoot(editReader, out.filePath("editreader.png"));
    editReader.reject();
    shootEditorsAtLimits(main, out, gates, night);
    main.GoReports();
    shoot(main, out.filePath("reportspage.png"));
    shootReportPreview(out.filePath("preview.png"));
    // The incident reports' choices, with an incident button to choose.
    gConn->Execute("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                   "SELECT ID, '00B001', 'Broken Window', 'Glass broken' FROM tblListItems "
                   "WHERE wType = 2 AND tName = 'Incidents'");
    frmRptIncidentNew incidents(main);
    incidents.setWindowTitle(Translate("Incident Report"));
    shoot(incidents, out.filePath("incidentreport.png"));
    incidents.reject();
    frmRptIncidentParam incidentSites(main);
    incidentSites.setWindowTitle(Translate("Incident Report with Sites"));
    shoot(incidentSites, out.filePath("incidentsites.png"));
    incidentSites.reject();
    frmRptPatrolSchedule patrol(main);
    patrol.setWindowTitle(Translate("Patrol Schedule"));
    shoot(patrol, out.filePath("patrolschedule.png"));
    patrol.reject();
    frmRptHardwareListParam hardware(main);
    hardware.setWindowTitle(Translate("Hardware List Report"));
    shoot(hardware, out.filePath("hardwarelist.png"));
    hardware.reject();
    const char* const reports[][3] = {
        {"ReaderReport", "Reader Download Report", "readerreport.png"},
        {"CustomReport", "Database Report", "customreport.png"}};
    for (const auto& r : reports) {
        const std::unique_ptr<QDialog> dialog = ReportDialogFor(r[0])(main, Translate(r[1]));
        shoot(*dialog, out.filePath(r[2]));
    }
    frmWaitReport wait;
    shoot(wait, out.filePath("waitreport.png"));
    wait.reject();
    main.close();
    return 0;
}
