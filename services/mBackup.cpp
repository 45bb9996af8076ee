#include "mBackup.h"

#include "Boxes.h"
#include "DatabaseKey.h"
#include "FileSync.h"
#include "ProductName.h"
#include "mDbUtil.h"
#include "mDeclareAPI.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mSupport.h"

#include "cWorkProgress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>
#include <cstdio>
#include <sqlite3.h>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
// The mark the program's database carries (PRAGMA user_version).
constexpr qint64 kSchemaVersion = 1;

// clang-format off
// Kept whole on one line each: the dictionary is keyed by these texts.
const char* const kBackupDone = TR_TEXT("Successfully copied the database to :");
const char* const kNotFound = TR_TEXT("That filename cannot be found. Please choose another filename");
const char* const kDatabaseInUse = TR_TEXT("That file is the database in use. Please choose a backup file");
const char* const kNotABackup = TR_TEXT("That file is not a backup database of this program. Please choose another filename");
const char* const kRestoreWarning = TR_TEXT("Warning: This action will delete the existing database. You will loose ALL data in the existing database.");
const char* const kContinue = TR_TEXT("Are you sure you want to continue?");
const char* const kRestoreDone = TR_TEXT("Successfully copied the database");
const char* const kFrom = TR_TEXT("From:");
const char* const kTo = TR_TEXT("To:");
const char* const kWillClose = TR_TEXT("Warning : The program will now close.");
const char* const kRestart = TR_TEXT("Please restart the program to continue.");
const char* const kBackupTitle = TR_TEXT("Backing up the database");
const char* const kBackupCopying = TR_TEXT("Copying the database to %0:s...");
const char* const kChecking = TR_TEXT("Checking %0:s...");
const char* const kRestoreTitle = TR_TEXT("Restoring the database");
const char* const kRestoreCopying = TR_TEXT("Copying %0:s...");
const char* const kLost = TR_TEXT("The database could not be put back and opened again. The program will now close.");
// clang-format on

QString text(const char* english) {
    return Translate(QLatin1String(english));
}

void warn(const char* english) {
    gTranslator->IvMessageBox(QLatin1String(english), QString(), IvBox::Warning, IvBox::Ok, 0);
}
const QString kBackupLabel = QStringLiteral("frmMain::GoBackup");
const QString kRestoreLabel = QStringLiteral("frmMain::GoRestore");

struct TableColumns {
    const char* table;
    const char* columns;
};

// The seven permanent tables and the columns the program reads and writes.
const TableColumns kProgramTables[] = {
    {"tblListItems", "ID, tName, tDesc, wType"},
    {"tblButtons", "ID, lParentID, tButtonCode, tButtonName, tButtonDesc"},
    {"tblReaders", "tReaderId, tDescription"},
    {"tblTours", "ID, tName, tDesc, iTolerance, dtStartTime"},
    {"tblTourPoints", "ID, lParentID, lIndex, dtTime, tButtonCode"},
    {"tblEvents", "ID, dtDLDateTime, dtDateTime, tButtonCode, tButtonName, tButtonDesc, "
                  "wGroupType, tGroupName, tGroupDesc, tPipeID"},
    {"tblOperators", "LoginName, Password"},
};

// Row counts of every table, and the autonumber counters, so that a copy that lost rows or
// would hand out used IDs again is caught.
QStringList contentSummary(DbConnection& db, const QString& schema) {
    QStringList summary;
    const DbRows tables = db.Query(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = "
                                                  "'table' ORDER BY name")
                                       .arg(schema));
    for (const DbRow& t : tables) {
        const QString name = t.text(QStringLiteral("name"));
        const qint64 n =
            db.Query(
                  QStringLiteral("SELECT count(*) AS n FROM %1.%2").arg(schema, DbQuotedName(name)))
                .first()
                .integer(QStringLiteral("n"));
        summary << name + QLatin1Char('=') + QString::number(n);
        if (name == QLatin1String("sqlite_sequence"))
            for (const DbRow& s : db.Query(QStringLiteral("SELECT name, seq FROM "
                                                          "%1.sqlite_sequence ORDER BY name")
                                               .arg(schema)))
                summary << s.text(QStringLiteral("name")) + QLatin1Char('#') +
                               s.text(QStringLiteral("seq"));
    }
    return summary;
}

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// After a replace that failed the old file is still whole: the program carries on with it,
// or, when even that does not open, says so and must end.
bool reopenDatabase(const AppError& replaceError) {
    try {
        gConn = OpenProgramDatabase(gDBPath, DatabaseKey());
        return true;
    } catch (const AppError& e) {
        gConn.reset();
        LogError(QStringLiteral("Restore: the database %1 could not be replaced (%2) nor opened "
                                "again (%3)")
                     .arg(gDBPath, replaceError.description, e.description));
        Boxes::Show(ProductName(),
                    text(kLost) + kCrLf + kCrLf + replaceError.description + kCrLf + e.description,
                    Boxes::Icon::Critical);
        return false;
    }
}

// Lets the observer show a stage of work whose end is unknown, and stop it.
std::function<bool()> keepAliveOf(WorkObserver* observer) {
    if (!observer)
        return {};
    return [observer] { return observer->Step(0); };
}

// Calls `handler` from inside a long statement: at once, then every 50 ms or so.
std::function<bool()> throttled(std::function<bool()> handler) {
    auto clock = std::make_shared<QElapsedTimer>();
    return [clock, handler] {
        if (!handler || (clock->isValid() && clock->elapsed() < 50))
            return true;
        clock->start();
        return handler();
    };
}

// Between the steps of the work: the user's Cancel stops it there too.
void stopIfCancelled(WorkObserver* observer, qint64 done) {
    if (observer && !observer->Step(done))
        throw AppError(SQLITE_INTERRUPT, QStringLiteral("Stopped by the user"));
}

bool isInterrupt(const AppError& e) {
    return e.number == SQLITE_INTERRUPT; // the user stopped the work
}

DbConnection& openConnection() {
    if (!gConn || !gConn->IsOpen())
        throw AppError(AppError::InvalidCall, QStringLiteral("The database is not open"));
    return *gConn;
}

} // namespace

QString DefaultBackupFileName(const QDate& day) {
    return QStringLiteral("QX_Backup_") + day.toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(".mdb");
}

bool IsProgramDatabase(const QString& path, const QString& key, QString* why,
                       const std::function<bool()>& keepAlive) {
    try {
        DbConnection db;
        db.Open(path, key);
        DbProgress progress(db, throttled(keepAlive));
        const DbRows check = db.Query(QStringLiteral("PRAGMA quick_check"));
        if (check.isEmpty() ||
            check.first().value(check.columnNames().first()).toString() != QLatin1String("ok"))
            throw AppError(AppError::InvalidValue, QStringLiteral("The file is damaged"));
        for (const TableColumns& t : kProgramTables)
            db.Query(QStringLiteral("SELECT %1 FROM %2 LIMIT 0")
                         .arg(QLatin1String(t.columns), QLatin1String(t.table)));
        // A copy cut short holds the tables but not the mark the finished copy gets last.
        if (db.Query(QStringLiteral("PRAGMA user_version"))
                .first()
                .integer(QStringLiteral("user_version")) != kSchemaVersion)
            throw AppError(AppError::InvalidValue,
                           QStringLiteral("The file does not carry the program's schema mark"));
        // Without both operators nobody could log in as before.
        if (db.Query(QStringLiteral("SELECT count(DISTINCT upper(LoginName)) AS n FROM "
                                    "tblOperators WHERE upper(LoginName) IN ('MASTER', 'USER')"))
                .first()
                .integer(QStringLiteral("n")) != 2)
            throw AppError(AppError::InvalidValue,
                           QStringLiteral("The file does not hold both operators"));
        return true;
    } catch (const AppError& e) {
        if (why)
            *why = e.description;
        return false;
    }
}

void BackupDatabase(DbConnection& conn, const QString& target, const QString& key,
                    WorkObserver* observer) {
    // An existing file of the chosen name is left alone.
    if (QFileInfo::exists(target))
        throw AppError(AppError::FileExists,
                       QStringLiteral("Cannot create %1: %2").arg(target, SystemReason(EEXIST)));
    RemoveStaleParts(target);
    // Written under a name of its own and renamed only when whole: a backup that was cut
    // short is never found under the chosen name.
    QString part;
    {
        QFile created;
        for (int attempt = 0; attempt < 16 && part.isEmpty(); ++attempt) {
            created.setFileName(PartFileName(target));
            if (created.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                part = created.fileName();
            else if (!created.exists())
                break;
        }
        if (part.isEmpty())
            throw AppError(AppError::PathError, QStringLiteral("Cannot create a file beside %1: %2")
                                                    .arg(target, created.errorString()));
        created.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        created.close();
    }

    bool attached = false;
    try {
        // The copy holds the pages in use: its size shows how far the export is.
        const qint64 pageSize = conn.Query(QStringLiteral("PRAGMA page_size"))
                                    .first()
                                    .integer(QStringLiteral("page_size"));
        const qint64 pages = conn.Query(QStringLiteral("PRAGMA page_count"))
                                 .first()
                                 .integer(QStringLiteral("page_count")) -
                             conn.Query(QStringLiteral("PRAGMA freelist_count"))
                                 .first()
                                 .integer(QStringLiteral("freelist_count"));
        if (observer)
            observer->Stage(
                Translator::FormatStr(text(kBackupCopying), {QFileInfo(target).fileName()}),
                pages * pageSize, true);
        conn.Execute(QStringLiteral("ATTACH DATABASE ? AS backup KEY ?"), {part, key});
        attached = true;
        {
            DbProgress progress(conn, throttled([observer, &part] {
                                    return !observer || observer->Step(QFileInfo(part).size());
                                }));
            conn.Query(QStringLiteral("SELECT sqlcipher_export('backup')"));
            stopIfCancelled(observer, QFileInfo(part).size());
            const qint64 version = conn.Query(QStringLiteral("PRAGMA main.user_version"))
                                       .first()
                                       .integer(QStringLiteral("user_version"));
            conn.ExecuteScript(QStringLiteral("PRAGMA backup.user_version = %1;").arg(version));
            if (observer)
                observer->Stage(
                    Translator::FormatStr(text(kChecking), {QFileInfo(target).fileName()}), 0,
                    true);
            const QStringList original = contentSummary(conn, QStringLiteral("main"));
            const QStringList copy = contentSummary(conn, QStringLiteral("backup"));
            stopIfCancelled(observer, 0);
            if (copy != original)
                throw AppError(
                    AppError::InvalidValue,
                    QStringLiteral("The backup differs from the database: %1 against %2")
                        .arg(copy.join(QLatin1Char(' ')), original.join(QLatin1Char(' '))));
        }
        conn.ExecuteScript(QStringLiteral("DETACH DATABASE backup;"));
        attached = false;

        QString why;
        const bool opens = IsProgramDatabase(part, key, &why, keepAliveOf(observer));
        stopIfCancelled(observer, 0);
        if (!opens)
            throw AppError(AppError::InvalidValue,
                           QStringLiteral("The backup does not open: %1").arg(why));
        {
            QFile written(part);
            if (!written.open(QIODevice::ReadWrite) || !SyncToDisk(written.handle(), &why))
                throw AppError(AppError::PathError,
                               QStringLiteral("Cannot flush %1: %2")
                                   .arg(part, why.isEmpty() ? written.errorString() : why));
        }
        if (!RenameNoReplace(part, target, &why))
            throw AppError(QFileInfo::exists(target) ? AppError::FileExists : AppError::PathError,
                           QStringLiteral("Cannot rename %1 to %2: %3").arg(part, target, why));
        const QString folder = QFileInfo(target).absolutePath();
        if (!SyncFolder(folder, &why))
            LogError(QStringLiteral("Cannot flush %1: %2").arg(folder, why));
    } catch (const AppError&) {
        if (attached) {
            try {
                conn.ExecuteScript(QStringLiteral("DETACH DATABASE backup;"));
            } catch (const AppError&) {
            }
        }
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
        throw;
    }
}

StagedRestore StageRestore(const QString& source, const QString& dbPath, const QString& key,
                           WorkObserver* observer) {
    StagedRestore result;
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        throw AppError(AppError::PathError,
                       QStringLiteral("Cannot read %1: %2").arg(source, from.errorString()));
    // A name of its own, made here: whatever the user chose is only ever read.
    QTemporaryFile staged(dbPath + QStringLiteral(".restore-XXXXXX"));
    if (!staged.open())
        throw AppError(
            AppError::PathError,
            QStringLiteral("Cannot create a file beside %1: %2").arg(dbPath, staged.errorString()));
    const QString stagedPath = staged.fileName();
    if (observer)
        observer->Stage(
            Translator::FormatStr(text(kRestoreCopying), {QFileInfo(source).fileName()}),
            from.size(), true);
    QByteArray chunk;
    qint64 copied = 0;
    for (;;) {
        chunk = from.read(1024 * 1024);
        if (chunk.isEmpty()) {
            if (from.error() != QFileDevice::NoError)
                throw AppError(
                    AppError::PathError,
                    QStringLiteral("Cannot read %1: %2").arg(source, from.errorString()));
            break;
        }
        QString why;
        if (!WriteAll(staged.handle(), chunk.constData(), chunk.size(), &why))
            throw AppError(AppError::PathError,
                           QStringLiteral("Cannot write %1: %2").arg(stagedPath, why));
        copied += chunk.size();
        if (observer && !observer->Step(copied)) {
            result.cancelled = true;
            return result; // the temporary file goes with `staged`
        }
    }
    // On the disk before it may take the database's place.
    QString why;
    if (!SyncToDisk(staged.handle(), &why))
        throw AppError(AppError::PathError,
                       QStringLiteral("Cannot flush %1: %2").arg(stagedPath, why));
    staged.close();
    // A read-only backup still restores to a database the program can write.
    QFile::setPermissions(stagedPath, QFile::ReadOwner | QFile::WriteOwner);

    if (observer)
        observer->Stage(Translator::FormatStr(text(kChecking), {QFileInfo(source).fileName()}), 0,
                        true);
    const bool opens = IsProgramDatabase(stagedPath, key, &result.why, keepAliveOf(observer));
    if (observer && !observer->Step(0)) {
        QFile::remove(stagedPath);
        result.why.clear();
        result.cancelled = true;
        return result;
    }
    if (!opens) {
        QFile::remove(stagedPath);
        LogError(QStringLiteral("Restore refused %1: %2").arg(source, result.why));
        return result;
    }
    staged.setAutoRemove(false);
    result.path = stagedPath;
    return result;
}

void RemoveUnfinishedRestores(const QString& dbPath) {
    // The names StageRestore's temporary file takes.
    for (const QString& kept : RemoveLeftovers(dbPath, QStringLiteral("\\.restore-[A-Za-z0-9]{6}")))
        LogError(QStringLiteral("Cannot remove the unfinished restore %1")
                     .arg(QDir::toNativeSeparators(kept)));
}

void ReplaceDatabase(const QString& staged, const QString& dbPath) {
    for (const char* suffix : {"-journal", "-wal"})
        if (QFile::exists(dbPath + QLatin1String(suffix)))
            throw AppError(AppError::PermissionDenied,
                           QStringLiteral("The database is still in use: %1%2 exists")
                               .arg(dbPath, QLatin1String(suffix)));
    // One rename: the old file stays whole until the new one is in its place.
    if (std::rename(QFile::encodeName(staged).constData(), QFile::encodeName(dbPath).constData()) !=
        0)
        throw AppError(AppError::PathError,
                       QStringLiteral("Cannot replace %1: %2").arg(dbPath, SystemReason()));
    // The rename itself reaches the disk. It has happened: a failure here is only logged.
    const QString folder = QFileInfo(dbPath).absolutePath();
    QString why;
    if (!SyncFolder(folder, &why))
        LogError(QStringLiteral("Cannot flush %1: %2").arg(folder, why));
}

// The file dialog of backup and restore: database files, starting in the documents folder.
static Boxes::FileDialog databaseFileDialog(bool save, const QString& title) {
    Boxes::FileDialog dialog;
    dialog.save = save;
    dialog.title = title;
    dialog.folder = GetMyDocumentsPath();
    dialog.filter = QStringLiteral("Database Files (*.mdb)");
    dialog.defaultSuffix = QStringLiteral("mdb");
    return dialog;
}

void RunBackup(QWidget* parent) {
    try {
        DbConnection& conn = openConnection();
        Boxes::FileDialog dialog =
            databaseFileDialog(true, Translate(QStringLiteral("Select backup destination")));
        dialog.fileName = DefaultBackupFileName(QDate::currentDate());
        const QString target = ChooseNewFileName(dialog);
        if (target.isEmpty())
            return;
        {
            cWorkProgress progress(text(kBackupTitle), parent);
            try {
                BackupDatabase(conn, target, DatabaseKey(), &progress);
            } catch (const AppError& e) {
                if (isInterrupt(e) && progress.Cancelled())
                    return; // stopped by the user: no file, nothing to report
                throw;
            }
        }
        const QString done = text(kBackupDone) + kCrLf + target;
        gTranslator->IvMessageBox(done, QString(), IvBox::Information, IvBox::Ok, 0);
    } catch (const AppError& e) {
        HandleError(kBackupLabel, e, true);
    }
}

RestoreOutcome RunRestore(QWidget* parent) {
    QString staged;
    try {
        openConnection();
        const Boxes::FileDialog dialog = databaseFileDialog(
            false, Translate(QStringLiteral("Select location of backup database file")));
        QString source;
        while (staged.isEmpty()) {
            source = Boxes::GetFileName(dialog);
            if (source.isEmpty())
                return RestoreOutcome::NotRestored;
            if (!QFileInfo::exists(source)) {
                warn(kNotFound);
            } else if (sameFile(source, gDBPath)) {
                warn(kDatabaseInUse);
            } else {
                // Checked before the question, so that only a restore that can work is offered.
                StagedRestore copy;
                {
                    cWorkProgress progress(text(kRestoreTitle), parent);
                    copy = StageRestore(source, gDBPath, DatabaseKey(), &progress);
                }
                if (copy.cancelled)
                    return RestoreOutcome::NotRestored;
                staged = copy.path;
                if (staged.isEmpty())
                    warn(kNotABackup);
            }
        }

        const QString question = text(kRestoreWarning) + kCrLf + text(kContinue);
        if (gTranslator->IvMessageBox(question, QString(), IvBox::Question, IvBox::YesNo, 0) !=
            Boxes::AnswerYes) {
            QFile::remove(staged);
            return RestoreOutcome::NotRestored;
        }

        gConn->Close();
        gConn.reset();
        try {
            ReplaceDatabase(staged, gDBPath);
        } catch (const AppError& e) {
            QFile::remove(staged);
            staged.clear();
            if (!reopenDatabase(e))
                return RestoreOutcome::DatabaseLost;
            throw;
        }
        staged.clear();

        const QString done = text(kRestoreDone) + kCrLf + text(kFrom) + QLatin1Char(' ') + source +
                             kCrLf + text(kTo) + QLatin1Char(' ') + gDBPath + kCrLf +
                             text(kWillClose) + kCrLf + text(kRestart);
        gTranslator->IvMessageBox(done, QString(), IvBox::Warning, IvBox::Ok, 0);
        return RestoreOutcome::Restored;
    } catch (const AppError& e) {
        if (!staged.isEmpty())
            QFile::remove(staged);
        HandleError(kRestoreLabel, e, true);
        return RestoreOutcome::NotRestored;
    }
}
