// The database layer on real SQLCipher files.
#include "Database.h"
#include "DatabaseKey.h"
#include "DatabaseMaker.h"
#include "TestHome.h"
#include "mSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <malloc.h>
#include <sqlite3.h>

class tst_database : public QObject {
    Q_OBJECT
private slots:
    void open_data();
    void open();
    void parametersAndRows();
    void transactionRollsBack();
    void schemaRefusesMalformedCodes_data();
    void schemaRefusesMalformedCodes();
    void compactionKeepsRows();
    void datesBindAsStoredText_data();
    void datesBindAsStoredText();
    void cursorAndPreparedStatement();
    void textsBoundAsStored();
    void tableNamesIgnoreCase();
    void cursorMemoryStaysFlat();
    void compactionOnlyWhenWorthwhile_data();
    void compactionOnlyWhenWorthwhile();

private:
    QTemporaryDir dir;
};

void tst_database::open_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("opens");
    QTest::newRow("delivered, right key") << "delivered" << DatabaseKey() << true;
    QTest::newRow("delivered, wrong key") << "delivered"
                                          << "wrong" << false;
    QTest::newRow("plain SQLite file") << "plain" << DatabaseKey() << false;
    QTest::newRow("missing file") << "missing" << DatabaseKey() << false;
    QTest::newRow("text file") << "text" << DatabaseKey() << false;
}

void tst_database::open() {
    QFETCH(QString, kind);
    QFETCH(QString, key);
    QFETCH(bool, opens);
    const QString path = dir.filePath(QString(QTest::currentDataTag()).replace(" ", "_") + ".mdb");
    if (kind == "delivered") {
        MakeDeliveredDatabase(path);
    } else if (kind == "plain") {
        DbConnection plain;
        plain.Create(path, QString()); // an empty key writes an unencrypted file
        plain.ExecuteScript("CREATE TABLE tblOperators (LoginName TEXT, Password TEXT);");
    } else if (kind == "text") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            "this is no database, but it is long enough to look like a header of one........\n");
    }
    const QByteArray before = QFile::exists(path) ? [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }() : QByteArray();

    DbConnection db;
    bool opened = false;
    int code = 0;
    try {
        db.Open(path, key);
        opened = db.State() == DbConnection::StateOpen;
    } catch (const AppError& e) {
        code = e.number;
    }
    QCOMPARE(opened, opens);
    if (!opens) {
        QVERIFY2(code > 0, "a database failure carries its positive SQLite code");
        QCOMPARE(db.State(), DbConnection::StateClosed);
        if (kind == "missing")
            QVERIFY2(!QFile::exists(path), "opening never creates a file");
        else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
        }
    }
}

void tst_database::parametersAndRows() {
    const QString path = dir.filePath("rows.mdb");
    MakeDeliveredDatabase(path);
    DbConnection db;
    db.Open(path, DatabaseKey());
    const QString hostile = "O'Brien'); DROP TABLE tblEvents; --";
    const qint64 first =
        db.Insert("INSERT INTO tblEvents (tButtonName, tPipeID, wGroupType) VALUES (?, ?, ?)",
                  {hostile, "0A0B0C0D", 2});
    const qint64 second = db.Insert("INSERT INTO tblEvents (tButtonName) VALUES (?)", {QVariant()});
    QCOMPARE(second, first + 1);
    const DbRows rows = db.Query("SELECT * FROM tblEvents ORDER BY ID");
    QCOMPARE(rows.count(), 2);
    QCOMPARE(rows.at(0).text("TBUTTONNAME"), hostile);
    QCOMPARE(rows.at(0).text("tpipeid"), QString("0A0B0C0D"));
    QCOMPARE(rows.at(0).integer("wGroupType"), 2);
    QVERIFY(rows.at(1).isNull("tButtonName"));
    QCOMPARE(rows.at(1).text("tButtonName"), QString()); // null reads as empty text
    QCOMPARE(db.Execute("UPDATE tblEvents SET tGroupName = ? WHERE ID = ?", {"g", first}), 1);
    try {
        db.Query("SELECT * FROM tblNoSuchTable");
        QFAIL("a missing table must fail");
    } catch (const AppError& e) {
        QCOMPARE(e.number, SQLITE_ERROR);
    }
}

void tst_database::transactionRollsBack() {
    const QString path = dir.filePath("tx.mdb");
    MakeDeliveredDatabase(path);
    DbConnection db;
    db.Open(path, DatabaseKey());
    try {
        DbTransaction t(db);
        db.Insert("INSERT INTO tblEvents (tButtonCode) VALUES ('000001')");
        db.Insert("INSERT INTO tblNoSuchTable VALUES (1)");
        t.Commit();
    } catch (const AppError&) {
    }
    QCOMPARE(db.Query("SELECT * FROM tblEvents").count(), 0);
    {
        DbTransaction t(db);
        db.Insert("INSERT INTO tblEvents (tButtonCode) VALUES ('000001')");
        t.Commit();
    }
    QCOMPARE(db.Query("SELECT * FROM tblEvents").count(), 1);
}

void tst_database::schemaRefusesMalformedCodes_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("button code ok")
        << "INSERT INTO tblButtons (lParentID, tButtonCode) VALUES (1, '0A1B2C')" << true;
    QTest::newRow("button code lower case")
        << "INSERT INTO tblButtons (lParentID, tButtonCode) VALUES (1, '0a1b2c')" << false;
    QTest::newRow("button code five digits")
        << "INSERT INTO tblButtons (lParentID, tButtonCode) VALUES (1, 'ABC12')" << false;
    QTest::newRow("reader id ok") << "INSERT INTO tblReaders VALUES ('0123ABCD', 'r')" << true;
    QTest::newRow("reader id short") << "INSERT INTO tblReaders VALUES ('0123ABC', 'r')" << false;
    QTest::newRow("start time ok")
        << "INSERT INTO tblTours (tName, dtStartTime) VALUES ('t', '23:59:00')" << true;
    QTest::newRow("start time without seconds")
        << "INSERT INTO tblTours (tName, dtStartTime) VALUES ('t', '23:59')" << false;
    QTest::newRow("any touch is stored")
        << "INSERT INTO tblEvents (tButtonCode, wGroupType) VALUES ('?x', 9)" << true;
}

void tst_database::schemaRefusesMalformedCodes() {
    QFETCH(QString, sql);
    QFETCH(bool, accepted);
    const QString path = dir.filePath("checks.mdb");
    QFile::remove(path);
    MakeDeliveredDatabase(path);
    DbConnection db;
    db.Open(path, DatabaseKey());
    bool ok = true;
    try {
        db.Execute(sql);
    } catch (const AppError&) {
        ok = false;
    }
    QCOMPARE(ok, accepted);
}

void tst_database::compactionKeepsRows() {
    const QString path = dir.filePath("vacuum.mdb");
    MakeDeliveredDatabase(path);
    {
        DbConnection db;
        db.Open(path, DatabaseKey());
        for (int i = 0; i < 50; ++i)
            db.Insert("INSERT INTO tblEvents (tButtonCode) VALUES (?)", {QString::number(i)});
        db.Execute("DELETE FROM tblEvents WHERE ID <= 40");
        db.ExecuteScript("VACUUM;");
    }
    DbConnection db;
    db.Open(path, DatabaseKey());
    const DbRows rows = db.Query("SELECT ID FROM tblEvents ORDER BY ID");
    QCOMPARE(rows.count(), 10);
    QCOMPARE(rows.first().integer("ID"), 41);
    QCOMPARE(db.Query("SELECT Password FROM tblOperators WHERE LoginName = 'MASTER'")
                 .first()
                 .text("Password"),
             QString("master"));
    // New rows still get larger IDs than any row ever stored.
    QCOMPARE(db.Insert("INSERT INTO tblEvents (tButtonCode) VALUES ('x')"), 51);
}

// Qt's own texts ("2026-03-01T10:00:00.000") compare wrongly with every stored value.
void tst_database::datesBindAsStoredText_data() {
    QTest::addColumn<QVariant>("lower");
    QTest::addColumn<QVariant>("upper");
    QTest::addColumn<int>("found");
    QTest::newRow("QDateTime bounds") << QVariant(QDateTime(QDate(2026, 3, 1), QTime(10, 0)))
                                      << QVariant(QDateTime(QDate(2026, 3, 1), QTime(10, 30))) << 2;
    QTest::newRow("QDate bounds take the whole first day")
        << QVariant(QDate(2026, 3, 1)) << QVariant(QDate(2026, 3, 2)) << 3;
    QTest::newRow("stored-text bounds")
        << QVariant("2026-03-01 10:00:00") << QVariant("2026-03-01 10:30:00") << 2;
}

void tst_database::datesBindAsStoredText() {
    QFETCH(QVariant, lower);
    QFETCH(QVariant, upper);
    QFETCH(int, found);
    const QString path = dir.filePath("dates.mdb");
    QFile::remove(path);
    MakeDeliveredDatabase(path);
    DbConnection db;
    db.Open(path, DatabaseKey());
    for (const char* moment : {"2026-03-01 09:59:59", "2026-03-01 10:00:00", "2026-03-01 10:30:00",
                               "2026-03-02 00:00:01"})
        db.Insert("INSERT INTO tblEvents (dtDateTime) VALUES (?)", {QString(moment)});
    QCOMPARE(db.Query("SELECT ID FROM tblEvents WHERE dtDateTime >= ? AND dtDateTime <= ?",
                      {lower, upper})
                 .count(),
             found);
    // A time of day passes the CHECK of the tour tables.
    db.Insert("INSERT INTO tblTours (tName, dtStartTime) VALUES ('t', ?)", {QTime(23, 5)});
    QCOMPARE(db.Query("SELECT dtStartTime FROM tblTours").first().text("dtStartTime"),
             QString("23:05:00"));
}

void tst_database::cursorAndPreparedStatement() {
    const QString path = dir.filePath("cursor.mdb");
    MakeDeliveredDatabase(path);
    DbConnection db;
    db.Open(path, DatabaseKey());
    {
        DbTransaction t(db);
        DbStatement insert(db, "INSERT INTO tblEvents (tButtonCode, wGroupType) VALUES (?, ?)");
        for (int i = 1; i <= 5000; ++i)
            QCOMPARE(insert.Insert({QString("%1").arg(i, 6, 10, QChar('0')), i}), qint64(i));
        t.Commit();
    }
    DbCursor cursor(db, "SELECT ID, tButtonCode FROM tblEvents WHERE ID > ? ORDER BY ID", {10});
    QCOMPARE(cursor.columnNames(), QStringList({"ID", "tButtonCode"}));
    qint64 expected = 11;
    while (cursor.Next()) {
        QCOMPARE(cursor.integer("id"), expected);
        QCOMPARE(cursor.row().text("TBUTTONCODE"), QString("%1").arg(expected, 6, 10, QChar('0')));
        ++expected;
    }
    QCOMPARE(expected, qint64(5001));
    QVERIFY(!cursor.Next()); // stays at the end
    QVERIFY_THROWS_EXCEPTION(AppError, cursor.value(0));

    // A failing row leaves the prepared statement usable for the next.
    db.ExecuteScript("CREATE UNIQUE INDEX ixTest ON tblEvents (wGroupType);");
    DbStatement insert(db, "INSERT INTO tblEvents (wGroupType) VALUES (?)");
    QVERIFY_THROWS_EXCEPTION(AppError, insert.Execute({5}));
    QCOMPARE(insert.Execute({6000}), 1);

    // An open cursor is finished by Close, so its table can be dropped.
    db.ExecuteScript("CREATE TABLE tblScratch (x TEXT); INSERT INTO tblScratch VALUES ('a');");
    DbCursor open(db, "SELECT x FROM tblScratch");
    QVERIFY(open.Next());
    open.Close();
    db.ExecuteScript("DROP TABLE tblScratch;");
    QVERIFY(!db.TableExists("tblScratch"));
}

// Bulk writes bind UTF-8 bytes as they are: an empty one is an empty text, not null, and the
// bytes may go as soon as the call returns.
void tst_database::textsBoundAsStored() {
    const QString path = dir.filePath("texts.mdb");
    MakeDeliveredDatabase(path);
    DbConnection db;
    db.Open(path, DatabaseKey());
    db.ExecuteScript("CREATE TABLE tblScratch (a TEXT, b TEXT, c TEXT NOT NULL);");
    DbStatement insert(db, "INSERT INTO tblScratch (a, b, c) VALUES (?, ?, ?)");
    {
        QByteArray gone = QString("Tür Süd").toUtf8();
        QCOMPARE(insert.ExecuteTexts({QByteArrayView(), gone, "12"}), 1);
        gone.fill('x');
    }
    // A failing row (c may not be null) throws and leaves the statement usable.
    QVERIFY_THROWS_EXCEPTION(AppError, insert.Execute({"a", "b", QVariant()}));
    QCOMPARE(insert.ExecuteTexts({"", "", "7"}), 1);

    DbCursor cursor(db, "SELECT a, typeof(a) AS t, b, c FROM tblScratch ORDER BY rowid");
    QVERIFY(cursor.Next());
    QCOMPARE(cursor.text("t"), QString("text"));
    QCOMPARE(cursor.utf8View(0), QByteArrayView(""));
    QCOMPARE(QString::fromUtf8(cursor.utf8View(2)), QString("Tür Süd"));
    QCOMPARE(cursor.int64(3), qint64(12));
    QVERIFY(cursor.Next());
    QCOMPARE(cursor.int64(3), qint64(7));
    QVERIFY(!cursor.Next());
    QVERIFY_THROWS_EXCEPTION(AppError, cursor.utf8View(0));
}

void tst_database::tableNamesIgnoreCase() {
    const QString path = dir.filePath("names.mdb");
    MakeDeliveredDatabase(path);
    DbConnection db;
    db.Open(path, DatabaseKey());
    QVERIFY(db.TableExists("tblEvents"));
    QVERIFY(db.TableExists("TBLEVENTS"));
    QVERIFY(!db.TableExists("tblEvent"));
}

// A cursor over many rows holds one row at a time: the heap in use does not grow with them.
void tst_database::cursorMemoryStaysFlat() {
    const QString path = dir.filePath("flat.mdb");
    MakeDeliveredDatabase(path);
    DbConnection db;
    db.Open(path, DatabaseKey());
    {
        DbTransaction t(db);
        DbStatement insert(db, "INSERT INTO tblEvents (dtDateTime, tButtonCode, tButtonName, "
                               "tGroupName, tPipeID) VALUES (?, ?, ?, ?, '0C5E0001')");
        for (int i = 0; i < 150000; ++i)
            insert.Execute({QString("2025-01-01 %1").arg(i), QString::number(i),
                            QString("Location with a longish name %1").arg(i), "North Gate"});
        t.Commit();
    }
    DbCursor cursor(db, "SELECT * FROM tblEvents ORDER BY dtDateTime");
    qint64 rows = 0, bytes = 0;
    size_t early = 0, late = 0;
    while (cursor.Next()) {
        for (int i = 0; i < cursor.columnCount(); ++i)
            bytes += cursor.value(i).toString().size();
        if (++rows == 1000)
            early = mallinfo2().uordblks;
    }
    late = mallinfo2().uordblks;
    QCOMPARE(rows, 150000);
    QVERIFY(bytes > 10 * 1000 * 1000); // what a snapshot would hold
    QVERIFY2(late < early + 2 * 1024 * 1024,
             qPrintable(QString("heap %1 at row 1000, %2 at the end").arg(early).arg(late)));
}

void tst_database::compactionOnlyWhenWorthwhile_data() {
    QTest::addColumn<int>("deleted"); // of 2000 touches
    QTest::addColumn<bool>("compacted");
    QTest::newRow("a few rows gone") << 100 << false;
    QTest::newRow("half of them gone") << 1000 << true;
}

// The start's compaction runs only when it gives back a tenth of the file, and keeps every row.
void tst_database::compactionOnlyWhenWorthwhile() {
    QFETCH(int, deleted);
    QFETCH(bool, compacted);
    const QString path = dir.filePath("compact.mdb");
    QFile::remove(path);
    MakeDeliveredDatabase(path);
    qint64 freeBefore = 0;
    {
        DbConnection db;
        db.Open(path, DatabaseKey());
        DbTransaction t(db);
        DbStatement insert(db, "INSERT INTO tblEvents (tButtonName) VALUES (?)");
        for (int i = 0; i < 2000; ++i)
            insert.Execute({QString(100, QChar('a' + i % 26))});
        t.Commit();
        db.Execute("DELETE FROM tblEvents WHERE ID <= ?", {deleted});
        freeBefore = db.Query("PRAGMA freelist_count").first().integer("freelist_count");
        QVERIFY(freeBefore > 0);
    }
    const QString temp = dir.filePath("temp.mdb");
    QFile leftover(temp);
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    int calls = 0;
    CompactDatabase(path, temp, DatabaseKey(), [&] { ++calls; });
    QVERIFY(!QFile::exists(temp));
    DbConnection db;
    db.Open(path, DatabaseKey());
    QCOMPARE(db.Query("PRAGMA freelist_count").first().integer("freelist_count"),
             compacted ? 0 : freeBefore);
    QCOMPARE(db.Query("SELECT count(*) AS n FROM tblEvents").first().integer("n"), 2000 - deleted);
    QCOMPARE(db.Query("PRAGMA user_version").first().integer("user_version"), 1);
}

QTEST_GUILESS_MAIN(tst_database)
#include "tst_database.moc"
