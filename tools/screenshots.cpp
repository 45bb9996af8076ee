// Renders the program's windows to PNG files for a look: screenshots OUT_FOLDER.
// Runs on a temporary program folder with a fresh database.
#include "Boxes.h"
#include "Page.h"
#include "mLinkGlobals.h"

#include "DatabaseKey.h"
#include "DatabaseMaker.h"
#include "cWorkProgress.h"
#include "frmAbout.h"
#include "frmCompany.h"
#include "frmDownload.h"
#include "frmLogin.h"
#include "frmMain.h"
#include "frmPrpComms.h"
#include "frmSetTime.h"
#include "frmSplash.h"
#include "frmUserMaintenance.h"
#include "mGlobals.h"
#include "mTranslations.h"
#include <QPushButton>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

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
    gConn = std::make_unique<DbConnection>();
    gConn->Open(QDir(home.path()).filePath("main.mdb"), DatabaseKey());

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
    if (qEnvironmentVariableIsEmpty("TREVANO_COM1"))
        qputenv("TREVANO_COM1", "/nonexistent"); // a simulator's device may be given instead
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
    frmCompany company;
    shoot(company, out.filePath("company.png"));
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
    main.GoOnline();
    if (auto* download = main.CurrentPage()->findChild<QPushButton*>("cmdOnline_0");
        download && gDocked)
        download->click();
    shoot(main, out.filePath("downloadpage.png"));
    main.close();
    return 0;
}
