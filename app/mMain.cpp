#include "mMain.h"

#include "mBackup.h"

#include "Boxes.h"
#include "BusyPointer.h"
#include "DatabaseKey.h"
#include "ProductName.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "frmLogin.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "mCompany.h"
#include "mDbUtil.h"
#include "mDeclareAPI.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mSupport.h"
#include "mTranslations.h"

#include "WriteProblem.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

namespace {
// clang-format off
const char* const kCannotWrite = TR_TEXT("The program cannot start: it cannot write in its folder %0:s.");
// clang-format on
} // namespace

InstanceLock TakeInstanceLock(QLockFile& lock, QString* reason) {
    lock.setStaleLockTime(0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (lock.tryLock(0))
            return InstanceLock::Taken;
        if (lock.error() != QLockFile::LockFailedError)
            break;
        qint64 pid = 0;
        QString host, application;
        // QLockFile has already replaced the lock of a process that is gone; what it could
        // read and kept belongs to a live copy.
        if (lock.getLockInfo(&pid, &host, &application))
            return InstanceLock::Running;
        if (attempt == 0) {
            // A copy starting this very moment may not have written its lock yet.
            QThread::msleep(200);
            continue;
        }
        // A running copy holds its lock file open and locked: that one cannot be removed.
        if (!lock.removeStaleLockFile() && QFileInfo(lock.fileName()).isFile() &&
            FolderWriteProblem(QFileInfo(lock.fileName()).absolutePath()).isEmpty())
            return InstanceLock::Running;
    }
    const QString folder = QFileInfo(lock.fileName()).absolutePath();
    QString why = FolderWriteProblem(folder);
    if (why.isEmpty())
        why = lock.error() == QLockFile::LockFailedError
                  ? QStringLiteral("%1 cannot be replaced").arg(lock.fileName())
                  : QStringLiteral("%1 cannot be written").arg(lock.fileName());
    if (reason)
        *reason = why;
    return InstanceLock::Failed;
}

StartUp::StartUp() = default;

StartUp::~StartUp() {
    if (formTranslator)
        QCoreApplication::removeTranslator(formTranslator.get());
}

void StartUp::prepareTranslator() {
    gLanguage = static_cast<qint16>(
        Settings::GetInt(QStringLiteral("Properties"), QStringLiteral("Language"), -1));
    gTranslator = std::make_unique<Translator>();
    gTranslator->CheckLevel = 2;
    gTranslator->FileName = ProgramFile(QStringLiteral("QX7.MLD"));
    gTranslator->language = gLanguage;
    try {
        gTranslator->Open();
    } catch (const AppError&) {
        FallBackToLanguage(1, QStringLiteral("Resetting to default system language..."));
    }
    formTranslator = std::make_unique<DictionaryQtTranslator>(*gTranslator);
    QCoreApplication::installTranslator(formTranslator.get());
}

bool StartUp::ADOTest(const QString& dbPath, const QString& password) {
    try {
        DbConnection test;
        test.Open(dbPath, password);
        // An empty or foreign database would let nobody in.
        if (!test.TableExists(QStringLiteral("tblOperators")))
            throw AppError(14, QStringLiteral("The file holds no database of this program"));
        return true;
    } catch (const AppError& e) {
        LogError(QStringLiteral("ADOTest Failed. Exiting...\r\nError #%1\r\n%2")
                     .arg(e.number)
                     .arg(e.description));
        Boxes::Show(ProductName(),
                    QStringLiteral("*** System Error: Cannot Open the database at ") + dbPath);
        return false;
    }
}

bool StartUp::ADOInit(const QString& dbPath, const QString& password) {
    try {
        gConn = OpenProgramDatabase(dbPath, password);
        return gConn->State() == DbConnection::StateOpen;
    } catch (const AppError& e) {
        gConn.reset();
        LogError(QStringLiteral("ADOInit Failed. Exiting...\r\nError #%1\r\n%2")
                     .arg(e.number)
                     .arg(e.description));
        Boxes::Show(
            ProductName(),
            QStringLiteral(
                "Cannot Open the database, please check that the database file is available."),
            Boxes::Icon::Critical);
        return false;
    }
}

void StartUp::CloseDown() {
    if (gConn)
        gConn->Close();
    gConn.reset();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        w->hide();
        w->close();
    }
}

int StartUp::Main(const QStringList& arguments) {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    try {
        if (arguments.mid(1).join(QLatin1Char(' ')).contains(QLatin1String("-debug")))
            LogError(program + QStringLiteral(" Started at ") + LogTimeStamp());
        prepareTranslator();
    } catch (const AppError& e) {
        LogError(QStringLiteral("Error in mMain, error handler and exit."));
        if (e.number > 0)
            HandleError(QStringLiteral("Main of Module mMain"), e, false);
        return 1;
    }

    instanceLock = std::make_unique<QLockFile>(ProgramFile(QStringLiteral("trevano.lock")));
    QString lockProblem;
    switch (TakeInstanceLock(*instanceLock, &lockProblem)) {
    case InstanceLock::Taken:
        break;
    case InstanceLock::Running:
        instanceLock.reset();
        Boxes::Show(ProductName(), QStringLiteral("The program is already running!"),
                    Boxes::Icon::Critical);
        return 0;
    case InstanceLock::Failed:
        instanceLock.reset();
        LogError(QStringLiteral("Cannot write the lock file trevano.lock in %1: %2")
                     .arg(ProgramFolder(), lockProblem));
        Boxes::Show(ProductName(),
                    Translator::FormatStr(Translate(QLatin1String(kCannotWrite)),
                                          {QDir::toNativeSeparators(ProgramFolder())}) +
                        QStringLiteral("\r\n") + lockProblem,
                    Boxes::Icon::Critical);
        return 1;
    }

    BusyPointer startUp; // until the login, where the operator types
    auto splash = std::make_unique<frmSplash>();
    splash->ShowVersion(Translator::FormatStr(Translate(QStringLiteral("%0:s - Version %1:s")),
                                              {GetProductTitle(), GetVersionString()}));
    splash->ShowMessage(Translate(QStringLiteral("Loading Application...")));
    splash->show();
    splash->repaint();

    splash->ShowMessage(Translate(QStringLiteral("Initializing Online Help...")));
    gHelpFile = ProgramFile(Translate(QStringLiteral("QX7_ENG.html")));
    if (!QFile::exists(gHelpFile))
        gHelpFile = ProgramFile(QStringLiteral("QX7_ENG.html"));
    if (!QFile::exists(gHelpFile))
        gHelpFile.clear();

    try {
        splash->ShowMessage(Translate(QStringLiteral("Opening Database...")));
        gDBPath = ProgramFile(QStringLiteral("main.mdb"));
        const QString tempPath = ProgramFile(QStringLiteral("temp.mdb"));
        gConnectString = QStringLiteral("Data Source=") + gDBPath;
        RemoveUnfinishedRestores(gDBPath);
        if (!ADOTest(gDBPath, DatabaseKey())) {
            LogError(QStringLiteral("ADOTest Failed. Exiting..."));
            return 1;
        }
        splash->ShowMessage(Translate(QStringLiteral("Compacting Database...")));
        // A VACUUM of a large file takes a while: the splash keeps painting meanwhile.
        CompactDatabase(gDBPath, tempPath, DatabaseKey(), [] {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        if (!ADOInit(gDBPath, DatabaseKey())) {
            LogError(QStringLiteral("ADOInit Failed. Exiting..."));
            return 1;
        }

        Sleep(2000);
        splash->repaint();
        splash->close();
        splash.reset();

        int result = Operator::None;
        startUp.Release();
        {
            frmLogin login;
            login.exec();
            result = login.LoginResult();
        }
        if (result == Operator::None) {
            CloseDown();
            return 0;
        }

        LogError(QStringLiteral("Logged in as user type = ") + QString::number(result));
        main = std::make_unique<frmMain>();
        main->setUserType(result);
        // Shown first, so that the connect dialog of the home page has its parent on screen.
        main->show();
        main->GoHome();
        gAutoSetTime =
            Settings::GetBool(QStringLiteral("Properties"), QStringLiteral("AutoSetTime"), true);
        LoadCompanyInfo();
        return -1;
    } catch (const AppError& e) {
        HandleError(QStringLiteral("Main of Module mMain"), e, true);
        CloseDown();
        return 1;
    }
}
