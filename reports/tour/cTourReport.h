#pragma once

#include "cTourModel.h"

#include <QDate>
#include <QTime>

// The tour loader: one tour's header, its points due on a chosen day and one reader's touches
// around them, read from the shared connection.
class cTourReport {
public:
    QString TourName() const { return tourName; }
    void setTourName(const QString& value) { tourName = value; }
    QString TourDesc() const { return tourDesc; }
    void setTourDesc(const QString& value) { tourDesc = value; }
    qint16 Tolerance() const { return tolerance; }
    void setTolerance(qint16 value) { tolerance = value; }
    // The tolerance as an interval in seconds; 0 (and a line in the error log) when it is no
    // time window.
    qint64 GetToleranceAsDate() const;
    QTime StartTime() const { return startTime; }
    void setStartTime(const QTime& value) { startTime = value; }

    bool LoadTourHeader();
    bool LoadTourPoints();
    // False when the reader has no touch in the range (the user has been told) or when the
    // load failed (logged; LoadFailed() tells the two apart).
    bool LoadReaderEvents();
    bool LoadFailed() const { return loadFailed; }

    qint32 TourID() const { return tourID; }
    void setTourID(qint32 value) { tourID = value; }
    QString GetTourFullName() const { return tourName + QStringLiteral(" - ") + tourDesc; }
    colTourPoints& TourPoints() { return tourPoints; }
    colLocations& Buttons() { return buttons; }
    QDate StartDate() const { return startDate; }
    void setStartDate(const QDate& value) { startDate = value; }
    QString ReaderId() const { return readerId; }
    void setReaderId(const QString& value) { readerId = value; }
    // The margin loaded before the first and after the last point, in seconds.
    qint64 TourWindow() const { return tourWindow; }
    void setTourWindow(qint64 value) { tourWindow = value; }

    // The ends of the touch range; today at 00:00:00 (and a line in the error log) when
    // there is no point.
    TourTime::Moment RangeStart() const;
    TourTime::Moment RangeEnd() const;

    // The touch query; the reader and both ends are bound as stored text, so that the
    // reader-and-time index serves it.
    static const QString EventsQuery;

private:
    qint32 tourID = 0;
    QString tourName;
    QString tourDesc;
    qint16 tolerance = 0;
    QTime startTime = QTime(0, 0);
    QDate startDate = QDate(1899, 12, 30);
    QString readerId;
    colTourPoints tourPoints;
    colLocations buttons;
    qint64 tourWindow = 0;
    bool loadFailed = false;
};
