#include "mArchive.h"

#include "mGlobals.h"
#include "mGroupTypes.h"
#include "mSupport.h"

#include "FileSync.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>

namespace {

const QString kRangeCondition = QStringLiteral("WHERE (dtDateTime >= ?) AND (dtDateTime <= ?)");
constexpr int kRowsPerStep = 500;
constexpr int kChunkBytes = 256 * 1024;
const char* const kDeleting = TR_TEXT("%0:s events written. Deleting them from the database...");

void appendField(QByteArray& out, const QByteArray& value) {
    out += '"';
    if (value.contains('"')) {
        QByteArray doubled = value;
        out += doubled.replace("\"", "\"\"");
    } else {
        out += value;
    }
    out += '"';
}

} // namespace

QByteArray ArchiveTypeText(const QVariant& type) {
    bool ok = false;
    const qint64 t = type.isNull() ? -1 : type.toLongLong(&ok);
    if (!ok)
        return QByteArray();
    switch (t) {
    case GroupTypeUser:
        return Translate(QStringLiteral("User")).toUtf8();
    case GroupTypeSite:
        return Translate(QStringLiteral("Location")).toUtf8();
    case GroupTypeEventBook:
        return Translate(QStringLiteral("Event")).toUtf8();
    default:
        return QByteArray();
    }
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "yyyy-MM-dd HH:mm..." as the download stores it.
bool wellFormedMoment(const QByteArray& s) {
    if (s.size() < 16)
        return false;
    for (int i = 0; i < 16; ++i) {
        const char c = s.at(i);
        const bool ok = i == 4 || i == 7 ? c == '-'
                        : i == 10        ? c == ' '
                        : i == 13        ? c == ':'
                                         : isDigit(c);
        if (!ok)
            return false;
    }
    return true;
}

// The file being written: a name of its own beside the chosen one, which it takes only once
// it is whole, so that a crash never leaves part of an archive under the chosen name. Removed
// unless kept.
class ArchiveFile {
public:
    explicit ArchiveFile(const QString& path) : chosen(path) {}
    ~ArchiveFile() {
        if (kept)
            return;
        file.close();
        if (renamed)
            QFile::remove(chosen);
        else if (created)
            QFile::remove(file.fileName());
    }
    // Created here, never opened over: an existing file of either name is left alone.
    bool create() {
        if (QFileInfo::exists(chosen)) {
            error = SystemReason(EEXIST);
            return false;
        }
        // What an earlier archive to this name left when it was killed holds touches in clear.
        RemoveStaleParts(chosen);
        for (int attempt = 0; attempt < 16 && !created; ++attempt) {
            file.setFileName(PartFileName(chosen));
            created = file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
            if (!created && !file.exists())
                break;
        }
        if (!created)
            error = file.errorString();
        return created;
    }
    // Straight to the file, no buffer in between.
    bool write(QByteArray& chunk) {
        if (!WriteAll(file.handle(), chunk.constData(), chunk.size(), &error))
            return false;
        written += chunk.size();
        chunk.clear();
        return true;
    }
    // Flushed to the disk, closed, and the whole file is there.
    bool finish() {
        if (!SyncToDisk(file.handle(), &error))
            return false;
        file.close();
        if (file.error() != QFileDevice::NoError) {
            error = file.errorString();
            return false;
        }
        const qint64 found = QFileInfo(file.fileName()).size();
        if (found != written) {
            error = QStringLiteral("%1 bytes written, %2 found").arg(written).arg(found);
            return false;
        }
        return true;
    }
    // Under the chosen name, and that name on the disk, before any touch goes.
    bool publish() {
        if (!RenameNoReplace(file.fileName(), chosen, &error))
            return false;
        renamed = true;
        return SyncFolder(QFileInfo(chosen).absolutePath(), &error);
    }
    void keep() { kept = true; }

    QString error;

private:
    QString chosen;
    QFile file;
    qint64 written = 0;
    bool created = false;
    bool renamed = false;
    bool kept = false;
};

} // namespace

ArchiveRange ArchiveBounds(const QDate& startDate, const QDate& endDate) {
    return {SqlDateFmt(startDate) + QStringLiteral(" 00:00:00"),
            SqlDateFmt(endDate) + QStringLiteral(" 23:59:59")};
}

QString DefaultArchiveFileName(const QDate& startDate, const QDate& endDate) {
    return QStringLiteral("Archive") + SqlDateFmt(startDate) + QStringLiteral("_to_") +
           SqlDateFmt(endDate) + QStringLiteral(".csv");
}

qint64 CountArchiveEvents(DbConnection& conn, const ArchiveRange& range) {
    return conn
        .Query(QStringLiteral("SELECT count(*) AS n FROM tblEvents ") + kRangeCondition,
               {range.lower, range.upper})
        .first()
        .integer(QStringLiteral("n"));
}

QByteArray ArchiveHeaderLine() {
    QByteArray out;
    const char* const headers[] = {
        TR_TEXT("Date"),       TR_TEXT("Time"),        TR_TEXT("Button ID"), TR_TEXT("Type"),
        TR_TEXT("Group Name"), TR_TEXT("Button Name"), TR_TEXT("Reader ID")};
    for (const char* h : headers) {
        if (!out.isEmpty())
            out += ',';
        appendField(out, Translate(QLatin1String(h)).toUtf8());
    }
    return out + "\r\n";
}

QByteArray ArchiveLine(const QByteArray& storedMoment, const QByteArray& buttonCode,
                       const QByteArray& typeText, const QByteArray& groupName,
                       const QByteArray& buttonName, const QByteArray& readerId) {
    QByteArray out;
    out.reserve(96);
    // Taken from the stored text itself: a local-time conversion would move a touch that lies
    // in a daylight-saving gap. A malformed text is kept whole, since the row goes.
    if (wellFormedMoment(storedMoment)) {
        appendField(out, storedMoment.left(10));
        out += ',';
        appendField(out, storedMoment.mid(11, 5));
    } else {
        appendField(out, storedMoment);
        out += ",\"\"";
    }
    for (const QByteArray* field : {&buttonCode, &typeText, &groupName, &buttonName, &readerId}) {
        out += ',';
        appendField(out, *field);
    }
    return out + "\r\n";
}

ArchiveResult ArchiveToFile(DbConnection& conn, const ArchiveRange& range, const QString& path,
                            WorkObserver* observer) {
    ArchiveResult result;
    ArchiveFile file(path);
    if (!file.create()) {
        result.fileError = file.error;
        return result;
    }
    // Held from the read to the delete, so that no other writer changes the range between.
    DbTransaction transaction(conn);
    qint64 rows = 0;
    {
        DbCursor cursor(conn,
                        QStringLiteral("SELECT dtDateTime, tButtonCode, wGroupType, tGroupName, "
                                       "tButtonName, tPipeID FROM tblEvents ") +
                            kRangeCondition + QStringLiteral(" ORDER BY dtDateTime, ID"),
                        {range.lower, range.upper});
        // The group types' texts once, not per row.
        const QByteArray typeTexts[] = {ArchiveTypeText(GroupTypeUser),
                                        ArchiveTypeText(GroupTypeSite),
                                        ArchiveTypeText(GroupTypeEventBook)};
        QByteArray chunk = ArchiveHeaderLine();
        chunk.reserve(kChunkBytes + 1024);
        while (cursor.Next()) {
            const QVariant type = cursor.value(2);
            const qint64 t = type.typeId() == QMetaType::LongLong ? type.toLongLong() : -1;
            const QByteArray typeText = t >= GroupTypeUser && t <= GroupTypeEventBook
                                            ? typeTexts[t]
                                            : ArchiveTypeText(type);
            chunk += ArchiveLine(cursor.utf8(0), cursor.utf8(1), typeText, cursor.utf8(3),
                                 cursor.utf8(4), cursor.utf8(5));
            ++rows;
            if (chunk.size() >= kChunkBytes && !file.write(chunk)) {
                result.fileError = file.error;
                return result;
            }
            if (rows % kRowsPerStep == 0 && observer && !observer->Step(rows)) {
                result.cancelled = true;
                return result;
            }
        }
        if (!file.write(chunk) || !file.finish()) {
            result.fileError = file.error;
            return result;
        }
        if (observer && !observer->Step(rows)) {
            result.cancelled = true;
            return result;
        }
        if (!file.publish()) {
            result.fileError = file.error;
            return result;
        }
    }

    if (observer)
        observer->Stage(
            Translator::FormatStr(Translate(QLatin1String(kDeleting)), {QLocale().toString(rows)}),
            0, false);
    QElapsedTimer sinceLast;
    sinceLast.start();
    DbProgress keepAlive(conn, [&] {
        if (observer && sinceLast.elapsed() >= 50) {
            observer->Step(0);
            sinceLast.restart();
        }
        return true;
    });
    const int deleted = conn.Execute(QStringLiteral("DELETE FROM tblEvents ") + kRangeCondition,
                                     {range.lower, range.upper});
    if (deleted != rows)
        throw AppError(
            AppError::InvalidValue,
            QStringLiteral("%1 touches written but %2 to be deleted").arg(rows).arg(deleted));
    transaction.Commit();
    file.keep();
    result.count = rows;
    return result;
}
