#include "mDownload.h"

#include "AppError.h"
#include "mGlobals.h"

#include <QtGlobal>

namespace {

constexpr int kFirstRecordOffset = 19;
constexpr int kLaterRecordOffset = 11;
constexpr quint8 kDateMarker = 0xAA;

quint8 at(const QByteArray& frame, int i) {
    return static_cast<quint8>(frame.at(i));
}

} // namespace

QDateTime WallClock(const QDate& date, const QTime& time) {
    return QDateTime(date, time, Qt::UTC);
}

QString WallClockText(const QDateTime& moment) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    if (!date.isValid() || !time.isValid())
        return QString();
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
           time.toString(QStringLiteral("HH:mm:ss"));
}

cRawButton& colRawButtons::Add(quint8 EventType, const QDateTime& DateAndTime,
                               const QString& ButtonCode, const QString& Name,
                               const QString& Description, const QString& GroupName,
                               const QString& GroupDesc, const QString& sKey) {
    cRawButton b;
    b.EventType = EventType;
    b.DateAndTime = DateAndTime;
    b.setButtonCode(ButtonCode);
    b.Name = Name;
    b.Description = Description;
    b.GroupName = GroupName;
    b.GroupDesc = GroupDesc;
    return Add(b, sKey);
}

cRawButton& colRawButtons::Add(const cRawButton& button, const QString& sKey) {
    if (!sKey.isEmpty() && keys.contains(sKey))
        throw AppError(
            457,
            QStringLiteral("This key is already associated with an element of this collection"));
    items.append(button);
    keys.append(sKey);
    return items.last();
}

const cRawButton& colRawButtons::Item(int index) const {
    if (index < 1 || index > items.size())
        throw AppError(AppError::InvalidCall, QStringLiteral("No touch number %1").arg(index));
    return items.at(index - 1);
}

const cRawButton& colRawButtons::Item(const QString& key) const {
    const int i = key.isEmpty() ? -1 : keys.indexOf(key);
    if (i < 0)
        throw AppError(AppError::InvalidCall, QStringLiteral("No touch with the key %1").arg(key));
    return items.at(i);
}

void colRawButtons::Remove(int index) {
    Item(index);
    items.remove(index - 1);
    keys.remove(index - 1);
}

cDownloadHeader ReadFirstPacket(const QByteArray& frame) {
    cDownloadHeader header;
    if (frame.size() < kDownloadFrameLength)
        return header;
    header.PipeID =
        Hex00(at(frame, 15)) + Hex00(at(frame, 16)) + Hex00(at(frame, 14)) + Hex00(at(frame, 13));
    header.RecordCount = static_cast<quint16>(at(frame, 12) << 8 | at(frame, 11));
    header.Firmware = at(frame, 17);
    return header;
}

QString FirmwareText(quint8 firmware) {
    return QStringLiteral("V") + Hex00(firmware);
}

int ExpectedPacketCount(int recordCount) {
    if (recordCount <= 58)
        return 1;
    return (recordCount - 58 + 59) / 60 + 1;
}

bool IsWholeDownload(const colPackets& packets, int recordCount) {
    if (recordCount < 0 || packets.Count() != ExpectedPacketCount(recordCount))
        return false;
    int record = 0;
    int offset = kFirstRecordOffset;
    for (const cPacket& packet : packets) {
        const QByteArray frame = packet.RawData();
        if (frame.size() < kDownloadFrameLength)
            return false;
        for (int i = offset; i + 4 < frame.size(); i += 4, ++record) {
            // A reader whose erase only resets its pointer leaves its old records behind the
            // end of the log: they are not part of it.
            if (record == recordCount)
                return frame.mid(i, 4) == QByteArray(4, '\0');
        }
        offset = kLaterRecordOffset;
    }
    // A log that fills its last packet has no room for the end of the log.
    return record >= recordCount;
}

colRawButtons DecodePackets(const colPackets& packets, int recordCount, const ButtonLookup& lookUp,
                            const DecodeProgress& progress) {
    colRawButtons touches;
    // A touch logged before any date marker falls on day 0 at hour 0.
    QDate date = DayCodeToDate(0, 0);
    int hour = 0;
    int record = 0;
    bool first = true;
    for (const cPacket& packet : packets) {
        const QByteArray frame = packet.RawData();
        const int offset = first ? kFirstRecordOffset : kLaterRecordOffset;
        first = false;
        const int records = frame.size() > offset ? (frame.size() - 1 - offset) / 4 : 0;
        for (int r = 0; r < records; ++r, ++record) {
            if (record >= recordCount)
                return touches;
            const int i = offset + 4 * r;
            const quint8 r0 = at(frame, i), r1 = at(frame, i + 1), r2 = at(frame, i + 2),
                         r3 = at(frame, i + 3);
            if (r3 == kDateMarker) {
                hour = qMin<int>(r0, 23);
                date = DayCodeToDate(r2, r1);
                continue;
            }
            const QString code = Hex00(r2) + Hex00(r1) + Hex00(r0);
            cRawButton touch = lookUp(code);
            touch.setButtonCode(code);
            touch.DateAndTime = WallClock(date, QTime(hour, qMin<int>(r3, 59)));
            touches.Add(touch);
            if (progress)
                progress(touches.Count());
        }
    }
    return touches;
}

cRawButton LookUpButtonData(const QString& code) {
    cRawButton button;
    button.setButtonCode(code);
    button.Name = Translate(QStringLiteral("Unknown"));
    const DbRows rows = gConn->Query(
        QStringLiteral(
            "SELECT tblButtons.tButtonCode, tblListItems.wType, tblButtons.tButtonName, "
            "tblButtons.tButtonDesc, tblListItems.tName AS tGroupName, tblListItems.tDesc AS tGroupDesc "
            "FROM tblButtons INNER JOIN tblListItems ON tblButtons.lParentID = tblListItems.ID "
            "WHERE tblButtons.tButtonCode = ?"),
        {code});
    if (rows.count() == 1) {
        const DbRow& row = rows.first();
        button.EventType = static_cast<quint8>(row.integer(QStringLiteral("wType")));
        button.Name = row.text(QStringLiteral("tButtonName"));
        button.Description = row.text(QStringLiteral("tButtonDesc"));
        button.GroupName = row.text(QStringLiteral("tGroupName"));
        button.GroupDesc = row.text(QStringLiteral("tGroupDesc"));
    }
    return button;
}

namespace {

// How many leading touches repeat, row for row, every row of the reader from row `first` on;
// 0 when they do not all.
int RepeatedFrom(const colRawButtons& touches, const QString& pipeId, qint64 first) {
    DbCursor stored(*gConn,
                    QStringLiteral("SELECT dtDateTime, tButtonCode FROM tblEvents "
                                   "WHERE tPipeID = ? AND ID >= ? ORDER BY ID"),
                    {pipeId, first});
    int n = 0;
    for (const cRawButton& touch : touches) {
        if (!stored.Next())
            return n;
        if (stored.text(QStringLiteral("dtDateTime")) != WallClockText(touch.DateAndTime) ||
            stored.text(QStringLiteral("tButtonCode")) != touch.ButtonCode())
            return 0;
        ++n;
    }
    return stored.Next() ? 0 : n;
}

// The touches a reader that was not erased sends again: they begin with the first row of one
// of its stored downloads and repeat everything stored for it since. A touch that repeats a
// row within a download, or rows of a download that the reader was erased after, is new.
int AlreadyStored(const colRawButtons& touches, const QString& pipeId) {
    if (touches.Count() == 0)
        return 0;
    const cRawButton& first = touches.Item(1);
    const DbRows candidates = gConn->Query(
        QStringLiteral("SELECT ID, dtDLDateTime FROM tblEvents "
                       "WHERE tPipeID = ? AND dtDateTime = ? AND tButtonCode = ? ORDER BY ID"),
        {pipeId, WallClockText(first.DateAndTime), first.ButtonCode()});
    for (const DbRow& candidate : candidates) {
        const qint64 id = candidate.integer(QStringLiteral("ID"));
        // The rows of one download are written together, so the row before the first one of a
        // download belongs to another download, or there is none.
        const DbRows before =
            gConn->Query(QStringLiteral("SELECT tPipeID, dtDLDateTime FROM tblEvents WHERE ID < ? "
                                        "ORDER BY ID DESC LIMIT 1"),
                         {id});
        if (!before.isEmpty() && before.first().text(QStringLiteral("tPipeID")) == pipeId &&
            before.first().text(QStringLiteral("dtDLDateTime")) ==
                candidate.text(QStringLiteral("dtDLDateTime")))
            continue;
        const int repeated = RepeatedFrom(touches, pipeId, id);
        if (repeated > 0)
            return repeated;
    }
    return 0;
}

} // namespace

int StoreDownload(const colRawButtons& touches, const QString& pipeId,
                  const QDateTime& downloadTime) {
    const QString downloaded = downloadTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    DbTransaction transaction(*gConn);
    // Read inside the transaction, so that what is compared is what the inserts follow.
    const int alreadyStored = AlreadyStored(touches, pipeId);
    DbStatement insert(*gConn, QStringLiteral("INSERT INTO tblEvents (dtDLDateTime, dtDateTime, "
                                              "tButtonCode, tButtonName, tButtonDesc, wGroupType, "
                                              "tGroupName, tGroupDesc, tPipeID) "
                                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    int n = 0;
    for (const cRawButton& touch : touches) {
        if (n++ < alreadyStored)
            continue;
        const QString logged = WallClockText(touch.DateAndTime);
        if (logged.isEmpty())
            throw AppError(AppError::InvalidValue,
                           QStringLiteral("Touch %1 (%2) has no valid date and time")
                               .arg(n)
                               .arg(touch.ButtonCode()));
        insert.Execute({downloaded, logged, touch.ButtonCode(), touch.Name, touch.Description,
                        int(touch.EventType), touch.GroupName, touch.GroupDesc, pipeId});
    }
    insert.Close();
    transaction.Commit();
    return alreadyStored;
}
