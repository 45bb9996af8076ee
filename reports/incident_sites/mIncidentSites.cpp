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
#include <cstring>

namespace {

// Rows between two calls of the progress.
constexpr qint64 kProgressStep = 2000;

// A reader's current place: the site and location it touched last.
struct Place {
    qint64 siteKey = 0;
    QByteArray site;
    QByteArray location;
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

    // The texts travel as the stored UTF-8 bytes, without a detour through QString. The rows
    // come in time order: a day's date text is made once (as ShortDateOf and ShortTimeOf make
    // them, from the same reading of the stored time).
    QDate lastDay;
    QByteArray lastDayText;
    const QString shortDate = GetShortDateFormat();
    QByteArray dateText, timeText(5, '0');
    const auto texts = [&](QByteArrayView stored) {
        QDate day;
        int seconds = 0;
        if (!ParseStoredMoment(stored, &day, &seconds)) {
            // Not a stored moment: as the text reads, whatever its type.
            dateText = events.value(cTime).toString().toUtf8();
            return QByteArrayView();
        }
        if (day != lastDay) {
            lastDay = day;
            lastDayText = QLocale().toString(day, shortDate).toUtf8();
        }
        dateText = lastDayText;
        const int hours = seconds / 3600, minutes = seconds / 60 % 60;
        char* t = timeText.data();
        t[0] = char('0' + hours / 10);
        t[1] = char('0' + hours % 10);
        t[2] = ':';
        t[3] = char('0' + minutes / 10);
        t[4] = char('0' + minutes % 10);
        return QByteArrayView(timeText);
    };
    const auto assign = [](QByteArray& to, QByteArrayView from) {
        // Reuses the place's own buffer: most touches move it.
        to.resize(from.size());
        if (!from.isEmpty())
            std::memcpy(to.data(), from.data(), size_t(from.size()));
    };
    const QByteArray readerFilter = filters.readerId.toUtf8();
    // Each reader walks its own round: another reader's location never becomes this one's.
    QHash<QByteArray, Place> places;
    qint64 written = 0;
    qint64 done = 0;
    while (events.Next()) {
        const QByteArrayView reader = events.utf8View(cReader);
        auto found = places.find(QByteArray::fromRawData(reader.data(), reader.size()));
        if (found == places.end())
            found = places.insert(reader.toByteArray(), Place());
        Place& place = *found;
        const bool location = events.int64(cType) == GroupTypeSite;
        if (location) {
            place.siteKey = events.int64(cGroupId);
            assign(place.site, events.utf8View(cGroupName));
            assign(place.location, events.utf8View(cButtonName));
        }
        const bool accepted = (filters.eventId < 1 || events.int64(cButtonId) == filters.eventId) &&
                              (readerFilter.isEmpty() || reader == readerFilter) &&
                              (filters.siteId < 1 || place.siteKey == filters.siteId);
        if (accepted) {
            const QByteArrayView time = texts(events.utf8View(cTime));
            insert.ExecuteTexts({dateText, time, events.utf8View(cDescription), place.site,
                                 place.location,
                                 location ? QByteArrayView() : events.utf8View(cButtonName)});
            ++written;
        }
        if (++done % kProgressStep == 0 && progress && !progress(done, total))
            return -1;
    }
    insert.Close();
    transaction.Commit();
    return written;
}
