#include "mTourData.h"

#include "Database.h"
#include "mGroupTypes.h"
#include "mTourRules.h"

QVector<cSiteEntry> LoadSites(DbConnection& db) {
    QVector<cSiteEntry> sites;
    const DbRows rows = db.Query(QStringLiteral("SELECT ID, tName FROM tblListItems "
                                                "WHERE wType = ? ORDER BY tName, ID"),
                                 {GroupTypeSite});
    for (const DbRow& row : rows)
        sites.append({row.integer(QStringLiteral("ID")), row.text(QStringLiteral("tName"))});
    return sites;
}

QVector<cLocationEntry> LoadSiteLocations(DbConnection& db, qint64 siteId) {
    QVector<cLocationEntry> locations;
    const DbRows rows =
        db.Query(QStringLiteral("SELECT tButtonName, tButtonDesc, tButtonCode FROM tblButtons "
                                "WHERE lParentID = ? ORDER BY ID"),
                 {siteId});
    for (const DbRow& row : rows)
        locations.append({row.text(QStringLiteral("tButtonName")),
                          row.text(QStringLiteral("tButtonDesc")),
                          row.text(QStringLiteral("tButtonCode"))});
    return locations;
}

QVector<cTourPoint> LoadTourPoints(DbConnection& db, qint64 tourId) {
    QVector<cTourPoint> points;
    const DbRows rows = db.Query(
        QStringLiteral("SELECT p.dtTime, p.tButtonCode, b.tButtonName, g.tName AS tSiteName "
                       "FROM (tblTourPoints p LEFT JOIN tblButtons b "
                       "ON p.tButtonCode = b.tButtonCode) "
                       "LEFT JOIN tblListItems g ON b.lParentID = g.ID "
                       "WHERE p.lParentID = ? ORDER BY p.lIndex, p.ID"),
        {tourId});
    for (const DbRow& row : rows) {
        cTourPoint p;
        p.minutes = qMax(0, StoredTimeToMinutes(row.text(QStringLiteral("dtTime"))));
        p.siteName = row.text(QStringLiteral("tSiteName"));
        p.locationName = row.text(QStringLiteral("tButtonName"));
        p.buttonCode = row.text(QStringLiteral("tButtonCode"));
        points.append(p);
    }
    return points;
}

void SaveTourPoints(DbConnection& db, qint64 tourId, const QVector<cTourPoint>& points) {
    DbTransaction transaction(db);
    db.Execute(QStringLiteral("DELETE FROM tblTourPoints WHERE lParentID = ?"), {tourId});
    DbStatement insert(db, QStringLiteral("INSERT INTO tblTourPoints "
                                          "(lParentID, lIndex, dtTime, tButtonCode) "
                                          "VALUES (?, ?, ?, ?)"));
    int index = 0;
    for (const cTourPoint& p : points)
        insert.Execute({tourId, ++index, MinutesToStoredTime(p.minutes), p.buttonCode});
    insert.Close();
    transaction.Commit();
}

qint64 LocationsExist(DbConnection& db) {
    const DbRows rows = db.Query(
        QStringLiteral(
            "SELECT count(*) AS n FROM tblButtons b JOIN tblListItems g ON b.lParentID = g.ID "
            "WHERE g.wType = ?"),
        {GroupTypeSite});
    return rows.isEmpty() ? 0 : rows.first().integer(QStringLiteral("n"));
}

void UpdateTourRow(DbConnection& db, const cTourHeader& tour) {
    db.Execute(QStringLiteral("UPDATE tblTours SET tName = ?, tDesc = ?, dtStartTime = ?, "
                              "iTolerance = ? WHERE ID = ?"),
               {tour.name, tour.desc, QTime(tour.startTime.hour(), tour.startTime.minute()),
                tour.tolerance, tour.id});
}
