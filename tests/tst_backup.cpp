// Backup and restore on real database files, and the File menu that starts them.
#include "Boxes.h"
#include "DatabaseKey.h"
#include "ModalScript.h"
#include "TestHome.h"
#include "frmMain.h"
#include "mBackup.h"
#include "mDeclareAPI.h"
#include "mGlobals.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Every row of the tables the program keeps, and the autonumber counters.
QString dump(DbConnection& db) {
    QStringList lines;
    for (const char* sql :
         {"SELECT ID, dtDateTime, tButtonCode, tButtonName FROM tblEvents ORDER BY ID",
          "SELECT ID, tName, wType FROM tblListItems ORDER BY ID",
          "SELECT tReaderId, tDescription FROM tblReaders ORDER BY tReaderId",
          "SELECT LoginName, Password FROM tblOperators ORDER BY LoginName",
          "SELECT name, seq FROM sqlite_sequence ORDER BY name", "PRAGMA user_version"}) {
        const DbRows rows = db.Query(sql);
        for (const DbRow& r : rows) {
            QStringList cells;
            for (const QString& c : rows.columnNames())
                cells << r.text(c);
            lines << cells.join('|');
        }
    }
    return lines.join('\n');
}

QString dumpFile(const QString& path) {
    DbConnection db;
    db.Open(path, DatabaseKey());
    return dump(db);
}

QString schemaScript() {
    QFile f(QStringLiteral(TREVANO_SOURCE_DIR "/data/schema.sql"));
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

// The delivered schema and operators without the mark a finished copy carries.
QString unmarkedSchema() {
    return schemaScript().remove(QRegularExpression("PRAGMA user_version[^;]*;"));
}

void makeDatabase(const QString& path, const QString& key, const QString& script) {
    DbConnection db;
    db.Create(path, key);
    db.ExecuteScript(script);
}

} // namespace

class tst_backup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { home.reset(); }
    void backupThenRestore();
    void restoreChangesNothing_data();
    void restoreChangesNothing();
    void fileMenu();
    void chosenFileIsOnlyRead();
    void databaseLostEndsTheProgram();
    void cancelledWhileCopying_data();
    void cancelledWhileCopying();
    void restoreStartsInAFolderThatExists_data();
    void restoreStartsInAFolderThatExists();
    void backupKilledWhileWriting();
    void restoreKilledAtItsQuestion();

private:
    std::unique_ptr<TestHome> home;
    QString documents;
    QStringList stagedCopies() const {
        return QDir(home->path()).entryList({"main.mdb.restore*"}, QDir::Files | QDir::Hidden);
    }
};

void tst_backup::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    documents = GetMyDocumentsPath();
    QDir().mkpath(documents);
    for (int i = 1; i <= 4; ++i)
        gConn->Insert(
            "INSERT INTO tblEvents (dtDateTime, tButtonCode, tButtonName) VALUES (?, ?, ?)",
            {QString("2008-05-0%1 10:00:00").arg(i), QString("00000%1").arg(i), "Gate"});
    gConn->Execute("DELETE FROM tblEvents WHERE ID = 4"); // its ID must never come back
    gConn->Insert("INSERT INTO tblListItems (tName, tDesc, wType) VALUES ('Site 001', '', 1)");
    gConn->Execute("INSERT INTO tblReaders VALUES ('0123ABCD', 'Reader 1')");
    gConn->Execute("UPDATE tblOperators SET Password = 'changed' WHERE LoginName = 'MASTER'");
}

void tst_backup::backupThenRestore() {
    const QString taken = QDir(documents).filePath(DefaultBackupFileName(QDate::currentDate()));
    const QString target = QDir(documents).filePath("second.mdb");
    QFile other(taken);
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("an earlier backup");
    other.close();
    const QString original = dump(*gConn);
    {
        BoxRecorder boxes;
        FileAnswers files({taken, target});
        RunBackup();
        QCOMPARE(files.dialogs.size(), 2); // the name in use is refused and the dialog repeats
        QCOMPARE(files.dialogs[0].fileName,
                 "QX_Backup_" + QDate::currentDate().toString("yyyy-MM-dd") + ".mdb");
        QCOMPARE(files.dialogs[0].folder, documents);
        QCOMPARE(boxes.texts(),
                 QStringList({"That filename is already in use. Please choose another filename",
                              "Successfully copied the database to :\r\n" + target}));
    }
    QCOMPARE(readAll(taken), QByteArray("an earlier backup"));
    QVERIFY2(!readAll(target).startsWith("SQLite format 3"), "the backup is encrypted");
    QCOMPARE(dumpFile(target), original);

    // The database moves on; the backup is made read-only, as a copied-off file may be.
    gConn->Execute("DELETE FROM tblEvents");
    gConn->Insert("INSERT INTO tblEvents (tButtonCode) VALUES ('00000F')");
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner));
    {
        BoxRecorder boxes;
        FileAnswers files({target});
        QCOMPARE(RunRestore(), RestoreOutcome::Restored);
        QCOMPARE(boxes.boxes.size(), 2);
        QCOMPARE(boxes.boxes[0].buttons, Boxes::Buttons::YesNo);
        QCOMPARE(boxes.boxes[1].text,
                 QString("Successfully copied the database\r\nFrom: %1\r\nTo: %2\r\n"
                         "Warning : The program will now close.\r\n"
                         "Please restart the program to continue.")
                     .arg(target, gDBPath));
    }
    QVERIFY2(!gConn, "the program ends on the restored file");
    QCOMPARE(dumpFile(home->databasePath()), original);
    QVERIFY(QFileInfo(home->databasePath()).permissions() & QFile::WriteOwner);
    QCOMPARE(stagedCopies(), QStringList());
    DbConnection restored;
    restored.Open(home->databasePath(), DatabaseKey());
    QCOMPARE(restored.Insert("INSERT INTO tblEvents (tButtonCode) VALUES ('000010')"), 5);
}

void tst_backup::restoreChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    const QString notABackup =
        "That file is not a backup database of this program. Please choose another filename";
    QTest::newRow("plain SQLite file") << "plain" << notABackup;
    QTest::newRow("wrong key") << "wrongkey" << notABackup;
    QTest::newRow("foreign SQLite file") << "foreign" << notABackup;
    // What a backup killed while it wrote used to leave: every table, no row, no mark.
    QTest::newRow("every table, no row") << "emptySchema" << notABackup;
    QTest::newRow("operators, no schema mark") << "unmarked" << notABackup;
    QTest::newRow("marked, no operators") << "noOperators" << notABackup;
    QTest::newRow("truncated backup") << "truncated" << notABackup;
    QTest::newRow("the database itself")
        << "itself"
        << "That file is the database in use. Please choose a backup file";
    QTest::newRow("missing file")
        << "missing"
        << "That filename cannot be found. Please choose another filename";
    QTest::newRow("good backup, answered No")
        << "answeredNo"
        << "Warning: This action will delete the existing database. You will loose ALL data in the "
           "existing database.\r\nAre you sure you want to continue?";
}

void tst_backup::restoreChangesNothing() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QString source = QDir(documents).filePath("chosen.mdb");
    if (kind == "plain")
        makeDatabase(source, QString(), schemaScript()); // no key: an unencrypted file
    else if (kind == "wrongkey")
        makeDatabase(source, "not the key", schemaScript());
    else if (kind == "foreign") // it would even pass the start-up check
        makeDatabase(source, DatabaseKey(), "CREATE TABLE tblOperators (LoginName, Password);");
    else if (kind == "emptySchema")
        makeDatabase(source, DatabaseKey(), unmarkedSchema() + "DELETE FROM tblOperators;");
    else if (kind == "unmarked")
        makeDatabase(source, DatabaseKey(), unmarkedSchema());
    else if (kind == "noOperators")
        makeDatabase(source, DatabaseKey(), schemaScript() + "DELETE FROM tblOperators;");
    else if (kind == "truncated") {
        const QString whole = QDir(documents).filePath("whole.mdb");
        BackupDatabase(*gConn, whole, DatabaseKey());
        QFile f(whole);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QFile cut(source);
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(f.read(f.size() / 2));
    } else if (kind == "itself")
        source = QDir(home->path()).filePath("./main.mdb");
    else if (kind == "answeredNo")
        BackupDatabase(*gConn, source, DatabaseKey());
    const QByteArray before = readAll(home->databasePath());
    const QString rows = dump(*gConn);

    BoxRecorder boxes;
    boxes.answers = {kind == "answeredNo" ? Boxes::AnswerNo : Boxes::AnswerOk};
    FileAnswers files({source}); // the repeated dialog is cancelled
    QCOMPARE(RunRestore(), RestoreOutcome::NotRestored);
    QCOMPARE(boxes.texts(), QStringList{message});
    QCOMPARE(files.dialogs.size(), kind == "answeredNo" ? 1 : 2);
    QCOMPARE(readAll(home->databasePath()), before);
    QVERIFY(gConn && gConn->IsOpen());
    QCOMPARE(dump(*gConn), rows);
    QCOMPARE(stagedCopies(), QStringList());
    QCOMPARE(home->errorLog().contains("Error "), false);
}

void tst_backup::fileMenu() {
    const QString backup = QDir(documents).filePath("menu.mdb");
    BackupDatabase(*gConn, backup, DatabaseKey());
    frmMain w;
    const QStringList entries = {"mnuFileArchive", "mnuFileBackup", "mnuFileRestore"};
    w.setUserType(2);
    w.NavigateToolbarButtons(QString("0111"));
    for (const QString& e : entries)
        QVERIFY2(!w.Action(e)->isEnabled(), qPrintable(e));
    w.setUserType(1);
    w.NavigateToolbarButtons(QString("0111"));
    for (const QString& e : entries)
        QVERIFY2(w.Action(e)->isEnabled(), qPrintable(e));
    w.show();

    QString opened;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        opened = dialog->objectName();
        dialog->findChild<QPushButton*>("cmdCancel")->click();
    });
    w.Action("mnuFileArchive")->trigger();
    QCOMPARE(opened, QString("frmArchive"));

    BoxRecorder boxes;
    FileAnswers files({backup});
    w.Action("mnuFileRestore")->trigger();
    QCOMPARE(boxes.boxes.size(), 2);
    QVERIFY(!w.isVisible());
    QVERIFY(!gConn);
}

// A backup named as the program might name a copy of its own is read, never removed.
void tst_backup::chosenFileIsOnlyRead() {
    const QString chosen = home->databasePath() + ".restore";
    BackupDatabase(*gConn, chosen, DatabaseKey());
    const QByteArray before = readAll(chosen);
    const QString rows = dump(*gConn);
    gConn->Execute("DELETE FROM tblEvents");
    BoxRecorder boxes;
    FileAnswers files({chosen});
    QCOMPARE(RunRestore(), RestoreOutcome::Restored);
    QCOMPARE(readAll(chosen), before);
    QCOMPARE(dumpFile(home->databasePath()), rows);
    QCOMPARE(stagedCopies(), QStringList{"main.mdb.restore"});
}

// The replace fails and the old file no longer opens either: the program says so and ends,
// never runs on without a database.
void tst_backup::databaseLostEndsTheProgram() {
    const QString backup = QDir(documents).filePath("good.mdb");
    BackupDatabase(*gConn, backup, DatabaseKey());
    BoxRecorder boxes;
    boxes.onBox = [&](const Boxes::Box& box) {
        if (box.buttons != Boxes::Buttons::YesNo)
            return;
        // While the question is open: the database file is damaged and a journal of another
        // writer lies beside it, so the replace is refused and the reopen fails.
        QFile::rename(home->databasePath(), home->file("moved.mdb"));
        QFile junk(home->databasePath());
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        QFile journal(home->databasePath() + "-journal");
        QVERIFY(journal.open(QIODevice::WriteOnly));
    };
    FileAnswers files({backup});
    frmMain w;
    w.setUserType(1);
    w.show();
    w.Action("mnuFileRestore")->trigger();
    QCOMPARE(boxes.boxes.size(), 2);
    QVERIFY(boxes.boxes[1].text.startsWith(
        "The database could not be put back and opened again. The program will now close.\r\n"));
    QVERIFY(boxes.boxes[1].text.contains("-journal exists"));
    QCOMPARE(boxes.boxes[1].icon, Boxes::Icon::Critical);
    QVERIFY(!gConn);
    QVERIFY(!w.isVisible());
    QVERIFY(
        home->errorLog().contains("Restore: the database " + gDBPath + " could not be replaced"));
    QCOMPARE(stagedCopies(), QStringList());
    QCOMPARE(readAll(home->databasePath()), QByteArray(4096, 'x')); // nothing written over it
}

// Cancel in the progress of a backup or of the copy a restore checks: no file is left and the
// database is untouched.
void tst_backup::cancelledWhileCopying_data() {
    QTest::addColumn<bool>("backup");
    QTest::newRow("backup") << true;
    QTest::newRow("restore") << false;
}

void tst_backup::cancelledWhileCopying() {
    QFETCH(bool, backup);
    const QString file = QDir(documents).filePath("copy.mdb");
    if (!backup)
        BackupDatabase(*gConn, file, DatabaseKey());
    const QByteArray before = readAll(home->databasePath());
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        QVERIFY(progress);
        seen = progress->labelText();
        QTest::mouseClick(progress->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    });
    BoxRecorder boxes;
    FileAnswers files({file});
    if (backup)
        RunBackup();
    else
        QCOMPARE(RunRestore(), RestoreOutcome::NotRestored);
    QCOMPARE(seen, backup ? "Copying the database to copy.mdb..." : "Copying copy.mdb...");
    QVERIFY2(boxes.texts().isEmpty(), qPrintable(boxes.texts().join("|")));
    QCOMPARE(QFile::exists(file), !backup);
    QCOMPARE(readAll(home->databasePath()), before);
    QVERIFY(gConn && gConn->IsOpen());
    QCOMPARE(stagedCopies(), QStringList());
    QVERIFY(!home->errorLog().contains("Error "));
}

void tst_backup::restoreStartsInAFolderThatExists_data() {
    QTest::addColumn<bool>("hasDocuments");
    QTest::newRow("no Documents folder") << false;
    QTest::newRow("a Documents folder") << true;
}

// The real file dialog: a starting folder that does not exist is shown as a file name.
void tst_backup::restoreStartsInAFolderThatExists() {
    QFETCH(bool, hasDocuments);
    const QString documentsFolder = QDir::home().filePath("Documents");
    if (hasDocuments)
        QVERIFY(QDir().mkpath(documentsFolder));
    else
        QDir(documentsFolder).removeRecursively();
    // This test looks at the real dialog, not at a scripted answer.
    const Boxes::FileHandler scripted = Boxes::CurrentFileHandler();
    Boxes::SetFileHandler({});
    const auto restore = qScopeGuard([&] { Boxes::SetFileHandler(scripted); });
    QString folder, fileName;
    bool shown = false;
    QPointer<QTimer> watch = WhenOpen<QFileDialog>([&](QFileDialog* dialog) {
        shown = true;
        folder = dialog->directory().absolutePath();
        fileName = Child<QLineEdit>(dialog, "fileNameEdit")->text();
        dialog->reject();
    });
    BoxRecorder boxes;
    QCOMPARE(RunRestore(), RestoreOutcome::NotRestored);
    delete watch;
    QVERIFY(shown);
    QCOMPARE(folder, hasDocuments ? documentsFolder : QDir::homePath());
    QCOMPARE(fileName, QString());
    QVERIFY(boxes.boxes.isEmpty());
}

namespace {

// Runs the child until it says `word`, then kills it.
QByteArray killChildAt(const QStringList& arguments, const char* word) {
    QProcess child;
    child.start(BACKUP_CHILD, arguments);
    if (!child.waitForStarted())
        return "not started";
    QByteArray said;
    QElapsedTimer clock;
    clock.start();
    while (!said.contains(word) && child.state() == QProcess::Running && clock.elapsed() < 20000) {
        child.waitForReadyRead(100);
        said += child.readAllStandardOutput();
    }
    child.kill();
    child.waitForFinished();
    return said;
}

} // namespace

// A backup cut short leaves nothing under the chosen name, so nothing there can be restored;
// the next backup to that name clears what it left.
void tst_backup::backupKilledWhileWriting() {
    gConn->ExecuteScript("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                         "20000) INSERT INTO tblEvents (dtDateTime, tButtonCode) SELECT "
                         "'2008-06-01 10:00:00', '0000AA' FROM n;");
    const QString target = QDir(documents).filePath("killed.mdb");
    const QByteArray said = killChildAt({"backup", gConn->Path(), target}, "writing");
    QVERIFY2(said.contains("writing"), said.constData());
    QVERIFY(!QFile::exists(target));
    const QStringList left = QDir(documents).entryList({"killed.mdb.*.part"}, QDir::Files);
    QCOMPARE(left.size(), 1);

    BackupDatabase(*gConn, target, DatabaseKey());
    QCOMPARE(dumpFile(target), dump(*gConn));
    QCOMPARE(QDir(documents).entryList({"killed.mdb.*"}, QDir::Files), QStringList());
}

// A restore killed at its question has put nothing in place; the next start removes its copy.
void tst_backup::restoreKilledAtItsQuestion() {
    const QString source = QDir(documents).filePath("good.mdb");
    BackupDatabase(*gConn, source, DatabaseKey());
    const QByteArray before = readAll(home->databasePath());
    const QString other = home->file("main.mdb.restore-notes.txt"); // not a copy of ours
    QFile(other).open(QIODevice::WriteOnly);

    const QByteArray said = killChildAt({"restore", gConn->Path(), source}, "asking");
    QVERIFY2(said.contains("asking"), said.constData());
    QCOMPARE(stagedCopies().size(), 2);
    QCOMPARE(readAll(home->databasePath()), before);

    RemoveUnfinishedRestores(gDBPath);
    QCOMPARE(stagedCopies(), QStringList{"main.mdb.restore-notes.txt"});
    QCOMPARE(readAll(home->databasePath()), before);
}
QTEST_MAIN(tst_backup)
#include "tst_backup.moc"
