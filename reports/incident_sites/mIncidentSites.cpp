#include "mIncidentSites.h"

#include "Database.h"
#include "StoredMoment.h"
#include "incident/mIncidentTexts.h"
#include "mDeclareAPI.h"
#include "mGlobals.h"
#include "mGroupTypes.h"
#include "mSupport.h"

#include <QHash>
#include <QLocale>

namespace {

// Rows between two calls of the progress.
constexpr qint64 kProgressStep = 2000;

// A reader's current place: the site and location it touched last.
struct Place {
    qint64 siteKey = 0;
    QString site;
    QString location;
};

} // namespace

void CreateTempIncidentTable() {
    DropTempIncidentTable();
    gConn->Execute(gConn->ScratchDdl(QStringLiteral(
        "CREATE TABLE tblTempIncident ( tDate VARCHAR NULL, tTime VARCHAR NULL, tReaderName "
        "VARCHAR NULL, tSite VARCHAR NULL, tLocation VARCHAR NULL, tIncident VARCHAR NULL)")));
}

void DropTempIncidentTable() {
    try {
        // Emptied with the scratch file first, the drop costs nothing.
        gConn->EmptyScratchTable(QStringLiteral("tblTempIncident"));
        gConn->Execute(QStringLiteral("DROP TABLE tblTempIncident"));
    } catch (const AppError&) {
        // Absent unless a preview ran: nothing to say.
    }
}

std::unique_ptr<DbCursor> OpenIncidentEvents(const QDateTime& start, const QDateTime& end,
                                             const QString& readerId) {
    QString sql = QStringLiteral(
        "SELECT tblReaders.tReaderId, tblReaders.tDescription, tblListItems.wType, "
        "tblListItems.tName, tblEvents.dtDateTime, tblButtons.ID AS ButtonID, "
        "tblEvents.tButtonCode, tblButtons.tButtonName, tblButtons.tButtonDesc, "
        "tblListItems.ID AS GroupID, tblEvents.tPipeId "
        "FROM ((tblEvents INNER JOIN tblButtons ON tblEvents.tButtonCode = tblButtons.tButtonCode) "
        "INNER JOIN tblListItems ON tblButtons.lParentID = tblListItems.ID) "
        "INNER JOIN tblReaders ON tblEvents.tPipeId = tblReaders.tReaderId "
        "WHERE tblEvents.dtDateTime >= ? AND tblEvents.dtDateTime <= ? ");
    QVariantList params{SqlDateTimeFmt(start), SqlDateTimeFmt(end)};
    if (!readerId.isEmpty()) {
        sql += QStringLiteral("AND tblEvents.tPipeId = ? ");
        params << readerId;
    }
    sql += QStringLiteral("ORDER BY tblEvents.dtDateTime, tblReaders.tReaderId, tblEvents.ID");
    return std::make_unique<DbCursor>(*gConn, sql, params);
}

qint64 CountIncidentEvents(const QDateTime& start, const QDateTime& end, const QString& readerId) {
    QString sql = QStringLiteral(
        "SELECT count(*) AS n FROM tblEvents WHERE dtDateTime >= ? AND dtDateTime <= ?");
    QVariantList params{SqlDateTimeFmt(start), SqlDateTimeFmt(end)};
    if (!readerId.isEmpty()) {
        sql += QStringLiteral(" AND tPipeID = ?");
        params << readerId;
    }
    return gConn->Query(sql, params).first().integer(QStringLiteral("n"));
}

qint64 WriteTempIncidentRows(DbCursor& events, const IncidentFilters& filters, qint64 total,
                             const ReportDocument::Progress& progress) {
    DbTransaction transaction(*gConn);
    gConn->Execute(QStringLiteral("DELETE FROM tblTempIncident"));
    DbStatement insert(*gConn, QStringLiteral("INSERT INTO tblTempIncident (tDate, tTime, "
                                              "tReaderName, tSite, tLocation, tIncident) "
                                              "VALUES (?, ?, ?, ?, ?, ?)"));
    const int cType = events.indexOf(QStringLiteral("wType"));
    const int cGroupId = events.indexOf(QStringLiteral("GroupID"));
    const int cGroupName = events.indexOf(QStringLiteral("tName"));
    const int cButtonId = events.indexOf(QStringLiteral("ButtonID"));
    const int cButtonName = events.indexOf(QStringLiteral("tButtonName"));
    const int cReader = events.indexOf(QStringLiteral("tPipeId"));
    const int cDescription = events.indexOf(QStringLiteral("tDescription"));
    const int cTime = events.indexOf(QStringLiteral("dtDateTime"));

    // The rows come in time order: a day's date text is made once (as ShortDateOf and
    // ShortTimeOf make them, from the same reading of the stored time).
    QDate lastDay;
    QString lastDayText;
    const QString shortDate = GetShortDateFormat();
    const auto texts = [&](const QString& stored, QString& date, QString& time) {
        QDate day;
        int seconds = 0;
        if (!ParseStoredMoment(stored, &day, &seconds)) {
            date = stored;
            time.clear();
            return;
        }
        if (day != lastDay) {
            lastDay = day;
            lastDayText = QLocale().toString(day, shortDate);
        }
        date = lastDayText;
        time = QStringLiteral("%1:%2")
                   .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                   .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'));
    };
    QString dateText, timeText;
    // Each reader walks its own round: another reader's location never becomes this one's.
    QHash<QString, Place> places;
    qint64 written = 0;
    qint64 done = 0;
    while (events.Next()) {
        const QString reader = events.value(cReader).toString();
        Place& place = places[reader];
        const bool location = events.value(cType).toLongLong() == GroupTypeSite;
        if (location)
            place = {events.value(cGroupId).toLongLong(), events.value(cGroupName).toString(),
                     events.value(cButtonName).toString()};
        const bool accepted =
            (filters.eventId < 1 || events.value(cButtonId).toLongLong() == filters.eventId) &&
            (filters.readerId.isEmpty() || reader == filters.readerId) &&
            (filters.siteId < 1 || place.siteKey == filters.siteId);
        if (accepted) {
            const QString time = events.value(cTime).toString();
            texts(time, dateText, timeText);
            insert.Execute({dateText, timeText, events.value(cDescription).toString(), place.site,
                            place.location,
                            location ? QString() : events.value(cButtonName).toString()});
            ++written;
        }
        if (++done % kProgressStep == 0 && progress && !progress(done, total))
            return -1;
    }
    insert.Close();
    transaction.Commit();
    return written;
}
