#pragma once

#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>

// One point of a tour: a location with the minutes since the point before it (or since the
// tour's start time for the first point).
struct cTourPoint {
    int minutes = 0;
    QString siteName;     // empty when the button no longer exists
    QString locationName; // likewise
    QString buttonCode;
};

// The ordered points of the tour being edited. Positions are 1-based, as the list shows
// them; an operation answers the position to select afterwards (0: none).
class cTourPointList {
public:
    int Count() const { return static_cast<int>(points.size()); }
    const cTourPoint& Item(int position) const { return points.at(position - 1); }
    const QVector<cTourPoint>& Items() const { return points; }

    void Assign(QVector<cTourPoint> all) { points = std::move(all); }
    // Inserts before `insertion` (at the end when 0 or past the end).
    int Add(const cTourPoint& point, int insertion = 0);
    // The point now at that position is selected, or the last one.
    int Remove(int position);
    void Clear() { points.clear(); }
    // Moves the point at `from` so that it stands before the point that was at `to`
    // (count + 1: the end). Answers the moved point's new position; out of range moves
    // nothing.
    int MoveTourPoint(int from, int to);
    int Promote(int position) { return MoveTourPoint(position, position - 1); }
    int Demote(int position) { return MoveTourPoint(position, position + 2); }
    void SetMinutes(int position, int minutes) { points[position - 1].minutes = minutes; }

    QVector<int> Intervals() const;
    QStringList Codes() const;
    QVector<QTime> ExpectedTimes(const QTime& start) const;

private:
    QVector<cTourPoint> points;
};
