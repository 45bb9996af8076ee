#pragma once

#include "mGroupTypes.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>

class DbConnection;

// One row of each kind as the setup page lists it; the row's tag.
struct cGroupRow {
    qint64 ID = 0;
    QString tName;
    QString tDesc;
    int wType = 0;
};

struct cTourRow {
    qint64 ID = 0;
    QString tName;
    QString tDesc;
    int iTolerance = 0;
    QTime dtStartTime;     // invalid when the stored text is no time of day
    QString StartTimeText; // as listed: "HH:mm", or the stored text when it is no time
};

struct cReaderRow {
    QString tReaderId;
    QString tDescription;
};

Q_DECLARE_METATYPE(cGroupRow)
Q_DECLARE_METATYPE(cTourRow)
Q_DECLARE_METATYPE(cReaderRow)

// The rows of each kind (a null text reads as empty).
QVector<cGroupRow> ReadGroups(DbConnection& db);
QVector<cTourRow> ReadTours(DbConnection& db);
QVector<cReaderRow> ReadReaders(DbConnection& db);

// The first of "base 001" to "base 999" that is none of the listed names (compared exactly,
// letter case included); empty when all are taken.
QString GetNewItemName(const QString& base, const QStringList& listed);
// The same for readers: "base 1" to "base 999", no leading zeros, against the descriptions.
QString GetNewReaderName(const QString& base, const QStringList& listedDescriptions);

// Writes. Each change of several rows is one transaction: it happens whole or not at all.
qint64 AddGroupRow(DbConnection& db, int groupType, const QString& name);
int GroupButtonCount(DbConnection& db, qint64 groupId);
// The group and its buttons; touches and tour points of those buttons stay.
void DeleteGroupRows(DbConnection& db, qint64 groupId);
// A new tour with the defaults: description " ", tolerance 5, start 00:00.
qint64 AddTourRow(DbConnection& db, const QString& name);
int TourPointCount(DbConnection& db, qint64 tourId);
// The tour and its points.
void DeleteTourRows(DbConnection& db, qint64 tourId);
// A new default tour holding copies of the source's points in their order; its ID.
qint64 CopyTourRows(DbConnection& db, qint64 sourceId, const QString& name);
// The reader; its stored touches stay.
void DeleteReaderRow(DbConnection& db, const QString& readerId);

// The questions asked before a delete (translated).
QString DeleteGroupPrompt(int buttonCount);
QString DeleteTourPrompt(int pointCount);
