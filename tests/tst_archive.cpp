// The event archive: the file it writes, byte for byte, and the touches it leaves behind.
#include "TestHome.h"
#include "TightFolder.h"
#include "frmArchive.h"
#include "mGlobals.h"

#include <QDateEdit>
#include <QDir>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>
#include <cerrno>
#include <cstring>

namespace {

// The fixture's touches, stored out of time order so that the file's order is the query's.
void addTouches() {
    const char* sql = "INSERT INTO tblEvents (dtDLDateTime, dtDateTime, tButtonCode, tButtonName, "
                      "tButtonDesc, wGroupType, tGroupName, tGroupDesc, tPipeID) "
                      "VALUES ('2008-05-08 09:00:00', ?, ?, ?, 'desc', ?, ?, 'gdesc', '0123ABCD')";
    const QList<QVariantList> touches = {
        {"2008-05-06 23:59:00", "00000B", "Gate \"B\", north", 3, "Site 001"}, // last minute
        {"2008-05-04 00:00:00", "0A1B2C", "Main door", 1, "Site \"North\""},   // first moment
        {"2008-05-05 12:30:00", "00000C", QVariant(), 0, QVariant()},
        {"2008-05-05 12:30:00", "00000D", "Fire\r\nexit", 2, "Book 001"},
        {"2008-05-03 23:59:00", "0000E1", "Before", 1, "Site 001"},
        {"2008-05-07 00:00:00", "0000E2", "After", 1, "Site 001"},
    };
    for (const QVariantList& t : touches)
        gConn->Insert(sql, t);
}

QString tableDump() {
    QStringList lines;
    for (const DbRow& r : gConn->Query("SELECT * FROM tblEvents ORDER BY ID")) {
        QStringList cells;
        for (const char* c : {"ID", "dtDateTime", "tButtonCode", "tButtonName", "wGroupType"})
            cells << r.text(c);
        lines << cells.join('|');
    }
    return lines.join('\n');
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// `perDay` touches on each of the days from 2008-06-01, with names that need quoting.
void addManyTouches(int days, int perDay) {
    DbTransaction t(*gConn);
    DbStatement insert(*gConn, "INSERT INTO tblEvents (dtDLDateTime, dtDateTime, tButtonCode, "
                               "tButtonName, tButtonDesc, wGroupType, tGroupName, tGroupDesc, "
                               "tPipeID) VALUES ('2008-07-01 07:00:00', ?, ?, ?, '', ?, ?, '', ?)");
    for (int d = 0; d < days; ++d)
        for (int i = 0; i < perDay; ++i)
            insert.Execute({QDate(2008, 6, 1 + d).toString("yyyy-MM-dd ") +
                                QTime(0, 0).addSecs(i * 86400 / perDay).toString("HH:mm:ss"),
                            QString("%1").arg(i % 4096, 6, 16, QChar('0')).toUpper(),
                            QString("Point \"%1\", row %2").arg(i % 7).arg(i), i % 4,
                            QString("Site %1").arg(d), QString("0000000%1").arg(i % 3)});
    t.Commit();
}

// Reads an RFC 4180 file back into its records.
QList<QStringList> readCsv(const QByteArray& bytes) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    const QString text = QString::fromUtf8(bytes);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text.at(i + 1) == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record << field;
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n') {
            record << field;
            records << record;
            record.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

// Sets the range and presses OK; boxes and file dialogs are answered by the caller's fixtures.
void pressOk(frmArchive& dialog, const QDate& start, const QDate& end) {
    dialog.findChild<QDateEdit*>("dtpStartDate")->setDate(start);
    dialog.findChild<QDateEdit*>("dtpEndDate")->setDate(end);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
}

} // namespace

class tst_archive : public QObject {
    Q_OBJECT
private slots:
    void init() {
        home = std::make_unique<TestHome>();
        home->openGlobals();
        addTouches();
    }
    void cleanup() { home.reset(); }
    void archivesTheRange();
    void nothingIsDeleted_data();
    void nothingIsDeleted();
    void manyTouchesReadBack();
    void cancelWhileWriting();
    void fullDisk();
    void killedWhileWriting();
    void nameTakenWhileWriting();

private:
    std::unique_ptr<TestHome> home;
};

void tst_archive::archivesTheRange() {
    const QString path = home->file("out/touches.csv");
    QDir().mkpath(home->file("out"));
    BoxRecorder boxes;
    FileAnswers files({path});
    frmArchive dialog;
    pressOk(dialog, QDate(2008, 5, 4), QDate(2008, 5, 6));

    QCOMPARE(files.dialogs.size(), 1);
    QCOMPARE(files.dialogs[0].fileName, QString("Archive2008-05-04_to_2008-05-06.csv"));
    QCOMPARE(files.dialogs[0].folder, home->path());
    QCOMPARE(
        readAll(path),
        QByteArray("\"Date\",\"Time\",\"Button ID\",\"Type\",\"Group Name\",\"Button Name\","
                   "\"Reader ID\"\r\n"
                   "\"2008-05-04\",\"00:00\",\"0A1B2C\",\"Location\",\"Site \"\"North\"\"\","
                   "\"Main door\",\"0123ABCD\"\r\n"
                   "\"2008-05-05\",\"12:30\",\"00000C\",\"User\",\"\",\"\",\"0123ABCD\"\r\n"
                   "\"2008-05-05\",\"12:30\",\"00000D\",\"Event\",\"Book 001\",\"Fire\r\nexit\","
                   "\"0123ABCD\"\r\n"
                   "\"2008-05-06\",\"23:59\",\"00000B\",\"\",\"Site 001\",\"Gate \"\"B\"\", "
                   "north\",\"0123ABCD\"\r\n"));
    QCOMPARE(tableDump(), QString("5|2008-05-03 23:59:00|0000E1|Before|1\n"
                                  "6|2008-05-07 00:00:00|0000E2|After|1"));
    QCOMPARE(boxes.texts(),
             QStringList(
                 {"Warning: This action will permanently delete the events from the "
                  "database.\r\nAre you sure you want to continue?",
                  "Events Archived Successfully\r\nNumber of Events = 4\r\nFileName =  " + path}));
    QCOMPARE(boxes.boxes[1].icon, Boxes::Icon::Information);
    QVERIFY(dialog.OK());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.StartDate(), QDate(2008, 5, 4));
}

void tst_archive::nothingIsDeleted_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("boxStarts"); // after the confirmation
    QTest::addColumn<bool>("closed");
    const QString confirm = "Warning: This action will permanently delete";
    QTest::newRow("confirmation refused")
        << "" << QList<int>{Boxes::AnswerNo} << QStringList() << QStringList{confirm} << false;
    // Checked before the question: nobody is asked to confirm a delete that cannot happen.
    QTest::newRow("start after end")
        << "reversed" << QList<int>() << QStringList()
        << QStringList{"The start date is later than the end date. Please correct the dates."}
        << false;
    QTest::newRow("file dialog cancelled")
        << "" << QList<int>() << QStringList{""} << QStringList{confirm} << true;
    QTest::newRow("name in use, then cancelled")
        << "" << QList<int>() << QStringList{"existing.csv", ""}
        << QStringList{confirm, "That filename is already in use. Please choose another filename"}
        << true;
    // Nobody, root included, may create a file there.
    QTest::newRow("unwritable folder")
        << "" << QList<int>() << QStringList{"/proc/Archive.csv"}
        << QStringList{confirm, "File Save Error: Archive Not Saved.  Please Try again.\r\n"}
        << false;
    QTest::newRow("delete fails") << "trigger" << QList<int>() << QStringList{"archive.csv"}
                                  << QStringList{confirm, "Error 19 in frmArchive::ArchiveEvents"}
                                  << false;
}

void tst_archive::nothingIsDeleted() {
    QFETCH(QString, setup);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, files);
    QFETCH(QStringList, boxStarts);
    QFETCH(bool, closed);
    QDir out(home->file("out"));
    out.mkpath(".");
    QFile existing(out.filePath("existing.csv"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("kept");
    existing.close();
    if (setup == "trigger")
        gConn->ExecuteScript("CREATE TRIGGER keepEvents BEFORE DELETE ON tblEvents "
                             "BEGIN SELECT RAISE(ABORT, 'kept'); END;");
    for (QString& f : files)
        if (!f.isEmpty() && QDir::isRelativePath(f))
            f = out.filePath(f);
    const QString before = tableDump();

    BoxRecorder boxes;
    boxes.answers = answers;
    FileAnswers fileAnswers(files);
    frmArchive dialog;
    if (setup == "reversed")
        pressOk(dialog, QDate(2008, 5, 7), QDate(2008, 5, 4));
    else
        pressOk(dialog, QDate(2008, 5, 4), QDate(2008, 5, 6));

    QCOMPARE(boxes.boxes.size(), boxStarts.size());
    for (int i = 0; i < boxStarts.size(); ++i)
        QVERIFY2(boxes.boxes[i].text.startsWith(boxStarts[i]), qPrintable(boxes.boxes[i].text));
    QCOMPARE(fileAnswers.dialogs.size(), files.size());
    QCOMPARE(tableDump(), before);
    QCOMPARE(out.entryList(QDir::Files | QDir::Hidden), QStringList{"existing.csv"});
    QCOMPARE(readAll(existing.fileName()), QByteArray("kept"));
    QVERIFY(!QFile::exists("/proc/Archive.csv"));
    QCOMPARE(dialog.isVisible(), !closed);
    QVERIFY(!dialog.OK());
}

// Every touch of the range once in the file, in time order, none of them left behind.
void tst_archive::manyTouchesReadBack() {
    addManyTouches(6, 1500);
    QStringList expected;
    for (const DbRow& r : gConn->Query(
             "SELECT * FROM tblEvents WHERE dtDateTime BETWEEN '2008-06-02' AND '2008-06-05 "
             "23:59:59' ORDER BY dtDateTime, ID"))
        expected << QStringList{r.text("dtDateTime").left(10),
                                r.text("dtDateTime").mid(11, 5),
                                r.text("tButtonCode"),
                                QStringList{"User", "Location", "Event", ""}.at(
                                    int(r.integer("wGroupType"))),
                                r.text("tGroupName"),
                                r.text("tButtonName"),
                                r.text("tPipeID")}
                        .join('|');
    QCOMPARE(expected.size(), 6000);
    const QString path = home->file("many.csv");
    BoxRecorder boxes;
    FileAnswers files({path});
    frmArchive dialog;
    pressOk(dialog, QDate(2008, 6, 2), QDate(2008, 6, 5));
    QVERIFY(dialog.OK());
    QCOMPARE(boxes.boxes.last().text.section("\r\n", 1, 1), QString("Number of Events = 6000"));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QStringList> records = readCsv(file.readAll());
    QCOMPARE(records.size(), 6001);
    QCOMPARE(records.first().join('|'), QString("Date|Time|Button ID|Type|Group Name|Button "
                                                "Name|Reader ID"));
    QStringList read;
    for (int i = 1; i < records.size(); ++i)
        read << records.at(i).join('|');
    QCOMPARE(read, expected);
    QCOMPARE(gConn->Query("SELECT count(*) AS n FROM tblEvents WHERE dtDateTime LIKE '2008-06%'")
                 .first()
                 .integer("n"),
             3000);
    QVERIFY(!QFile::exists(gConn->Path() + "-journal"));
}

// Cancel while the file is written: the partial file goes, every touch stays, and the dialog
// stays open for another try.
void tst_archive::cancelWhileWriting() {
    addManyTouches(4, 2000);
    const QString before = tableDump();
    const QString path = home->file("cancelled.csv");
    BoxRecorder boxes;
    FileAnswers files({path});
    frmArchive dialog;
    qint64 sizeAtCancel = -1;
    bool chosenAtCancel = true;
    QStringList partsAtCancel;
    QTimer canceller;
    connect(&canceller, &QTimer::timeout, &dialog, [&] {
        auto* progress = dialog.findChild<QProgressDialog*>();
        if (!progress || !progress->isVisible() || progress->value() < 500)
            return;
        // Written under a name of its own until it is whole.
        chosenAtCancel = QFile::exists(path);
        partsAtCancel = QDir(home->path()).entryList({"cancelled.csv.*.part"}, QDir::Files);
        if (partsAtCancel.size() == 1)
            sizeAtCancel = QFileInfo(home->file(partsAtCancel.first())).size();
        QTest::mouseClick(progress->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        canceller.stop();
    });
    canceller.start(0);
    pressOk(dialog, QDate(2008, 6, 1), QDate(2008, 6, 4));

    QCOMPARE(partsAtCancel.size(), 1);
    QVERIFY(!chosenAtCancel);
    QVERIFY2(sizeAtCancel > 0, "cancelled after part of the file was written");
    QVERIFY(!QFile::exists(path));
    QVERIFY(QDir(home->path()).entryList({"cancelled.csv*"}).isEmpty());
    QCOMPARE(tableDump(), before);
    QCOMPARE(boxes.boxes.size(), 1); // the confirmation, nothing after it
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.OK());
    QVERIFY(!dialog.findChild<QProgressDialog*>() ||
            !dialog.findChild<QProgressDialog*>()->isVisible());
}

// A disk that fills while the file is written: the system's reason in the box and the log,
// no file, every touch kept.
void tst_archive::fullDisk() {
    addManyTouches(1, 3000); // a file larger than the room left
    const QString before = tableDump();
    TightFolder disk(home->file("disk"), TightFolder::Full, 64 * 1024);
    if (!disk.usable())
        QSKIP(qPrintable(disk.how));
    qInfo("full disk: %s", qPrintable(disk.how));
    const QString path = home->file("disk/archive.csv");
    BoxRecorder boxes;
    FileAnswers files({path});
    frmArchive dialog;
    disk.close();
    pressOk(dialog, QDate(2008, 5, 1), QDate(2008, 6, 30));
    const QStringList texts = boxes.texts();
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts.last(),
             "File Save Error: Archive Not Saved.  Please Try again.\r\n" + disk.reason);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(tableDump(), before);
    QVERIFY(dialog.isVisible());
    QVERIFY2(home->errorLog().contains("\tArchive not saved to " + path + ": " + disk.reason),
             qPrintable(home->errorLog()));
}

// A crash while the file is written leaves nothing under the chosen name and every touch; the
// next archive to that name works.
void tst_archive::killedWhileWriting() {
    addManyTouches(3, 2000);
    const QString before = tableDump();
    const QString path = home->file("out/killed.csv");
    QDir().mkpath(home->file("out"));

    QProcess child;
    child.start(ARCHIVE_CHILD, {gConn->Path(), path, "2008-06-01", "2008-06-03"});
    QVERIFY(child.waitForStarted());
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += child.readAllStandardOutput()).contains("writing") ||
                                 child.state() != QProcess::Running,
                             20000);
    QVERIFY2(child.state() == QProcess::Running, said.constData());
    const QStringList parts = QDir(home->file("out")).entryList({"killed.csv.*.part"});
    QCOMPARE(parts.size(), 1);
    QVERIFY(QFileInfo(home->file("out/" + parts.first())).size() > 0);
    child.kill();
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    QVERIFY(!QFile::exists(path));
    QCOMPARE(tableDump(), before);

    BoxRecorder boxes;
    FileAnswers files({path});
    frmArchive dialog;
    pressOk(dialog, QDate(2008, 6, 1), QDate(2008, 6, 3));
    QVERIFY(dialog.OK());
    QCOMPARE(boxes.boxes.last().text.section("\r\n", 1, 1), QString("Number of Events = 6000"));
    QCOMPARE(readCsv(readAll(path)).size(), 6001);
    // The touches the killed archive left in clear are gone with it.
    QCOMPARE(QDir(home->file("out")).entryList({"killed.csv.*"}), QStringList());
    QCOMPARE(gConn->Query("SELECT count(*) AS n FROM tblEvents WHERE dtDateTime LIKE '2008-06%'")
                 .first()
                 .integer("n"),
             0);
}

// A file that takes the chosen name while the archive is written is never replaced: the
// archive is not saved, and every touch stays.
void tst_archive::nameTakenWhileWriting() {
    addManyTouches(4, 2000);
    const QString before = tableDump();
    const QString path = home->file("taken.csv");
    BoxRecorder boxes;
    FileAnswers files({path});
    frmArchive dialog;
    QTimer intruder;
    connect(&intruder, &QTimer::timeout, &dialog, [&] {
        if (QDir(home->path()).entryList({"taken.csv.*.part"}).isEmpty())
            return;
        QFile other(path);
        if (other.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            other.write("someone else's");
        intruder.stop();
    });
    intruder.start(0);
    pressOk(dialog, QDate(2008, 6, 1), QDate(2008, 6, 4));

    QCOMPARE(boxes.texts().size(), 2);
    QCOMPARE(boxes.texts().last(), "File Save Error: Archive Not Saved.  Please Try again.\r\n" +
                                       QString::fromLocal8Bit(strerror(EEXIST)));
    QCOMPARE(readAll(path), QByteArray("someone else's"));
    QCOMPARE(QDir(home->path()).entryList({"taken.csv*"}), QStringList{"taken.csv"});
    QCOMPARE(tableDump(), before);
    QVERIFY(!dialog.OK());
}

QTEST_MAIN(tst_archive)
#include "tst_archive.moc"
