#pragma once

#include "mPacket.h"

#include <QDateTime>
#include <QString>
#include <QVector>
#include <functional>

// One decoded touch of a download, with the button and group found for its code.
class cRawButton {
public:
    quint8 EventType = 0; // the group's kind: 0 user group or unknown code, 1 site, 2 event book
    QDateTime DateAndTime;
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

// Looks a button code up; the default for a code no button has is the translated "Unknown".
using ButtonLookup = std::function<cRawButton(const QString& code)>;
// Called after each decoded touch with the number decoded so far.
using DecodeProgress = std::function<void(int touches)>;

// Decodes the records of the stored packets in arrival order, up to the end-of-log record.
colRawButtons DecodePackets(const colPackets& packets, const ButtonLookup& lookUp,
                            const DecodeProgress& progress = {});
// The button and its group from the database (gConn).
cRawButton LookUpButtonData(const QString& code);

// Stores one tblEvents row per touch, all in one transaction with the one download time;
// throws AppError and stores nothing when any row fails.
void StoreDownload(const colRawButtons& touches, const QString& pipeId,
                   const QDateTime& downloadTime);
