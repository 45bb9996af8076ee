#include "mSetup.h"

#include "Database.h"
#include "mGlobals.h"

#include <QSet>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

int count(DbConnection& db, const QString& sql, const QVariantList& params) {
    return static_cast<int>(db.Query(sql, params).first().integer(QStringLiteral("n")));
}

QString firstFreeName(const QString& base, const QStringList& listed, int digits) {
    const QSet<QString> taken(listed.begin(), listed.end());
    for (int n = 1; n <= 999; ++n) {
        const QString candidate =
            base + QLatin1Char(' ') + QStringLiteral("%1").arg(n, digits, 10, QLatin1Char('0'));
        if (!taken.contains(candidate))
            return candidate;
    }
    return QString();
}

} // namespace

QVector<cGroupRow> ReadGroups(DbConnection& db) {
    QVector<cGroupRow> rows;
    for (const DbRow& r :
         db.Query(QStringLiteral("SELECT ID, tName, tDesc, wType FROM tblListItems ORDER BY ID"))) {
        cGroupRow row;
        row.ID = r.integer(QStringLiteral("ID"));
        row.tName = r.text(QStringLiteral("tName"));
        row.tDesc = r.text(QStringLiteral("tDesc"));
        row.wType = static_cast<int>(r.integer(QStringLiteral("wType")));
        rows << row;
    }
    return rows;
}

QVector<cTourRow> ReadTours(DbConnection& db) {
    QVector<cTourRow> rows;
    for (const DbRow& r : db.Query(QStringLiteral(
             "SELECT ID, tName, tDesc, iTolerance, dtStartTime FROM tblTours ORDER BY ID"))) {
        cTourRow row;
        row.ID = r.integer(QStringLiteral("ID"));
        row.tName = r.text(QStringLiteral("tName"));
        row.tDesc = r.text(QStringLiteral("tDesc"));
        row.iTolerance = static_cast<int>(r.integer(QStringLiteral("iTolerance")));
        const QString stored = r.text(QStringLiteral("dtStartTime"));
        row.dtStartTime = QTime::fromString(stored, QStringLiteral("HH:mm:ss"));
        row.StartTimeText =
            row.dtStartTime.isValid() ? row.dtStartTime.toString(QStringLiteral("HH:mm")) : stored;
        rows << row;
    }
    return rows;
}

QVector<cReaderRow> ReadReaders(DbConnection& db) {
    QVector<cReaderRow> rows;
    for (const DbRow& r : db.Query(
             QStringLiteral("SELECT tReaderId, tDescription FROM tblReaders ORDER BY rowid"))) {
        cReaderRow row;
        row.tReaderId = r.text(QStringLiteral("tReaderId"));
        row.tDescription = r.text(QStringLiteral("tDescription"));
        rows << row;
    }
    return rows;
}

QString GetNewItemName(const QString& base, const QStringList& listed) {
    return firstFreeName(base, listed, 3);
}

QString GetNewReaderName(const QString& base, const QStringList& listedDescriptions) {
    return firstFreeName(base, listedDescriptions, 0);
}

qint64 AddGroupRow(DbConnection& db, int groupType, const QString& name) {
    return db.Insert(
        QStringLiteral("INSERT INTO tblListItems (tName, tDesc, wType) VALUES (?, '', ?)"),
        {name, groupType});
}

int GroupButtonCount(DbConnection& db, qint64 groupId) {
    return count(db, QStringLiteral("SELECT count(*) AS n FROM tblButtons WHERE lParentID = ?"),
                 {groupId});
}

void DeleteGroupRows(DbConnection& db, qint64 groupId) {
    DbTransaction transaction(db);
    db.Execute(QStringLiteral("DELETE FROM tblListItems WHERE ID = ?"), {groupId});
    db.Execute(QStringLiteral("DELETE FROM tblButtons WHERE lParentID = ?"), {groupId});
    transaction.Commit();
}

qint64 AddTourRow(DbConnection& db, const QString& name) {
    return db.Insert(QStringLiteral("INSERT INTO tblTours (tName, tDesc, iTolerance, dtStartTime) "
                                    "VALUES (?, ' ', 5, '00:00:00')"),
                     {name});
}

int TourPointCount(DbConnection& db, qint64 tourId) {
    return count(db, QStringLiteral("SELECT count(*) AS n FROM tblTourPoints WHERE lParentID = ?"),
                 {tourId});
}

void DeleteTourRows(DbConnection& db, qint64 tourId) {
    DbTransaction transaction(db);
    db.Execute(QStringLiteral("DELETE FROM tblTours WHERE ID = ?"), {tourId});
    db.Execute(QStringLiteral("DELETE FROM tblTourPoints WHERE lParentID = ?"), {tourId});
    transaction.Commit();
}

qint64 CopyTourRows(DbConnection& db, qint64 sourceId, const QString& name) {
    DbTransaction transaction(db);
    const qint64 tourId = AddTourRow(db, name);
    db.Execute(QStringLiteral("INSERT INTO tblTourPoints (lParentID, lIndex, dtTime, tButtonCode) "
                              "SELECT ?, lIndex, dtTime, tButtonCode FROM tblTourPoints "
                              "WHERE lParentID = ? ORDER BY ID"),
               {tourId, sourceId});
    transaction.Commit();
    return tourId;
}

void DeleteReaderRow(DbConnection& db, const QString& readerId) {
    db.Execute(QStringLiteral("DELETE FROM tblReaders WHERE tReaderId = ?"), {readerId});
}

QString DeleteGroupPrompt(int buttonCount) {
    // An empty group's question begins with an empty line.
    return (buttonCount > 0 ? Translate(QStringLiteral("The selected group contains sub-items"))
                            : QString()) +
           kLineBreak + Translate(QStringLiteral("Are you sure you want to delete it?"));
}

QString DeleteTourPrompt(int pointCount) {
    if (pointCount < 1)
        return Translate(QStringLiteral("Are you sure you want to delete this tour?")) + kLineBreak;
    return Translate(QStringLiteral("The selected Tour contains data.")) + kLineBreak +
           Translate(QStringLiteral("Are you sure you want to delete this tour?"));
}
