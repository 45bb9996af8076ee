// A year of touches (20 readers x 500 a day x 365 days): start-up to the login window, with and
// without free pages, beside the delivered database; the archive of a month and of a year
// through the windows beside the sqlcipher shell's export and delete of the same rows. Each
// run is a process of its own, so that its peak memory is its own. Prints; never fails on time.
#include "BenchMemory.h"
#include "Boxes.h"
#include "Database.h"
#include "DatabaseKey.h"
#include "DatabaseMaker.h"
#include "ProductName.h"
#include "ProgramFolder.h"
#include "TestHome.h"
#include "YearDatabase.h"
#include "cApplication.h"
#include "cWorkProgress.h"
#include "database/mCustomReport.h"
#include "frmArchive.h"
#include "frmLogin.h"
#include "incident_sites/mIncidentSites.h"
#include "mBackup.h"
#include "mGlobals.h"
#include "mMain.h"

#include <QDateEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The high-water mark of the resident memory of a process, in kB (0 when gone).
qint64 peakOf(const QString& pid) {
    return qMax<qint64>(0, StatusKb("VmHWM:", pid));
}

QByteArray ownPeak() {
    return QByteArray::number(peakOf(QStringLiteral("self")));
}

struct Measured {
    bool ok = false;
    double seconds = 0;
    qint64 peakKb = 0;
    QString output;
};

// Runs a program with `input` on its standard input and the environment `env`. The peak
// memory is read from the child's own high-water mark while it runs (the maximum that wait4
// reports starts from the parent's, which a spawned child inherits).
Measured runMeasured(const QStringList& command, const QProcessEnvironment& env,
                     const QByteArray& input = {}) {
    Measured m;
    QTemporaryFile out;
    if (!out.open())
        return m;
    int in[2];
    if (::pipe(in) != 0)
        return m;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.handle(), 1);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    QList<QByteArray> args, vars;
    for (const QString& a : command)
        args << a.toLocal8Bit();
    for (const QString& v : env.toStringList())
        vars << v.toLocal8Bit();
    std::vector<char*> argv, envp;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (QByteArray& v : vars)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    if (rc != 0) {
        ::close(in[1]);
        return m;
    }
    for (qint64 done = 0; done < input.size();) {
        const ssize_t n = ::write(in[1], input.constData() + done, size_t(input.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    ::close(in[1]);
    int status = 0;
    const QString id = QString::number(pid);
    for (;;) {
        const qint64 peak = peakOf(id);
        if (::waitpid(pid, &status, WNOHANG) == pid)
            break;
        m.peakKb = qMax(m.peakKb, peak);
        ::usleep(5000);
    }
    m.seconds = clock.nsecsElapsed() / 1e9;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    out.seek(0);
    m.output = QString::fromUtf8(out.readAll()).trimmed();
    return m;
}

QString benchFolder() {
    return QStringLiteral(TREVANO_BENCH_DIR);
}

QString yearDatabase() {
    return BenchYearDatabase(benchFolder());
}

bool copyFile(const QString& from, const QString& to) {
    QFile::remove(to);
    return QFile::copy(from, to);
}

QString mb(qint64 kb) {
    return QString::number(kb / 1024.0, 'f', 1) + QStringLiteral(" MB");
}

// The child's side: start-up until the login window shows.
int childStartUp(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    cApplication app(argc, argv);
    QApplication::setApplicationName(ProductName());
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* login = qobject_cast<frmLogin*>(QApplication::activeModalWidget());
        if (login && login->isVisible()) {
            std::printf("%lld\t%s\n", static_cast<long long>(clock.elapsed()),
                        ownPeak().constData());
            std::fflush(stdout);
            std::_Exit(0);
        }
    });
    watch.start(5);
    StartUp startUp;
    startUp.Main({QStringLiteral("trevano")});
    return 1; // the login never showed
}

// The child's side: the archive dialog, driven as a user would, from OK to its end.
int childArchive(int argc, char** argv) {
    cApplication app(argc, argv);
    const QDate from = QDate::fromString(QString::fromLocal8Bit(argv[2]), Qt::ISODate);
    const QDate to = QDate::fromString(QString::fromLocal8Bit(argv[3]), Qt::ISODate);
    const QString csv = QString::fromLocal8Bit(argv[4]);
    gTranslator = std::make_unique<Translator>();
    gTranslator->FileName = ProgramFile(QStringLiteral("QX7.MLD"));
    gTranslator->Open();
    gDBPath = ProgramFile(QStringLiteral("main.mdb"));
    gConn = std::make_unique<DbConnection>();
    gConn->Open(gDBPath, DatabaseKey());
    QString last;
    Boxes::SetBoxHandler([&](const Boxes::Box& box) {
        last = box.text;
        return box.buttons == Boxes::Buttons::YesNo ? int(Boxes::AnswerYes) : int(Boxes::AnswerOk);
    });
    Boxes::SetFileHandler([&](const Boxes::FileDialog&) { return csv; });
    frmArchive dialog;
    dialog.findChild<QDateEdit*>(QStringLiteral("dtpStartDate"))->setDate(from);
    dialog.findChild<QDateEdit*>(QStringLiteral("dtpEndDate"))->setDate(to);
    dialog.show();
    QElapsedTimer clock;
    clock.start();
    dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    std::printf("%lld\t%s\t%s\n", static_cast<long long>(clock.elapsed()), ownPeak().constData(),
                qPrintable(last.simplified()));
    std::fflush(stdout);
    gConn.reset();
    return dialog.OK() ? 0 : 1;
}

// The child's side: a backup of the database, or the copy and check a restore makes before
// it asks, each with its progress dialog.
int childCopy(int argc, char** argv) {
    cApplication app(argc, argv);
    const bool backup = qstrcmp(argv[1], "--child-backup") == 0;
    const QString other = QString::fromLocal8Bit(argv[2]);
    gTranslator = std::make_unique<Translator>();
    gTranslator->FileName = ProgramFile(QStringLiteral("QX7.MLD"));
    gTranslator->Open();
    gDBPath = ProgramFile(QStringLiteral("main.mdb"));
    QElapsedTimer clock;
    clock.start();
    bool ok = false;
    if (backup) {
        DbConnection db;
        db.Open(gDBPath, DatabaseKey());
        cWorkProgress progress(QStringLiteral("Backing up the database"));
        BackupDatabase(db, other, DatabaseKey(), &progress);
        ok = true;
    } else {
        cWorkProgress progress(QStringLiteral("Restoring the database"));
        const StagedRestore staged = StageRestore(other, gDBPath, DatabaseKey(), &progress);
        ok = !staged.path.isEmpty();
        QFile::remove(staged.path);
    }
    std::printf("%lld\t%s\n", static_cast<long long>(clock.elapsed()), ownPeak().constData());
    std::fflush(stdout);
    return ok ? 0 : 1;
}

qint64 count(const QString& path, const QString& sql) {
    DbConnection db;
    db.Open(path, DatabaseKey());
    const DbRows rows = db.Query(sql);
    return rows.first().value(rows.columnNames().first()).toLongLong();
}

} // namespace

class bench_year : public QObject {
    Q_OBJECT
private slots:
    void startUp_data();
    void startUp();
    void archive_data();
    void archive();
    void backupAndRestoreCheck();
};

void bench_year::startUp_data() {
    QTest::addColumn<QString>("database");
    QTest::newRow("delivered database") << "delivered";
    QTest::newRow("year, no free pages") << "year";
    QTest::newRow("year, 12 % free pages") << "free";
    QTest::newRow("year, after its database report") << "afterDatabaseReport";
    QTest::newRow("year, after its incidents report with sites") << "afterIncidentsWithSites";
}

void bench_year::startUp() {
    QFETCH(QString, database);
    TestHome home(database == "delivered");
    if (database != "delivered") {
        QVERIFY(copyFile(yearDatabase(), home.databasePath()));
        if (database == "free") {
            DbConnection db;
            db.Open(home.databasePath(), DatabaseKey());
            // The oldest six weeks archived away.
            db.Execute("DELETE FROM tblEvents WHERE dtDateTime < '2025-02-14'");
        } else if (database == "afterDatabaseReport") {
            // The report's rows and their removal as the program does them, then a new start.
            home.openGlobals();
            QVERIFY(CopyCustomRows(*gConn, "2025-01-01 00:00:00", "2025-12-31 23:59:59") > 0);
            EmptyCustomTable(*gConn);
            home.closeGlobals();
        } else if (database == "afterIncidentsWithSites") {
            home.openGlobals();
            CreateTempIncidentTable();
            {
                std::unique_ptr<DbCursor> touches =
                    OpenIncidentEvents(QDateTime(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC),
                                       QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59), Qt::UTC));
                QVERIFY(WriteTempIncidentRows(*touches, {}) > 0);
            }
            DropTempIncidentTable();
            home.closeGlobals();
        }
    }
    const qint64 freePages = count(home.databasePath(), "PRAGMA freelist_count");
    const qint64 pages = count(home.databasePath(), "PRAGMA page_count");
    QProcessEnvironment env = home.environment();
    env.insert("TREVANO_BOX_LOG", home.file("boxes.log"));
    const Measured run =
        runMeasured({QCoreApplication::applicationFilePath(), "--child-startup"}, env);
    QVERIFY2(run.ok, qPrintable(home.errorLog()));
    const qint64 afterFree = count(home.databasePath(), "PRAGMA freelist_count");
    qInfo().noquote() << QStringLiteral("start-up to the login window, %1 (%2 MB, %3 % free "
                                        "pages): %4 s (the fixed 2 s pause of the splash "
                                        "included), peak %5; free pages afterwards %6")
                             .arg(QTest::currentDataTag())
                             .arg(QFileInfo(home.databasePath()).size() / (1024 * 1024))
                             .arg(100.0 * freePages / pages, 0, 'f', 1)
                             .arg(run.output.section('\t', 0, 0).toLongLong() / 1000.0, 0, 'f', 2)
                             .arg(mb(run.output.section('\t', 1, 1).toLongLong()))
                             .arg(afterFree);
}

void bench_year::archive_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::newRow("a month") << QDate(2025, 3, 1) << QDate(2025, 3, 31);
    QTest::newRow("a year") << QDate(2025, 1, 1) << QDate(2025, 12, 31);
}

void bench_year::archive() {
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    const QString lower = from.toString("yyyy-MM-dd") + " 00:00:00";
    const QString upper = to.toString("yyyy-MM-dd") + " 23:59:59";
    const QString range = QString("dtDateTime >= '%1' AND dtDateTime <= '%2'").arg(lower, upper);
    TestHome home(false);
    const QString year = yearDatabase();
    const qint64 rows = count(year, "SELECT count(*) AS n FROM tblEvents WHERE " + range);

    // Through the windows.
    QVERIFY(copyFile(year, home.databasePath()));
    const QString csv = home.file("archive.csv");
    const Measured ours = runMeasured({QCoreApplication::applicationFilePath(), "--child-archive",
                                       from.toString(Qt::ISODate), to.toString(Qt::ISODate), csv},
                                      home.environment());
    QVERIFY2(ours.ok, qPrintable(ours.output + home.errorLog()));
    QCOMPARE(count(home.databasePath(), "SELECT count(*) AS n FROM tblEvents WHERE " + range), 0);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    qint64 lines = 0;
    while (!file.atEnd())
        lines += file.readLine().endsWith("\r\n");
    QCOMPARE(lines, rows + 1);
    const qint64 csvSize = file.size();
    file.close();

    // The sqlcipher shell on a fresh copy: the same rows out and deleted.
    QVERIFY(copyFile(year, home.databasePath()));
    const QString shellCsv = home.file("shell.csv");
    const QByteArray script =
        QString("PRAGMA key = '%1';\n.headers on\n.mode csv\n.output %2\n"
                "SELECT dtDateTime, tButtonCode, wGroupType, tGroupName, tButtonName, tPipeID "
                "FROM tblEvents WHERE %3 ORDER BY dtDateTime, ID;\n.output stdout\n"
                "BEGIN;\nDELETE FROM tblEvents WHERE %3;\nCOMMIT;\nSELECT changes();\n")
            .arg(DatabaseKey(), shellCsv, range)
            .toUtf8();
    const Measured shell = runMeasured({"sqlcipher", home.databasePath()},
                                       QProcessEnvironment::systemEnvironment(), script);
    QVERIFY2(shell.ok, "the sqlcipher shell is part of the packages the Makefile installs");
    QCOMPARE(count(home.databasePath(), "SELECT count(*) AS n FROM tblEvents WHERE " + range), 0);

    const double ourSeconds = ours.output.section('\t', 0, 0).toLongLong() / 1000.0;
    qInfo().noquote() << QStringLiteral(
                             "archive of %1 (%2 touches, CSV %3 MB): through the windows %4 s "
                             "(process %5 s), peak %6; sqlcipher shell export and delete %7 s, "
                             "peak %8; ratio %9")
                             .arg(QTest::currentDataTag())
                             .arg(rows)
                             .arg(csvSize / (1024 * 1024))
                             .arg(ourSeconds, 0, 'f', 2)
                             .arg(ours.seconds, 0, 'f', 2)
                             .arg(mb(ours.output.section('\t', 1, 1).toLongLong()))
                             .arg(shell.seconds, 0, 'f', 2)
                             .arg(mb(shell.peakKb))
                             .arg(ours.seconds / shell.seconds, 0, 'f', 2);
}

void bench_year::backupAndRestoreCheck() {
    TestHome home(false);
    QVERIFY(copyFile(yearDatabase(), home.databasePath()));
    const QString backup = home.file("backup.mdb");
    const Measured made = runMeasured(
        {QCoreApplication::applicationFilePath(), "--child-backup", backup}, home.environment());
    QVERIFY(made.ok);
    const Measured checked =
        runMeasured({QCoreApplication::applicationFilePath(), "--child-restore-check", backup},
                    home.environment());
    QVERIFY(checked.ok);
    qInfo().noquote() << QStringLiteral("backup of the year database (%1 MB): %2 s, peak %3; the "
                                        "copy and check of a restore: %4 s, peak %5")
                             .arg(QFileInfo(backup).size() / (1024 * 1024))
                             .arg(made.output.section('\t', 0, 0).toLongLong() / 1000.0, 0, 'f', 2)
                             .arg(mb(made.output.section('\t', 1, 1).toLongLong()))
                             .arg(checked.output.section('\t', 0, 0).toLongLong() / 1000.0, 0, 'f',
                                  2)
                             .arg(mb(checked.output.section('\t', 1, 1).toLongLong()));
}

int main(int argc, char** argv) {
    if (argc >= 2 && qstrcmp(argv[1], "--child-startup") == 0)
        return childStartUp(argc, argv);
    if (argc >= 5 && qstrcmp(argv[1], "--child-archive") == 0)
        return childArchive(argc, argv);
    if (argc >= 3 &&
        (qstrcmp(argv[1], "--child-backup") == 0 || qstrcmp(argv[1], "--child-restore-check") == 0))
        return childCopy(argc, argv);
    QApplication app(argc, argv);
    bench_year bench;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_year.moc"
