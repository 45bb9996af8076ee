#include "mCustomReport.h"

#include "Database.h"
#include "mGlobals.h"
#include "mGroupTypes.h"
#include "mSupport.h"

const char* const kCustomTable = "tblCustom";

namespace {

const QString kCreate =
    QStringLiteral("CREATE TABLE tblCustom ( tDateTime VARCHAR NULL, tButtonCode VARCHAR NULL, "
                   "tButtonName VARCHAR NULL, tLocationDesc VARCHAR NULL, tGroupName VARCHAR NULL, "
                   "tType VARCHAR NULL)");

// The rows of a chunk: a day ("dtDateTime < ?", the next day) or the rest of the range
// ("dtDateTime <= ?", its end). One upper bound each, so the index scan stops there.
QString copySql(const char* upperBound) {
    return QStringLiteral(
               "INSERT INTO tblCustom (tDateTime, tButtonCode, tButtonName, tLocationDesc, "
               "tGroupName, tType) SELECT dtDateTime, COALESCE(tButtonCode, ''), "
               "COALESCE(tButtonName, ''), COALESCE(tButtonDesc, ''), COALESCE(tGroupName, ''), "
               "CASE wGroupType WHEN %1 THEN ? WHEN %2 THEN ? ELSE '' END FROM tblEvents "
               "WHERE dtDateTime >= ? AND ")
               .arg(GroupTypeSite)
               .arg(GroupTypeEventBook) +
           QLatin1String(upperBound) + QStringLiteral(" ORDER BY dtDateTime, ID");
}

// Answered from the index on dtDateTime: the stretches without touches cost nothing, however
// long the range.
const QString kNextTouch =
    QStringLiteral("SELECT min(dtDateTime) AS t FROM tblEvents WHERE dtDateTime >= ? AND "
                   "dtDateTime <= ?");

QDate dayOf(const QString& stored) {
    return QDate::fromString(stored.left(10), QStringLiteral("yyyy-MM-dd"));
}

} // namespace

int PresetDays(int index) {
    switch (index) {
    case 0:
        return 0;
    case 1:
        return 7;
    case 2:
        return 30;
    default:
        return -1;
    }
}

qint64 CopyCustomRows(DbConnection& db, const QString& startText, const QString& endText,
                      WorkObserver* observer) {
    const QString location = Translate(QStringLiteral("Location"));
    const QString event = Translate(QStringLiteral("Event"));
    const QDate firstDay = dayOf(startText);
    const qint64 days = qMax<qint64>(1, firstDay.daysTo(dayOf(endText)) + 1);

    DbTransaction transaction(db);
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS tblCustom"));
    db.Execute(db.ScratchDdl(kCreate));
    if (observer && !observer->Step(0))
        return -1;
    DbStatement copyDay(db, copySql("dtDateTime < ?"));
    DbStatement copyRest(db, copySql("dtDateTime <= ?"));
    qint64 copied = 0;
    QString from = startText;
    for (;;) {
        const QString next =
            db.Query(kNextTouch, {from, endText}).first().text(QStringLiteral("t"));
        if (next.isEmpty())
            break;
        // A day at a time up to the range's last day; a time that names no day, or whose next
        // day does not sort after it, takes the rest of the range at once.
        const QDate day = dayOf(next);
        const QString nextDay =
            day.isValid() ? SqlDateFmt(day.addDays(1)) + QStringLiteral(" 00:00:00") : QString();
        if (nextDay.isEmpty() || nextDay <= next || nextDay > endText) {
            copied += copyRest.Execute({location, event, from, endText});
            break;
        }
        copied += copyDay.Execute({location, event, from, nextDay});
        from = nextDay;
        if (observer) {
            const qint64 done = firstDay.isValid() ? firstDay.daysTo(day) + 1 : 0;
            if (!observer->Step(qBound(qint64(0), done * 1000 / days, qint64(1000))))
                return -1;
        }
    }
    copyDay.Close();
    copyRest.Close();
    transaction.Commit();
    return copied;
}

void EmptyCustomTable(DbConnection& db, WorkObserver* observer) {
    if (!db.TableExists(QLatin1String(kCustomTable)))
        return;
    // In the scratch database a year of rows goes with its file, at once.
    if (db.EmptyScratchTable(QLatin1String(kCustomTable)))
        return;
    // The rows were written with rowids from 1 up; a year of them takes seconds to remove,
    // about as long in stretches as in one statement, and stretches can show how far it is.
    constexpr qint64 kStretch = 50000;
    const qint64 last = db.Query(QStringLiteral("SELECT max(rowid) AS n FROM tblCustom"))
                            .first()
                            .integer(QStringLiteral("n"));
    DbTransaction transaction(db);
    DbStatement remove(db, QStringLiteral("DELETE FROM tblCustom WHERE rowid <= ?"));
    for (qint64 upTo = kStretch; upTo < last; upTo += kStretch) {
        remove.Execute({upTo});
        if (observer)
            observer->Step(upTo * 1000 / last);
    }
    remove.Close();
    db.Execute(QStringLiteral("DELETE FROM tblCustom"));
    transaction.Commit();
}
