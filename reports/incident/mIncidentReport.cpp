#include "mIncidentReport.h"

#include "Boxes.h"
#include "Database.h"
#include "ProductName.h"
#include "ReportFrame.h"
#include "ReportPreview.h"
#include "darIncident.h"
#include "mDbUtil.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mGroupTypes.h"
#include "mIncidentTexts.h"
#include "mSupport.h"

#include <QApplication>
#include <QHash>
#include <algorithm>
#include <queue>
#include <vector>

namespace {

// SQLite takes at most 999 parameters in one statement.
constexpr int kReadersPerStatement = 900;
// Rows between two calls of the progress.
constexpr qint64 kProgressStep = 2000;
// The columns of a touch as ChosenTouches reads them.
constexpr int kIdColumn = 0;
constexpr int kTimeColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kCodeColumn = 3;
constexpr int kReaderColumn = 4;

QStringList distinctReaders(const colReaders& readers) {
    QStringList ids;
    for (const cReader& r : readers)
        if (!ids.contains(r.ReaderId()))
            ids << r.ReaderId();
    return ids;
}

qint64 countTouches(const QStringList& readers, const QString& start, const QString& end) {
    qint64 count = 0;
    for (int first = 0; first < readers.size(); first += kReadersPerStatement) {
        const QStringList chunk = readers.mid(first, kReadersPerStatement);
        QStringList marks;
        QVariantList params;
        for (const QString& id : chunk) {
            marks << QStringLiteral("?");
            params << id;
        }
        params << start << end;
        count += gConn
                     ->Query(QStringLiteral("SELECT count(*) AS n FROM tblEvents WHERE tPipeID IN "
                                            "(%1) AND dtDateTime >= ? AND dtDateTime <= ?")
                                 .arg(marks.join(QStringLiteral(", "))),
                             params)
                     .first()
                     .integer(QStringLiteral("n"));
    }
    return count;
}

qint64 countAllTouches(const QString& start, const QString& end) {
    return gConn
        ->Query(QStringLiteral("SELECT count(*) AS n FROM tblEvents WHERE dtDateTime >= ? AND "
                               "dtDateTime <= ?"),
                {start, end})
        .first()
        .integer(QStringLiteral("n"));
}

// The touches of the chosen readers in the range, in time order, then ID, with the chosen
// reader each belongs to. Memory stays at one row per reader, whatever the range: either one
// pass over the range in the time index, skipping the touches of other readers, or, when the
// chosen readers made only a small part of the range's touches, each reader's touches in the
// (reader, time) index, merged.
class ChosenTouches {
public:
    ChosenTouches(const QStringList& readers, const QString& start, const QString& end,
                  bool merge) {
        for (int i = 0; i < readers.size(); ++i)
            readerIndex.insert(readers.at(i), i);
        const QString columns = QStringLiteral(
            "SELECT ID, dtDateTime, wGroupType, tButtonCode, tPipeID FROM tblEvents ");
        if (merge) {
            for (const QString& id : readers) {
                cursors.push_back(std::make_unique<DbCursor>(
                    *gConn,
                    columns + QStringLiteral("WHERE tPipeID = ? AND dtDateTime >= ? AND "
                                             "dtDateTime <= ? ORDER BY dtDateTime, ID"),
                    QVariantList{id, start, end}));
                advance(int(cursors.size()) - 1);
            }
            return;
        }
        // "+" keeps the reader index out of it: the time index gives the order, no sort.
        QString sql = columns + QStringLiteral("WHERE dtDateTime >= ? AND dtDateTime <= ? ");
        QVariantList params{start, end};
        if (readers.size() <= kReadersPerStatement) {
            QStringList marks;
            for (const QString& id : readers) {
                marks << QStringLiteral("?");
                params << id;
            }
            sql += QStringLiteral("AND +tPipeID IN (%1) ").arg(marks.join(QStringLiteral(", ")));
        }
        cursors.push_back(std::make_unique<DbCursor>(
            *gConn, sql + QStringLiteral("ORDER BY dtDateTime, ID"), params));
        onePass = true;
    }

    bool Next() {
        if (onePass)
            return nextInOnePass();
        if (current >= 0)
            advance(current);
        if (heads.empty()) {
            current = -1;
            return false;
        }
        current = heads.top().cursor;
        reader = current;
        heads.pop();
        return true;
    }
    // The reader's place in the list given.
    int Reader() const { return reader; }
    const DbCursor& Row() const { return *cursors[size_t(current)]; }

private:
    struct Head {
        QString time;
        qint64 id;
        int cursor;
        // The priority queue puts the greatest on top: the earliest must be greatest.
        bool operator<(const Head& other) const {
            if (time != other.time)
                return time > other.time;
            return id > other.id;
        }
    };

    bool nextInOnePass() {
        DbCursor& c = *cursors.front();
        current = 0;
        while (c.Next()) {
            const auto found = readerIndex.constFind(c.value(kReaderColumn).toString());
            if (found != readerIndex.constEnd()) {
                reader = *found;
                return true;
            }
        }
        return false;
    }

    void advance(int cursor) {
        DbCursor& c = *cursors[size_t(cursor)];
        if (c.Next())
            heads.push(
                {c.text(QStringLiteral("dtDateTime")), c.integer(QStringLiteral("ID")), cursor});
    }

    QHash<QString, int> readerIndex;
    std::vector<std::unique_ptr<DbCursor>> cursors;
    std::priority_queue<Head> heads;
    bool onePass = false;
    int current = -1;
    int reader = -1;
};

struct Section {
    QString code;
    QString heading;
    // The location touch (tblEvents.ID) before each incident, in the order of the incidents.
    std::vector<qint64> locations;
};

// The texts of an incident line, which all come from the location touch before it.
class LocationTexts {
public:
    const QPair<QString, QString>& Of(qint64 id) {
        if (id == lastId)
            return texts;
        DbCursor row(*gConn,
                     QStringLiteral("SELECT dtDateTime, tButtonName, tGroupName, tPipeID "
                                    "FROM tblEvents WHERE ID = ?"),
                     {id});
        if (!row.Next())
            throw AppError(AppError::InvalidValue,
                           QStringLiteral("A touch disappeared while the report was written"));
        texts.first = ShortDateTimeOf(row.text(QStringLiteral("dtDateTime")));
        texts.second = Translator::FormatStr(
            pattern,
            {row.text(QStringLiteral("tButtonName")), row.text(QStringLiteral("tGroupName")),
             reader + QLatin1Char(' ') + row.text(QStringLiteral("tPipeID"))});
        lastId = id;
        return texts;
    }

private:
    const QString pattern = Translate(QStringLiteral("%0:s, %1:s,  %2:s"));
    const QString reader = Translate(QStringLiteral("Reader"));
    qint64 lastId = -1;
    QPair<QString, QString> texts;
};

} // namespace

bool GetIncidentHeader(qint32 id, QString& code, QString& name, QString& book) {
    try {
        const DbRows rows = gConn->Query(
            QStringLiteral("SELECT tblButtons.ID, tblButtons.tButtonCode, tblButtons.tButtonName, "
                           "tblButtons.tButtonDesc, tblListItems.wType, tblListItems.tName "
                           "FROM tblButtons INNER JOIN tblListItems ON tblButtons.lParentID = "
                           "tblListItems.ID WHERE tblButtons.ID = ?"),
            {id});
        if (rows.isEmpty())
            return false;
        code = rows.first().text(QStringLiteral("tButtonCode"));
        name = rows.first().text(QStringLiteral("tButtonName"));
        book = rows.first().text(QStringLiteral("tName"));
        return true;
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("GetIncidentHeader of Form frmRptIncidentNew"), e, false);
        return false;
    }
}

IncidentRows WriteIncidentRows(const QDateTime& start, const QDateTime& end,
                               const colReaders& readers, const colEvents& events,
                               const ReportDocument::Progress& progress) {
    const QStringList readerIds = distinctReaders(readers);
    if (readerIds.isEmpty())
        return IncidentRows::NoReader;
    const QString from = SqlDateTimeFmt(start);
    const QString to = SqlDateTimeFmt(end);
    const qint64 total = countTouches(readerIds, from, to);
    if (total == 0)
        return IncidentRows::NoRecords;
    PrepareRptTmp();

    std::vector<Section> sections;
    QHash<QString, std::vector<size_t>> sectionsOfCode;
    const QString headingPattern = Translate(QStringLiteral("%0:s [%1:s] -- %2:s"));
    for (qint32 id : events) {
        QString code, name, book;
        if (!GetIncidentHeader(id, code, name, book))
            return IncidentRows::UnknownButton;
        sectionsOfCode[code].push_back(sections.size());
        sections.push_back({code, Translator::FormatStr(headingPattern, {name, code, book}), {}});
    }

    // One walk serves every section: the location before a touch does not depend on the
    // button being reported.
    {
        // Merging costs about twice as much a row as one pass over the range.
        const bool merge = total * 3 < countAllTouches(from, to);
        ChosenTouches touches(readerIds, from, to, merge);
        std::vector<qint64> lastLocation(size_t(readerIds.size()), 0);
        qint64 done = 0;
        while (touches.Next()) {
            const DbCursor& row = touches.Row();
            const QVariant typeValue = row.value(kTypeColumn);
            const qint64 type = typeValue.isNull() ? -1 : typeValue.toLongLong();
            if (type == GroupTypeSite) {
                lastLocation[size_t(touches.Reader())] = row.value(kIdColumn).toLongLong();
            } else if (type == GroupTypeEventBook) {
                const qint64 location = lastLocation[size_t(touches.Reader())];
                const auto found = sectionsOfCode.constFind(row.value(kCodeColumn).toString());
                // An incident before its reader's first location in the range is not reported.
                if (location != 0 && found != sectionsOfCode.constEnd())
                    for (size_t s : *found)
                        sections[s].locations.push_back(location);
            }
            if (++done % kProgressStep == 0 && progress && !progress(done, total))
                return IncidentRows::Stopped;
        }
    }

    DbTransaction transaction(*gConn);
    DbStatement insert(
        *gConn,
        QStringLiteral("INSERT INTO tblReportTemp (Field0, Field1, Field2) VALUES (?, ?, ?)"));
    const QString none = Translate(QStringLiteral("No incidents of this type were recorded"));
    LocationTexts locationTexts;
    qint64 written = 0;
    for (const Section& section : sections) {
        insert.Execute({QString(), QString(), QString()});
        insert.Execute({section.heading, QString(), QString()});
        if (section.locations.empty())
            insert.Execute({QString(), QString(), none});
        for (qint64 location : section.locations) {
            // The line shows the location touch's time, not the incident's.
            const QPair<QString, QString>& texts = locationTexts.Of(location);
            insert.Execute({QString(), texts.first, texts.second});
            if (++written % kProgressStep == 0 && progress && !progress(total, total))
                return IncidentRows::Stopped;
        }
    }
    insert.Close();
    transaction.Commit();
    return IncidentRows::Written;
}

bool BuildIncidentReport(const QDateTime& StartDate, const QDateTime& EndDate,
                         const colReaders& readers, const colEvents& events, cReportHost& host) {
    if (readers.isEmpty())
        return false;
    IncidentRows outcome;
    {
        ReportProgress progress(Translate(QStringLiteral("Preparing the report...")),
                                QApplication::activeWindow());
        outcome = WriteIncidentRows(StartDate, EndDate, readers, events, progress.Callback());
    }
    switch (outcome) {
    case IncidentRows::Written:
        break;
    case IncidentRows::NoRecords:
        Boxes::Show(ProductName(), QStringLiteral("No records for the given parameters"),
                    Boxes::Icon::Information);
        return false;
    case IncidentRows::UnknownButton:
        Boxes::Show(ProductName(), QStringLiteral("Error Looking up Incident"),
                    Boxes::Icon::Information);
        return false;
    default:
        return false;
    }

    darIncident layout;
    const QString separator = QStringLiteral("   ");
    layout.SetReportParam(PrintDateText(separator), Translate(QStringLiteral("Incident Report")),
                          DateAndTimeText(StartDate, separator),
                          DateAndTimeText(EndDate, separator), CompanyText());
    const ReportTexts shared = SharedReportTexts();
    layout.SetText(shared.MyPrintDate, shared.MyPageHeader, shared.MyPageNumber,
                   Translate(QStringLiteral("From:")), Translate(QStringLiteral("To:")),
                   shared.EndOfReport);
    {
        ReportTableSource rows(*gConn, QStringLiteral("tblReportTemp"));
        ShowReport(layout, rows, host);
    }
    InitRptTmp();
    return true;
}
