// The year database that benchmarks build on: the rows the download would have written, a site
// whose tours the touches follow, and the same rows for the same seed.
#include "Database.h"
#include "DatabaseKey.h"
#include "YearDatabase.h"
#include "mBackup.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

YearDatabaseOptions small(quint64 seed = 7) {
    YearDatabaseOptions o;
    o.readers = 3;
    o.touchesPerDay = 60;
    o.days = 4;
    o.seed = seed;
    o.firstDay = QDate(2024, 2, 28); // over a leap day
    return o;
}

QByteArray eventsHash(const QString& path) {
    DbConnection db;
    db.Open(path, DatabaseKey());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    DbCursor rows(db, "SELECT * FROM tblEvents ORDER BY ID");
    while (rows.Next())
        for (int i = 0; i < rows.columnCount(); ++i)
            hash.addData(rows.value(i).toString().toUtf8() + '|');
    return hash.result();
}

} // namespace

class tst_yeardatabase : public QObject {
    Q_OBJECT
private slots:
    void rowsAsTheDownloadWritesThem();
    void toursMatchTheTouches();
    void sameSeedSameRows();
    void cachedAndRefused();

private:
    QTemporaryDir dir;
};

void tst_yeardatabase::rowsAsTheDownloadWritesThem() {
    const QString path = dir.filePath("rows.mdb");
    const YearDatabaseInfo info = MakeYearDatabase(path, small());
    QCOMPARE(info.touches, qint64(3 * 60 * 4));
    QCOMPARE(info.lastDay, QDate(2024, 3, 2));
    QString why;
    QVERIFY2(IsProgramDatabase(path, DatabaseKey(), &why), qPrintable(why));

    DbConnection db;
    db.Open(path, DatabaseKey());
    QCOMPARE(db.Query("SELECT count(*) AS n FROM tblEvents").first().integer("n"), info.touches);
    QCOMPARE(db.Query("SELECT count(*) AS n FROM tblReaders").first().integer("n"), 3);
    // Each reader has its touches on every day, the leap day too.
    QCOMPARE(db.Query("SELECT count(*) AS n FROM (SELECT tPipeID, substr(dtDateTime, 1, 10) "
                      "FROM tblEvents GROUP BY 1, 2 HAVING count(*) = 60)")
                 .first()
                 .integer("n"),
             12);
    QCOMPARE(db.Query("SELECT count(*) AS n FROM tblEvents WHERE dtDateTime LIKE '2024-02-29%'")
                 .first()
                 .integer("n"),
             180);

    // Every row as the download writes it: stored-text times at whole minutes, a reader of
    // tblReaders, and the button and group the download would have looked up.
    const QRegularExpression moment("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:00$");
    DbCursor rows(db, "SELECT e.*, b.tButtonName AS n, b.tButtonDesc AS d, g.wType AS t, "
                      "g.tName AS gn, g.tDesc AS gd, r.tReaderId AS reader "
                      "FROM tblEvents e LEFT JOIN tblButtons b ON b.tButtonCode = e.tButtonCode "
                      "LEFT JOIN tblListItems g ON g.ID = b.lParentID "
                      "LEFT JOIN tblReaders r ON r.tReaderId = e.tPipeID");
    QSet<qint64> types;
    int unknown = 0;
    while (rows.Next()) {
        QVERIFY(moment.match(rows.text("dtDateTime")).hasMatch());
        QVERIFY(moment.match(rows.text("dtDLDateTime")).hasMatch());
        QVERIFY(rows.text("dtDLDateTime") > rows.text("dtDateTime"));
        QCOMPARE(rows.text("reader"), rows.text("tPipeID"));
        QCOMPARE(rows.text("tButtonCode").size(), 6);
        if (rows.isNull("n")) { // a key no button has
            ++unknown;
            QCOMPARE(rows.text("tButtonName"), QString("Unknown"));
            QCOMPARE(rows.integer("wGroupType"), 0);
            QCOMPARE(rows.text("tGroupName"), QString());
            continue;
        }
        QCOMPARE(rows.text("tButtonName"), rows.text("n"));
        QCOMPARE(rows.text("tButtonDesc"), rows.text("d"));
        QCOMPARE(rows.integer("wGroupType"), rows.integer("t"));
        QCOMPARE(rows.text("tGroupName"), rows.text("gn"));
        QCOMPARE(rows.text("tGroupDesc"), rows.text("gd"));
        types.insert(rows.integer("wGroupType"));
    }
    QCOMPARE(types, (QSet<qint64>{0, 1, 2}));
    QVERIFY(unknown < 10);
}

// The first point of each reader's tour is touched at the tour's start time every day, and the
// tours' points are location buttons of the touches.
void tst_yeardatabase::toursMatchTheTouches() {
    YearDatabaseOptions options = small();
    options.touchesPerDay = 500;
    options.days = 2;
    const QString path = dir.filePath("tours.mdb");
    const YearDatabaseInfo info = MakeYearDatabase(path, options);
    DbConnection db;
    db.Open(path, DatabaseKey());
    QCOMPARE(db.Query("SELECT count(*) AS n FROM tblTourPoints p JOIN tblButtons b "
                      "ON b.tButtonCode = p.tButtonCode JOIN tblListItems g ON g.ID = b.lParentID "
                      "WHERE g.wType <> 1")
                 .first()
                 .integer("n"),
             0);
    int firstPointOnTime = 0;
    for (int r = 0; r < info.readerIds.size(); ++r) {
        const DbRow tour = db.Query("SELECT t.dtStartTime, p.tButtonCode FROM tblTours t JOIN "
                                    "tblTourPoints p ON p.lParentID = t.ID AND p.lIndex = 1 "
                                    "WHERE t.ID = ?",
                                    {info.tourOfReader.at(r)})
                               .first();
        for (const QDate& day : {info.firstDay, info.lastDay}) {
            const DbRows atStart = db.Query(
                "SELECT tButtonCode FROM tblEvents WHERE tPipeID = ? AND dtDateTime = ?",
                {info.readerIds.at(r), day.toString("yyyy-MM-dd ") + tour.text("dtStartTime")});
            QCOMPARE(atStart.count(), 1);
            firstPointOnTime += atStart.first().text("tButtonCode") == tour.text("tButtonCode");
            // The first slot of the round may hold an incident or a guard's key instead.
            const qint64 onTour =
                db.Query("SELECT count(*) AS n FROM tblEvents e JOIN tblTourPoints p ON "
                         "p.tButtonCode = e.tButtonCode AND p.lParentID = ? WHERE e.tPipeID = ? "
                         "AND e.dtDateTime LIKE ?",
                         {info.tourOfReader.at(r), info.readerIds.at(r),
                          day.toString("yyyy-MM-dd") + "%"})
                    .first()
                    .integer("n");
            QVERIFY2(onTour > 400, qPrintable(QString::number(onTour)));
        }
    }
    QVERIFY(firstPointOnTime >= 4); // of 6 reader-days
}

void tst_yeardatabase::sameSeedSameRows() {
    MakeYearDatabase(dir.filePath("a.mdb"), small(11));
    MakeYearDatabase(dir.filePath("b.mdb"), small(11));
    MakeYearDatabase(dir.filePath("c.mdb"), small(12));
    QCOMPARE(eventsHash(dir.filePath("a.mdb")), eventsHash(dir.filePath("b.mdb")));
    QVERIFY(eventsHash(dir.filePath("a.mdb")) != eventsHash(dir.filePath("c.mdb")));
}

void tst_yeardatabase::cachedAndRefused() {
    const QString folder = dir.filePath("cache");
    const QString first = CachedYearDatabase(folder, small(3));
    QCOMPARE(QFileInfo(first).fileName(), QString("year-r3-t60-d4-s3-2024-02-28.mdb"));
    const QDateTime made = QFileInfo(first).lastModified();
    QCOMPARE(CachedYearDatabase(folder, small(3)), first); // made once
    QCOMPARE(QFileInfo(first).lastModified(), made);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QFileInfo(first).fileName()});

    // An existing file is never written over.
    QFile other(dir.filePath("other.mdb"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("mine");
    other.close();
    QVERIFY_THROWS_EXCEPTION(AppError, MakeYearDatabase(other.fileName(), small()));
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("mine"));
    YearDatabaseOptions bad = small();
    bad.touchesPerDay = 0;
    QVERIFY_THROWS_EXCEPTION(AppError, MakeYearDatabase(dir.filePath("bad.mdb"), bad));
    QVERIFY(!QFile::exists(dir.filePath("bad.mdb")));
}

QTEST_GUILESS_MAIN(tst_yeardatabase)
#include "tst_yeardatabase.moc"
