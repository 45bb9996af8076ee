#include "mBackup.h"

#include "Boxes.h"
#include "DatabaseKey.h"
#include "mDeclareAPI.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

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
// clang-format on

QString text(const char* english) {
    return Translate(QLatin1String(english));
}

void warn(const char* english) {
    gTranslator->IvMessageBox(QLatin1String(english), QString(), 0, 4, 0);
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

QString quoteName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

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
            db.Query(QStringLiteral("SELECT count(*) AS n FROM %1.%2").arg(schema, quoteName(name)))
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

void reopenDatabase() {
    try {
        gConn = std::make_unique<DbConnection>();
        gConn->Open(gDBPath, DatabaseKey());
    } catch (const AppError& e) {
        gConn.reset();
        HandleError(kRestoreLabel, e, true);
    }
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

bool IsProgramDatabase(const QString& path, const QString& key, QString* why) {
    try {
        DbConnection db;
        db.Open(path, key);
        const DbRows check = db.Query(QStringLiteral("PRAGMA quick_check"));
        if (check.isEmpty() ||
            check.first().value(check.columnNames().first()).toString() != QLatin1String("ok"))
            throw AppError(AppError::InvalidValue, QStringLiteral("The file is damaged"));
        for (const TableColumns& t : kProgramTables)
            db.Query(QStringLiteral("SELECT %1 FROM %2 LIMIT 0")
                         .arg(QLatin1String(t.columns), QLatin1String(t.table)));
        return true;
    } catch (const AppError& e) {
        if (why)
            *why = e.description;
        return false;
    }
}

void BackupDatabase(DbConnection& conn, const QString& target, const QString& key) {
    QFile created(target);
    // Created here, never opened over: an existing file of that name is left alone.
    if (!created.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw AppError(QFileInfo::exists(target) ? AppError::FileExists : AppError::PathError,
                       QStringLiteral("Cannot create %1: %2").arg(target, created.errorString()));
    created.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    created.close();

    bool attached = false;
    try {
        conn.Execute(QStringLiteral("ATTACH DATABASE ? AS backup KEY ?"), {target, key});
        attached = true;
        conn.Query(QStringLiteral("SELECT sqlcipher_export('backup')"));
        const qint64 version = conn.Query(QStringLiteral("PRAGMA main.user_version"))
                                   .first()
                                   .integer(QStringLiteral("user_version"));
        conn.ExecuteScript(QStringLiteral("PRAGMA backup.user_version = %1;").arg(version));
        const QStringList original = contentSummary(conn, QStringLiteral("main"));
        const QStringList copy = contentSummary(conn, QStringLiteral("backup"));
        conn.ExecuteScript(QStringLiteral("DETACH DATABASE backup;"));
        attached = false;

        QString why;
        if (!IsProgramDatabase(target, key, &why))
            throw AppError(AppError::InvalidValue,
                           QStringLiteral("The backup does not open: %1").arg(why));
        if (copy != original)
            throw AppError(AppError::InvalidValue,
                           QStringLiteral("The backup differs from the database: %1 against %2")
                               .arg(copy.join(QLatin1Char(' ')), original.join(QLatin1Char(' '))));
    } catch (const AppError&) {
        if (attached) {
            try {
                conn.ExecuteScript(QStringLiteral("DETACH DATABASE backup;"));
            } catch (const AppError&) {
            }
        }
        QFile::remove(target);
        QFile::remove(target + QStringLiteral("-journal"));
        throw;
    }
}

QString StageRestore(const QString& source, const QString& dbPath, const QString& key) {
    const QString staged = dbPath + QStringLiteral(".restore");
    if (QFile::exists(staged) && !QFile::remove(staged))
        throw AppError(AppError::PermissionDenied, QStringLiteral("Cannot remove %1").arg(staged));
    QFile from(source);
    if (!from.copy(staged))
        throw AppError(
            AppError::PathError,
            QStringLiteral("Cannot copy %1 to %2: %3").arg(source, staged, from.errorString()));
    // A read-only backup still restores to a database the program can write.
    QFile::setPermissions(staged, QFile::ReadOwner | QFile::WriteOwner);
    QString why;
    if (!IsProgramDatabase(staged, key, &why)) {
        LogError(QStringLiteral("Restore refused %1: %2").arg(source, why));
        QFile::remove(staged);
        return QString();
    }
    return staged;
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
                       QStringLiteral("Cannot replace %1: %2")
                           .arg(dbPath, QString::fromLocal8Bit(std::strerror(errno))));
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

void RunBackup() {
    try {
        DbConnection& conn = openConnection();
        Boxes::FileDialog dialog =
            databaseFileDialog(true, Translate(QStringLiteral("Select backup destination")));
        dialog.fileName = DefaultBackupFileName(QDate::currentDate());
        const QString target = ChooseNewFileName(dialog);
        if (target.isEmpty())
            return;
        BackupDatabase(conn, target, DatabaseKey());
        const QString done = text(kBackupDone) + kCrLf + target;
        gTranslator->IvMessageBox(done, QString(), 2, 4, 0);
    } catch (const AppError& e) {
        HandleError(kBackupLabel, e, true);
    }
}

bool RunRestore() {
    QString staged;
    try {
        openConnection();
        const Boxes::FileDialog dialog = databaseFileDialog(
            false, Translate(QStringLiteral("Select location of backup database file")));
        QString source;
        while (staged.isEmpty()) {
            source = Boxes::GetFileName(dialog);
            if (source.isEmpty())
                return false;
            if (!QFileInfo::exists(source)) {
                warn(kNotFound);
            } else if (sameFile(source, gDBPath)) {
                warn(kDatabaseInUse);
            } else {
                // Checked before the question, so that only a restore that can work is offered.
                staged = StageRestore(source, gDBPath, DatabaseKey());
                if (staged.isEmpty())
                    warn(kNotABackup);
            }
        }

        const QString question = text(kRestoreWarning) + kCrLf + text(kContinue);
        if (gTranslator->IvMessageBox(question, QString(), 3, 3, 0) != Boxes::AnswerYes) {
            QFile::remove(staged);
            return false;
        }

        gConn->Close();
        gConn.reset();
        try {
            ReplaceDatabase(staged, gDBPath);
        } catch (const AppError&) {
            reopenDatabase(); // the old file is still whole: carry on with it
            throw;
        }
        staged.clear();

        const QString done = text(kRestoreDone) + kCrLf + text(kFrom) + QLatin1Char(' ') + source +
                             kCrLf + text(kTo) + QLatin1Char(' ') + gDBPath + kCrLf +
                             text(kWillClose) + kCrLf + text(kRestart);
        gTranslator->IvMessageBox(done, QString(), 0, 4, 0);
        return true;
    } catch (const AppError& e) {
        if (!staged.isEmpty())
            QFile::remove(staged);
        HandleError(kRestoreLabel, e, true);
        return false;
    }
}
