#pragma once

#include "mPacket.h"

#include <QDateTime>
#include <QString>
#include <QVector>
#include <functional>

// A time as the reader logged it: the site's wall clock, never shifted or voided by the
// machine's time zone (02:30 on the night the clocks go forward exists on the reader). Held
// as a UTC time only so that Qt leaves its parts alone.
QDateTime WallClock(const QDate& date, const QTime& time);
// "yyyy-MM-dd HH:mm:ss" built from the parts; empty when the date or the time is invalid.
QString WallClockText(const QDateTime& moment);

// One decoded touch of a download, with the button and group found for its code.
class cRawButton {
public:
    quint8 EventType = 0;  // the group's kind: 0 user group or unknown code, 1 site, 2 event book
    QDateTime DateAndTime; // a WallClock time
    QString Name;
    QString Description;
    QString GroupName;
    QString GroupDesc;

    QString ButtonCode() const { return code; }
    // Always six characters: a longer text is cut, a shorter one padded with blanks.
    void setButtonCode(const QString& value) {
        code = value.left(6).leftJustified(6, QLatin1Char(' '));
    }
    bool IsEvent() const { return EventType == 2; }
    bool IsLocation() const { return EventType == 1; }

private:
    QString code = QStringLiteral("      ");
};

// The touches of one download, in reader order.
class colRawButtons {
public:
    cRawButton& Add(quint8 EventType, const QDateTime& DateAndTime, const QString& ButtonCode,
                    const QString& Name, const QString& Description, const QString& GroupName,
                    const QString& GroupDesc, const QString& sKey = QString());
    cRawButton& Add(const cRawButton& button, const QString& sKey = QString());
    // Counted from 1; an index or key that is not there throws AppError 5.
    const cRawButton& Item(int index) const;
    const cRawButton& Item(const QString& key) const;
    int Count() const { return items.size(); }
    void Remove(int index);
    auto begin() const { return items.cbegin(); }
    auto end() const { return items.cend(); }

private:
    QVector<cRawButton> items;
    QVector<QString> keys;
};

// What the first data packet of a download says about the reader.
struct cDownloadHeader {
    QString PipeID;          // 8 hexadecimal digits, from the ID bytes in the order 15, 16, 14, 13
    quint16 RecordCount = 0; // FFFF means the reader failed
    quint8 Firmware = 0;
};

constexpr int kDownloadFrameLength = 252;
constexpr quint16 kRecordCountError = 0xFFFF;

cDownloadHeader ReadFirstPacket(const QByteArray& frame);
// "V" and the firmware byte in hexadecimal.
QString FirmwareText(quint8 firmware);
// How many data packets a log of `recordCount` records fills (58 in the first, 60 in the others).
int ExpectedPacketCount(int recordCount);
// Whether the packets hold exactly the log the first one announces: as many packets as its
// record count fills, and the end-of-log record (four zero bytes) in the slot after the last
// record, where the last packet has one. Whatever follows that slot is not looked at.
bool IsWholeDownload(const colPackets& packets, int recordCount);

// Looks a button code up; the default for a code no button has is the translated "Unknown".
using ButtonLookup = std::function<cRawButton(const QString& code)>;
// Called after each decoded touch with the number decoded so far.
using DecodeProgress = std::function<void(int touches)>;

// Decodes the first `recordCount` records of the packets in arrival order, whatever they
// hold: four zero bytes inside the count are a touch of key 000000 at minute 00.
colRawButtons DecodePackets(const colPackets& packets, int recordCount, const ButtonLookup& lookUp,
                            const DecodeProgress& progress = {});
// The button and its group from the database (gConn).
cRawButton LookUpButtonData(const QString& code);

// Stores one tblEvents row per touch, all in one transaction with the one download time;
// throws AppError and stores nothing when any row fails or a touch has no valid time.
// A reader that was stored but not erased sends the same touches again. The leading touches
// are not stored again when they repeat (time and code), row for row, what tblEvents holds for
// this reader from the first row of one of its downloads (one download time) to its last row:
// a reader that was not erased sends that again, and more after it. Every other touch is
// stored, also one that happens to repeat an older row. Returns how many were skipped.
int StoreDownload(const colRawButtons& touches, const QString& pipeId,
                  const QDateTime& downloadTime);
