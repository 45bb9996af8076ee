#pragma once

#include "cTourPointList.h"

#include <QString>
#include <QTime>
#include <QVector>

class DbConnection;

// What the tour editor reads and writes. Failures throw AppError.

struct cSiteEntry {
    qint64 id = 0;
    QString name;
};

struct cLocationEntry {
    QString name;
    QString desc;
    QString buttonCode;
};

// The sites (groups of type 1) by name.
QVector<cSiteEntry> LoadSites(DbConnection& db);
// A site's location buttons in the order they were added.
QVector<cLocationEntry> LoadSiteLocations(DbConnection& db, qint64 siteId);
// A tour's points in their order. A point whose button is gone keeps its code and shows no
// site or location.
QVector<cTourPoint> LoadTourPoints(DbConnection& db, qint64 tourId);
// Replaces a tour's points by `points`, numbered 1, 2, 3 ... in one transaction: on a
// failure the former points stay.
void SaveTourPoints(DbConnection& db, qint64 tourId, const QVector<cTourPoint>& points);
// The number of location buttons (buttons of sites).
qint64 LocationsExist(DbConnection& db);

// The tour's own row as the setup page lists it.
struct cTourHeader {
    qint64 id = 0;
    QString name;
    QString desc;
    QTime startTime; // hours and minutes
    int tolerance = 5;
};
void UpdateTourRow(DbConnection& db, const cTourHeader& tour);
