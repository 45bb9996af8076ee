#include "cTourPointList.h"

#include "mTourRules.h"

int cTourPointList::Add(const cTourPoint& point, int insertion) {
    const int position = insertion >= 1 && insertion <= Count() ? insertion : Count() + 1;
    points.insert(position - 1, point);
    return position;
}

int cTourPointList::Remove(int position) {
    if (position < 1 || position > Count())
        return 0;
    points.remove(position - 1);
    return qMin(position, Count());
}

int cTourPointList::MoveTourPoint(int from, int to) {
    const int count = Count();
    if (from < 1 || from > count)
        return 0;
    if (from == to)
        return from;
    if (to < 1)
        return 1;
    if (to > count + 1)
        return count;
    const cTourPoint moved = points.takeAt(from - 1);
    const int position = from < to ? to - 1 : to;
    points.insert(position - 1, moved);
    return position;
}

QVector<int> cTourPointList::Intervals() const {
    QVector<int> intervals;
    intervals.reserve(points.size());
    for (const cTourPoint& p : points)
        intervals.append(p.minutes);
    return intervals;
}

QStringList cTourPointList::Codes() const {
    QStringList codes;
    codes.reserve(points.size());
    for (const cTourPoint& p : points)
        codes.append(p.buttonCode);
    return codes;
}

QVector<QTime> cTourPointList::ExpectedTimes(const QTime& start) const {
    return ::ExpectedTimes(start, Intervals());
}
