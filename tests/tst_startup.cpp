// The start-up sequence: as a real process for the ways it ends early, in-process for a login.
#include "DatabaseKey.h"
#include "Page.h"
#include "Settings.h"
#include "TestHome.h"
#include "TightFolder.h"
#include "frmLogin.h"
#include "frmMain.h"
#include "mGlobals.h"
#include "mMain.h"

#include <QCryptographicHash>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString boxes;
    QString log;
};

// `folder`: the program folder when it is not the test's home.
Run runProgram(const TestHome& home, const QStringList& arguments = {},
               const QString& folder = QString()) {
    QProcess program;
    QProcessEnvironment env = home.environment();
    env.insert("TREVANO_BOX_LOG", home.file("boxes.log"));
    if (!folder.isEmpty())
        env.insert("TREVANO_HOME", folder);
    program.setProcessEnvironment(env);
    program.start(ProgramExecutable(), arguments);
    Run run;
    if (!program.waitForFinished(20000)) {
        program.kill();
        program.waitForFinished();
        return run;
    }
    run.exitCode = program.exitCode();
    QFile boxes(home.file("boxes.log"));
    if (boxes.open(QIODevice::ReadOnly))
        run.boxes = QString::fromUtf8(boxes.readAll());
    QFile log(QDir(folder.isEmpty() ? home.path() : folder).filePath("error.log"));
    if (log.open(QIODevice::ReadOnly))
        run.log = QString::fromUtf8(log.readAll());
    return run;
}

QByteArray fileHash(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "missing";
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class tst_startup : public QObject {
    Q_OBJECT
private slots:
    void databaseThatCannotBeOpened_data();
    void databaseThatCannotBeOpened();
    void instanceLock_data();
    void instanceLock();
    void storedLanguage_data();
    void storedLanguage();
    void debugSwitch_data();
    void debugSwitch();
    void loginOpensTheMainWindow_data();
    void loginOpensTheMainWindow();
};

void tst_startup::databaseThatCannotBeOpened_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("plain SQLite") << "plain";
    QTest::newRow("wrong key") << "wrongkey";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("foreign database") << "foreign";
}

void tst_startup::databaseThatCannotBeOpened() {
    QFETCH(QString, kind);
    TestHome home(false);
    const QString db = home.databasePath();
    if (kind == "plain" || kind == "wrongkey" || kind == "foreign") {
        DbConnection c;
        c.Create(db, kind == "plain"      ? QString()
                     : kind == "wrongkey" ? QString("another key")
                                          : DatabaseKey());
        c.ExecuteScript("CREATE TABLE tblOperators (LoginName TEXT, Password TEXT);");
        if (kind == "foreign")
            c.ExecuteScript("DROP TABLE tblOperators; CREATE TABLE Customers (Name TEXT);");
    } else if (kind == "empty") {
        QFile f(db);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    const QByteArray before = fileHash(db);

    const Run run = runProgram(home);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(
        run.boxes,
        QString("BOX\tTrevano Lite\t*** System Error: Cannot Open the database at %1\n").arg(db));
    QCOMPARE(run.log.count("ADOTest Failed. Exiting..."), 2);
    QVERIFY(run.log.contains("Error #"));
    QCOMPARE(fileHash(db), before);
    QVERIFY(!QFile::exists(home.file("temp.mdb")));
    QVERIFY(!QFile::exists(home.file("main.mdb.restore-a1B2c3")));
    QVERIFY(!QFile::exists(home.file("main.mdb-journal")));
}

void tst_startup::instanceLock_data() {
    QTest::addColumn<QString>("lock");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("box");
    const QString passes = "BOX\tTrevano Lite\t*** System Error: Cannot Open the database";
    QTest::newRow("another copy running")
        << "live" << 0 << "BOX\tTrevano Lite\tThe program is already running!";
    QTest::newRow("empty lock of a power loss") << "empty" << 1 << passes;
    QTest::newRow("garbled lock") << "garbled" << 1 << passes;
    QTest::newRow("lock of a crashed run") << "crashed" << 1 << passes;
    QTest::newRow("read-only folder") << "readonly" << 1 << "cannot write";
    QTest::newRow("full disk") << "full" << 1 << "cannot write";
}

// Only a live copy refuses the start; a lock that cannot be written says where and why.
void tst_startup::instanceLock() {
    QFETCH(QString, lock);
    QFETCH(int, exitCode);
    QFETCH(QString, box);
    TestHome home(false); // no database: a start that passes the lock ends at the test open
    const QString folder = home.file("program");
    std::unique_ptr<TightFolder> tight;
    if (lock == "readonly" || lock == "full") {
        tight = std::make_unique<TightFolder>(
            folder, lock == "full" ? TightFolder::Full : TightFolder::ReadOnly, 256 * 1024);
        // A file-size limit would also stop the log line that a full disk still takes.
        if (lock == "full" && !tight->mounted())
            QSKIP(qPrintable("a full disk needs a tmpfs here; " + tight->how));
        if (!tight->usable())
            QSKIP(qPrintable(tight->how));
    }
    QDir().mkpath(folder);
    QVERIFY(QFile::copy(home.file("QX7.MLD"), QDir(folder).filePath("QX7.MLD")));
    QFile log(QDir(folder).filePath("error.log")); // a log that has room left in its block
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("earlier line\n");
    log.close();
    const QString lockPath = QDir(folder).filePath("trevano.lock");
    QLockFile running(lockPath);
    if (lock == "live") {
        QVERIFY(running.tryLock(0));
    } else if (lock != "readonly" && lock != "full") {
        QFile f(lockPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (lock == "garbled")
            f.write("\x7f\x01\xfe garbage");
        else if (lock == "crashed") // a process number no process has
            f.write("4194303\ntrevano\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    if (tight)
        tight->close();

    const Run run = runProgram(home, {"-debug"}, folder);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.boxes.contains(box), qPrintable(run.boxes));
    if (box == "cannot write") {
        const QString text = QString("BOX\tTrevano Lite\tThe program cannot start: it cannot write "
                                     "in its folder %1.\\n%2\n")
                                 .arg(folder, tight->reason);
        QVERIFY2(run.boxes.endsWith(text), qPrintable(run.boxes));
        if (lock == "full") // the full disk still has room in the log's last block
            QVERIFY2(run.log.contains("\tCannot write the lock file trevano.lock in " + folder +
                                      ": " + tight->reason + "\n"),
                     qPrintable(run.log));
        else // nothing can be written in a read-only folder: the log's own box says so
            QVERIFY2(run.boxes.contains("BOX\tTrevano Lite\tError saving to error log file\\n"
                                        "Cannot write the lock file"),
                     qPrintable(run.boxes));
    }
    QCOMPARE(run.log.contains("ADOTest Failed"), box.contains("System Error"));
    if (lock != "live")
        QVERIFY(!QFile::exists(lockPath)); // the run took the lock and gave it back
}

void tst_startup::storedLanguage_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("afterwards");
    QTest::newRow("German") << "2"
                            << ""
                            << "2";
    QTest::newRow("a language the dictionary lacks")
        << "7"
        << "BOX\tTrevano Lite\tLanguage 7 could not be displayed\\nResetting to default system language...\n"
        << "1";
    QTest::newRow("not a number") << "Deutsch"
                                  << ""
                                  << "Deutsch";
}

void tst_startup::storedLanguage() {
    QFETCH(QString, stored);
    QFETCH(QString, box);
    QFETCH(QString, afterwards);
    TestHome home(false);
    Settings::SaveSetting("Properties", "Language", stored);
    const Run run = runProgram(home);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.boxes.startsWith(box + "BOX\tTrevano Lite\t*** System Error"));
    QCOMPARE(Settings::GetSetting("Properties", "Language"), afterwards);
}

void tst_startup::debugSwitch_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("logged");
    QTest::newRow("-debug") << QStringList{"-debug"} << true;
    QTest::newRow("inside a longer word") << QStringList{"x-debugx"} << true;
    QTest::newRow("capitals") << QStringList{"-DEBUG"} << false;
    QTest::newRow("none") << QStringList{} << false;
}

void tst_startup::debugSwitch() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, logged);
    TestHome home(false);
    const Run run = runProgram(home, arguments);
    QVERIFY(run.log.contains("ADOTest Failed"));
    QCOMPARE(
        QRegularExpression(
            "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\ttrevano Started at \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\n",
            QRegularExpression::MultilineOption)
            .match(run.log)
            .hasMatch(),
        logged);
}

void tst_startup::loginOpensTheMainWindow_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("userType");
    QTest::newRow("master, capitals and blanks") << 0 << "  MASTER " << int(Operator::Master);
    QTest::newRow("plain user") << 1 << "user" << int(Operator::User);
}

void tst_startup::loginOpensTheMainWindow() {
    QFETCH(int, option);
    QFETCH(QString, typed);
    QFETCH(int, userType);
    TestHome home;
    {
        QFile leftover(home.file("temp.mdb"));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write("left from an earlier run");
        QFile staged(home.file("main.mdb.restore-a1B2c3")); // a restore killed at its question
        QVERIFY(staged.open(QIODevice::WriteOnly));
        staged.write("a staged copy");
    }
    bool loginSeen = false;
    QTimer driver;
    connect(&driver, &QTimer::timeout, this, [&] {
        auto* login = qobject_cast<frmLogin*>(QApplication::activeModalWidget());
        if (!login)
            return;
        loginSeen = true;
        QCOMPARE(login->windowTitle(), QString("Trevano Lite - Version 1.00"));
        login->findChild<QRadioButton*>(option == 0 ? "optUser_0" : "optUser_1")->click();
        login->findChild<QLineEdit*>("txtEnteredPassword")->setText(typed);
        login->findChild<QPushButton*>("cmdOK")->click();
    });
    driver.start(50);

    BoxRecorder boxes; // the port of this test folder leads nowhere: the program works offline
    StartUp startUp;
    QCOMPARE(startUp.Main({"trevano"}), -1);
    QCOMPARE(
        boxes.texts(),
        QStringList{
            "Could not open the com port.\r\nCheck settings and try again.\r\nWorking in Offline Mode"});
    QVERIFY(loginSeen);
    frmMain* main = startUp.MainWindow();
    QVERIFY(main && main->isVisible());
    QCOMPARE(main->windowTitle(), QString("TK-22 Trevano Reports - Version 1.00"));
    QCOMPARE(main->UserType(), userType);
    QCOMPARE(QString(main->CurrentPage()->metaObject()->className()), QString("frmMdiMenu"));
    QVERIFY(!QFile::exists(home.file("temp.mdb")));
    QVERIFY(!QFile::exists(home.file("main.mdb.restore-a1B2c3")));
    QVERIFY(home.errorLog().endsWith(QString("\tLogged in as user type = %1\n").arg(userType)));
    QCOMPARE(Settings::GetSetting("Info", "LastLogin"), QString::number(userType));
    main->close();
    QVERIFY(!gConn);
}

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
