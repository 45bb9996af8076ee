#include "mPacket.h"

#include "AppError.h"
#include "Boxes.h"
#include "ProductName.h"

namespace {

const QDate kDayZero(2000, 1, 1);

QByteArray withPcCode(std::initializer_list<quint8> tail, quint8 code) {
    QByteArray data;
    data.append(char(code));
    data.append(char(kPcCodeMSB));
    data.append(char(kPcCodeLSB));
    for (quint8 b : tail)
        data.append(char(b));
    return data;
}

} // namespace

QByteArray BuildPacket(quint8 b4, quint8 DestinationID, quint8 b6, quint8 b7, quint8 b8,
                       const QByteArray& data) {
    if (data.size() > 255) {
        Boxes::Show(ProductName(), QStringLiteral("Illegal value in Build packet : Data too long"));
        return QByteArray();
    }
    const int n = data.size();
    QByteArray frame(n + Frame::kOverhead, '\0');
    frame[0] = frame[1] = frame[2] = char(0xFF);
    frame[3] = char(0x55);
    frame[4] = char(b4);
    frame[5] = char(DestinationID);
    frame[6] = char(b6);
    frame[7] = char(b7);
    frame[8] = char(b8);
    frame[9] = char(n);
    unsigned sum = 0;
    for (int i = 4; i < Frame::kDataOffset; ++i)
        sum += quint8(frame.at(i));
    for (int i = 0; i < n; ++i) {
        frame[Frame::kDataOffset + i] = data.at(i);
        sum += quint8(data.at(i));
    }
    frame[Frame::kDataOffset + n] = char(sum & 0xFF);
    return frame;
}

QString Hex00(quint8 b) {
    return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

QString BytesToHex(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size() * 3);
    for (char c : bytes)
        text += Hex00(quint8(c)) + QLatin1Char(' ');
    return text;
}

void SetBit(quint8& b, int n) {
    if (n < 0 || n > 7) {
        Boxes::Show(ProductName(), QStringLiteral("Error"));
        return;
    }
    b = quint8(b | (1u << n));
}

quint8 ReaderOptionByte(bool buzzer, bool led, bool vibration, bool longBuzzer) {
    quint8 b = 0;
    if (buzzer)
        SetBit(b, kOptionBuzzer);
    if (led)
        SetBit(b, kOptionLed);
    if (vibration)
        SetBit(b, kOptionVibration);
    if (longBuzzer)
        SetBit(b, kOptionLongBuzzer);
    return b;
}

QDate DayCodeToDate(quint8 high, quint8 low) {
    return kDayZero.addDays(high * 256 + low);
}

bool DateToDayCode(const QDate& date, quint8& high, quint8& low) {
    if (!date.isValid())
        return false;
    const qint64 days = kDayZero.daysTo(date);
    if (days < 0 || days > 0xFFFF)
        return false;
    high = quint8(days / 256);
    low = quint8(days % 256);
    return true;
}

QByteArray CmdDockingCheck() {
    return QByteArray(1, char(kCmdDockingCheck));
}

QByteArray CmdSetClock(quint8 hour, quint8 minute, quint8 dayHigh, quint8 dayLow) {
    return withPcCode({hour, minute, dayHigh, dayLow}, kCmdSetClock);
}

QByteArray CmdSetOptions(quint8 options) {
    return withPcCode({options}, kCmdSetOptions);
}

QByteArray CmdErase() {
    return withPcCode({0xFF}, kCmdReader);
}

QByteArray CmdDownload() {
    return withPcCode({0x00, 0x00, 0x00}, kCmdReader);
}

cPacket& colPackets::Add(const QByteArray& RawData, const QString& sKey) {
    if (!sKey.isEmpty() && indexOf(sKey) >= 0)
        throw AppError(AppError::InvalidCall,
                       QStringLiteral("The key \"%1\" is already used").arg(sKey));
    items.append(cPacket(RawData));
    keys.append(sKey);
    return items.last();
}

int colPackets::indexOf(const QString& key) const {
    if (key.isEmpty())
        return -1;
    return int(keys.indexOf(key));
}

cPacket& colPackets::Item(int index) {
    if (index < 1 || index > items.size())
        throw AppError(AppError::InvalidCall, QStringLiteral("No packet %1").arg(index));
    return items[index - 1];
}

cPacket& colPackets::Item(const QString& key) {
    const int i = indexOf(key);
    if (i < 0)
        throw AppError(AppError::InvalidCall, QStringLiteral("No packet \"%1\"").arg(key));
    return items[i];
}

void colPackets::Remove(int index) {
    if (index < 1 || index > items.size())
        throw AppError(AppError::InvalidCall, QStringLiteral("No packet %1").arg(index));
    items.removeAt(index - 1);
    keys.removeAt(index - 1);
}

void colPackets::Remove(const QString& key) {
    const int i = indexOf(key);
    if (i < 0)
        throw AppError(AppError::InvalidCall, QStringLiteral("No packet \"%1\"").arg(key));
    items.removeAt(i);
    keys.removeAt(i);
}
