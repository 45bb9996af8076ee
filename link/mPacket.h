#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>

// The frame every exchange with the docking station uses, in both directions:
// FF FF FF 55, five header bytes, N, N data bytes (data byte 0 is the code), checksum
// (sum of the header, N and the data, modulo 256). A frame is N + 11 bytes long.
namespace Frame {
constexpr int kPreambleLength = 4; // FF FF FF 55
constexpr int kLengthOffset = 9;
constexpr int kDataOffset = 10;
constexpr int kOverhead = 11;
} // namespace Frame

// The PC code carried by every command addressed to a reader (all but the docking check).
// The readers must accept it; it is the same in every request.
constexpr quint8 kPcCodeMSB = 0x54;
constexpr quint8 kPcCodeLSB = 0x4C;

// Request and reply codes (data byte 0).
constexpr quint8 kCmdDockingCheck = 0x11;
constexpr quint8 kCmdSetClock = 0x12;
constexpr quint8 kCmdSetOptions = 0x13;
constexpr quint8 kCmdReader = 0x72; // erase (72 PC FF) and download (72 PC 00 00 00)
constexpr quint8 kReplyDockingCheck = 0x80;
constexpr quint8 kReplySetClock = 0x93;
constexpr quint8 kReplyErase = 0xF3;
constexpr quint8 kReplyDownloadData = 0xF3;
constexpr quint8 kButtonIdPacket = 0x24;

// Option byte bits (SetBit numbers).
constexpr int kOptionBuzzer = 0;
constexpr int kOptionLed = 1;
constexpr int kOptionVibration = 2;
constexpr int kOptionLongBuzzer = 3;

// The complete frame. More than 255 data bytes shows "Illegal value in Build packet : Data
// too long" and gives an empty array (no frame is written for it).
QByteArray BuildPacket(quint8 b4, quint8 DestinationID, quint8 b6, quint8 b7, quint8 b8,
                       const QByteArray& data);
// Two upper-case hexadecimal digits: "0A", "FF".
QString Hex00(quint8 b);
// Each byte as Hex00 followed by one blank: "0A FF ".
QString BytesToHex(const QByteArray& bytes);
// Sets bit n (0 least significant); n outside 0 to 7 shows "Error" and leaves b.
void SetBit(quint8& b, int n);
// The option byte of the reader's signals, by the bits above.
quint8 ReaderOptionByte(bool buzzer, bool led, bool vibration, bool longBuzzer);

// The reader's day code: days since 2000-01-01 (day 0), unsigned 16 bits.
QDate DayCodeToDate(quint8 high, quint8 low);
// False for a date the code cannot carry (before 2000-01-01, after 2179-06-06, invalid).
bool DateToDayCode(const QDate& date, quint8& high, quint8& low);
// The time of day is dropped: 23:59 still counts as its own day.
inline bool DateToDayCode(const QDateTime& moment, quint8& high, quint8& low) {
    return DateToDayCode(moment.date(), high, low);
}

// The request data of the reader commands, PC code included.
QByteArray CmdDockingCheck();
QByteArray CmdSetClock(quint8 hour, quint8 minute, quint8 dayHigh, quint8 dayLow);
QByteArray CmdSetOptions(quint8 options);
QByteArray CmdErase();
QByteArray CmdDownload();

// One received packet of a download: the whole frame and its arrival number (from 1).
class cPacket {
public:
    cPacket() = default;
    explicit cPacket(QByteArray data) : raw(std::move(data)) {}
    QByteArray RawData() const { return raw; }
    void setRawData(const QByteArray& value) { raw = value; }
    QVariant Tag;

private:
    QByteArray raw;
};

// The packets of one download in arrival order, optionally keyed. Item and Remove count from
// 1, as the download loop numbers packets; an index or key that is not there throws
// AppError 5.
class colPackets {
public:
    // The reference stays valid until the collection changes.
    cPacket& Add(const QByteArray& RawData, const QString& sKey = QString());
    cPacket& Item(int index);
    cPacket& Item(const QString& key);
    int Count() const { return items.size(); }
    void Remove(int index);
    void Remove(const QString& key);

    auto begin() { return items.begin(); }
    auto end() { return items.end(); }
    auto begin() const { return items.cbegin(); }
    auto end() const { return items.cend(); }

private:
    int indexOf(const QString& key) const;
    QVector<cPacket> items;
    QVector<QString> keys;
};
