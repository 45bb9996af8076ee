// The event archive: the file it writes, byte for byte, and the touches it leaves behind.
#include "TestHome.h"
#include "frmArchive.h"
#include "mGlobals.h"

#include <QDateEdit>
#include <QDir>
#include <QPushButton>
#include <QtTest>

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
    QTest::newRow("start after end")
        << "reversed" << QList<int>() << QStringList()
        << QStringList{confirm, "There are no stored events within the dates you entered."}
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

QTEST_MAIN(tst_archive)
#include "tst_archive.moc"
