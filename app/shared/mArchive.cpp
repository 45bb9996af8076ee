#include "mArchive.h"

#include "mGlobals.h"
#include "mSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

namespace {

const QString kRangeCondition = QStringLiteral("WHERE (dtDateTime >= ?) AND (dtDateTime <= ?)");

QString csvField(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray csvLine(const QStringList& fields) {
    QStringList quoted;
    for (const QString& f : fields)
        quoted << csvField(f);
    return (quoted.join(QLatin1Char(',')) + QLatin1String("\r\n")).toUtf8();
}

QString groupTypeText(qint64 type) {
    switch (type) {
    case 0:
        return Translate(QStringLiteral("User"));
    case 1:
        return Translate(QStringLiteral("Location"));
    case 2:
        return Translate(QStringLiteral("Event"));
    default:
        return QString();
    }
}

} // namespace

ArchiveRange ArchiveBounds(const QDate& startDate, const QDate& endDate) {
    return {SqlDateFmt(startDate) + QStringLiteral(" 00:00:00"),
            SqlDateFmt(endDate) + QStringLiteral(" 23:59:59")};
}

QString DefaultArchiveFileName(const QDate& startDate, const QDate& endDate) {
    return QStringLiteral("Archive") + SqlDateFmt(startDate) + QStringLiteral("_to_") +
           SqlDateFmt(endDate) + QStringLiteral(".csv");
}

int CountArchiveEvents(DbConnection& conn, const ArchiveRange& range) {
    return static_cast<int>(
        conn.Query(QStringLiteral("SELECT count(*) AS n FROM tblEvents ") + kRangeCondition,
                   {range.lower, range.upper})
            .first()
            .integer(QStringLiteral("n")));
}

QByteArray ArchiveCsv(const DbRows& rows) {
    QByteArray out =
        csvLine({Translate(QStringLiteral("Date")), Translate(QStringLiteral("Time")),
                 Translate(QStringLiteral("Button ID")), Translate(QStringLiteral("Type")),
                 Translate(QStringLiteral("Group Name")), Translate(QStringLiteral("Button Name")),
                 Translate(QStringLiteral("Reader ID"))});
    static const QRegularExpression storedMoment(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}"));
    for (const DbRow& row : rows) {
        // Taken from the stored text itself: a local-time conversion would move a touch that
        // lies in a daylight-saving gap. A malformed text is kept whole, since the row goes.
        const QString stored = row.text(QStringLiteral("dtDateTime"));
        const bool wellFormed = storedMoment.match(stored).hasMatch();
        const QString date = wellFormed ? stored.left(10) : stored;
        const QString time = wellFormed ? stored.mid(11, 5) : QString();
        out +=
            csvLine({date, time, row.text(QStringLiteral("tButtonCode")),
                     groupTypeText(row.integer(QStringLiteral("wGroupType"), -1)),
                     row.text(QStringLiteral("tGroupName")),
                     row.text(QStringLiteral("tButtonName")), row.text(QStringLiteral("tPipeID"))});
    }
    return out;
}

ArchiveResult ArchiveToFile(DbConnection& conn, const ArchiveRange& range, const QString& path) {
    ArchiveResult result;
    // Held from the read to the delete, so that no other writer changes the range between.
    DbTransaction transaction(conn);
    const DbRows rows = conn.Query(
        QStringLiteral("SELECT ID, dtDLDateTime, tPipeID, dtDateTime, tButtonCode, tButtonName, "
                       "tButtonDesc, wGroupType, tGroupName, tGroupDesc FROM tblEvents ") +
            kRangeCondition + QStringLiteral(" ORDER BY dtDateTime, ID"),
        {range.lower, range.upper});

    // A partly written file never appears: the save file replaces nothing until it is complete.
    QSaveFile file(path);
    const QByteArray content = ArchiveCsv(rows);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() ||
        !file.commit()) {
        result.fileError = file.errorString();
        file.cancelWriting();
        return result;
    }

    try {
        const int deleted = conn.Execute(QStringLiteral("DELETE FROM tblEvents ") + kRangeCondition,
                                         {range.lower, range.upper});
        if (deleted != rows.count())
            throw AppError(AppError::InvalidValue,
                           QStringLiteral("%1 touches written but %2 to be deleted")
                               .arg(rows.count())
                               .arg(deleted));
        transaction.Commit();
    } catch (const AppError&) {
        // The touches stay in the database, so the file would only duplicate them later.
        QFile::remove(path);
        throw;
    }
    result.count = rows.count();
    return result;
}
