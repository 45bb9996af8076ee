#pragma once

#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>

// The rules a tour keeps: intervals in whole minutes, expected times that wrap past midnight,
// and the checks made before a tour is saved.

// The longest interval and the longest tour: a tour spans less than a day.
constexpr int kMaxTourMinutes = 1439;
constexpr int kMaxTolerance = 59;
// Minutes a new tour point gets when no usable default is stored.
constexpr int kDefaultTourInterval = 10;

// A number as the user types it: trimmed, an optional sign, digits and at most one decimal
// separator ("." or the system's). False for anything else.
bool ParseTypedNumber(const QString& text, double* value);
// Halves go to the even neighbour (12.5 gives 12, 13.5 gives 14).
qint64 RoundHalfEven(double value);

// An interval is stored as a time of day: 90 minutes is "01:30:00".
QString MinutesToStoredTime(int minutes);
// Hours times 60 plus minutes; -1 for a text that is no stored time.
int StoredTimeToMinutes(const QString& stored);

// The default interval of new points from its stored text: 1 to 1439 is taken, anything
// else gives kDefaultTourInterval.
int DefaultIntervalFromSetting(const QString& stored);

// Expected time of each point: start plus the running sum of the intervals, past midnight.
QVector<QTime> ExpectedTimes(const QTime& start, const QVector<int>& intervals);

// True when a name equals an element exactly (letter case counts).
bool NameExists(const QString& name, const QStringList& existingNames);
// True when a point has the same button code as the point before it.
bool SequentialDuplicateExists(const QStringList& codes);
// Twice the tolerance plus the intervals of all points but the first stays below a day.
bool TourTimeIsValid(double tolerance, const QVector<int>& intervals);
