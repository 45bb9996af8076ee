#include "DockStation.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr quint8 kStartMark[4] = {0xFF, 0xFF, 0xFF, 0x55};
const QDate kDayZero(2000, 1, 1);

int dayCode(const QDate& date) {
    return int(kDayZero.daysTo(date));
}

// Bytes that can never start a frame.
QByteArray garbageBytes() {
    QByteArray bytes;
    const int n = 1 + int(QRandomGenerator::global()->bounded(6));
    for (int i = 0; i < n; ++i)
        bytes.append(char(QRandomGenerator::global()->bounded(0xFF))); // never FF
    return bytes;
}

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace

DockStation::DockStation() = default;

DockStation::~DockStation() {
    stop();
}

bool DockStation::start(QString* error) {
    const auto fail = [&](const QString& what) {
        if (error)
            *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno));
        closeTerminal();
        return false;
    };
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return fail(QStringLiteral("posix_openpt"));
    if (grantpt(master) != 0 || unlockpt(master) != 0)
        return fail(QStringLiteral("grantpt/unlockpt"));
    const char* name = ptsname(master);
    if (!name)
        return fail(QStringLiteral("ptsname"));
    slaveName = QString::fromLocal8Bit(name);
    // Our own descriptor of the device keeps the terminal alive while the program closes and
    // reopens its port; it is never read. Raw, or the terminal would echo the program's bytes.
    slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0)
        return fail(QStringLiteral("open ") + slaveName);
    termios tio{};
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    started = Clock_t::now();
    lineFree = lastDue = streamEnd = started;
    stopping = false;
    worker = std::thread([this] { run(); });
    return true;
}

void DockStation::stop() {
    stopping = true;
    if (worker.joinable())
        worker.join();
    closeTerminal();
}

void DockStation::closeTerminal() {
    if (master >= 0)
        ::close(master);
    if (slave >= 0)
        ::close(slave);
    master = slave = -1;
}

bool DockStation::makeLink(const QString& path, QString* error) {
    QFile::remove(path);
    if (::symlink(slaveName.toLocal8Bit().constData(), path.toLocal8Bit().constData()) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    return true;
}

qint64 DockStation::elapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock_t::now() - started).count();
}

void DockStation::note(const QString& line) {
    if (monitor)
        monitor(QStringLiteral("%1 ms  ").arg(elapsedMs(), 7) + line);
}

void DockStation::run() {
    char chunk[4096];
    while (!stopping) {
        if (hangUpRequested.exchange(false)) {
            std::lock_guard<std::mutex> lock(mutex);
            closeTerminal();
            output.clear();
            hungUp = true;
            note(QStringLiteral("hung up"));
        }
        if (hungUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        int timeout = 5;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!output.empty()) {
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
                    output.front().due - Clock_t::now());
                timeout = int(std::clamp<qint64>(qint64(wait.count()), 0, 5));
            }
        }
        pollfd fd{master, POLLIN, 0};
        ::poll(&fd, 1, timeout);
        const ssize_t n = ::read(master, chunk, sizeof chunk);
        std::lock_guard<std::mutex> lock(mutex);
        if (n > 0) {
            received.append(chunk, int(n));
            scan();
        }
        flushOutput();
    }
}

void DockStation::scan() {
    const QByteArray mark(reinterpret_cast<const char*>(kStartMark), 4);
    for (;;) {
        const int s = int(received.indexOf(mark));
        if (s < 0) {
            // Keep a tail that may still become a start mark.
            int keep = 0;
            for (int k = 3; k > 0; --k)
                if (received.size() >= k && received.endsWith(mark.left(k))) {
                    keep = k;
                    break;
                }
            noiseBytes.append(received.left(received.size() - keep));
            received.remove(0, received.size() - keep);
            return;
        }
        noiseBytes.append(received.left(s));
        received.remove(0, s);
        if (received.size() < 10)
            return;
        const int n = quint8(received.at(9));
        if (received.size() < n + 11)
            return;
        unsigned sum = 0;
        for (int i = 4; i < 10 + n; ++i)
            sum += quint8(received.at(i));
        if ((sum & 0xFF) != quint8(received.at(10 + n))) {
            note(QStringLiteral("bad checksum, skipping a byte"));
            noiseBytes.append(received.left(1));
            received.remove(0, 1);
            continue;
        }
        const QByteArray frame = received.left(n + 11);
        received.remove(0, n + 11);
        handle(frame);
    }
}

void DockStation::handle(const QByteArray& frame) {
    Request request;
    request.ms = elapsedMs();
    request.frame = frame;
    request.data = frame.mid(10, quint8(frame.at(9)));
    journal.append(request);
    note(QStringLiteral("received ") + hex(frame));
    const QByteArray& data = request.data;
    if (data.isEmpty())
        return;
    const quint8 code = quint8(data.at(0));
    if (code != 0x11) {
        // Every reader command of a session must carry the same PC code.
        const QByteArray pc = data.mid(1, 2);
        if (sessionPcCode.isEmpty()) {
            sessionPcCode = pc;
        } else if (pc != sessionPcCode) {
            ++mismatches;
            note(QStringLiteral("PC code %1 differs from the session's %2: ignored")
                     .arg(hex(pc), hex(sessionPcCode)));
            return;
        }
    }
    if (!dock || silent)
        return;
    if (silentRequests > 0) {
        --silentRequests;
        note(QStringLiteral("staying silent"));
        return;
    }
    if (busyWhileSending && Clock_t::now() < streamEnd) {
        note(QStringLiteral("busy sending: request ignored"));
        return;
    }
    if (answerLimit == 0)
        return;
    if (answerLimit > 0)
        --answerLimit;

    switch (code) {
    case 0x11:
        answer(QByteArray(1, char(0x80)));
        return;
    case 0x12: {
        if (!reader || data.size() < 7)
            return;
        const int hour = quint8(data.at(3));
        const int minute = quint8(data.at(4));
        const QDate date = kDayZero.addDays(quint8(data.at(5)) * 256 + quint8(data.at(6)));
        const bool valid = hour <= 23 && minute <= 59;
        if (valid) {
            clockState.set = true;
            clockState.hour = hour;
            clockState.minute = minute;
            clockState.date = date;
        }
        answer(QByteArray::fromHex("93") + char(valid ? clockStatus : 0x01));
        return;
    }
    case 0x13:
        if (!reader || data.size() < 4)
            return;
        options = quint8(data.at(3));
        answer(QByteArray(1, char(optionsCode)) + char(optionsStatus));
        return;
    case 0x72:
        if (data.size() == 4 && quint8(data.at(3)) == 0xFF) {
            if (!reader)
                return;
            if (eraseStatus == 0) {
                if (eraseKeeps)
                    memoryBytes = logBytes + memoryBytes.mid(logBytes.size());
                logBytes.clear();
            }
            answer(QByteArray::fromHex("F3") + char(eraseStatus));
            return;
        }
        if (data.size() == 6 && data.mid(3) == QByteArray(3, '\0')) {
            if (!reader || downloadReply == DownloadReply::NoReader) {
                answer(QByteArray::fromHex("F3") + QByteArray(8, char(0xFF)));
                return;
            }
            if (downloadReply == DownloadReply::DownloadError) {
                answer(QByteArray::fromHex("F3") + QByteArray(8, char(0x01)));
                return;
            }
            QVector<QByteArray> packets =
                downloadReply == DownloadReply::CountError
                    ? DownloadPackets(QByteArray(), readerId, firmware, 0xFFFF).mid(0, 1)
                    : DownloadPackets(logBytes, readerId, firmware, -1, memoryBytes);
            if (stallAfter >= 0 && stallAfter < packets.size())
                packets.resize(stallAfter);
            if (badFirstPacket && !packets.isEmpty()) {
                QByteArray& first = packets.first();
                first[first.size() - 1] = char(quint8(first.at(first.size() - 1)) + 1);
            }
            if (repeatPacket > 0 && repeatPacket <= packets.size())
                packets.insert(repeatPacket, packets.at(repeatPacket - 1));
            if (missingPacket > 0 && missingPacket <= packets.size())
                packets.remove(missingPacket - 1);
            if (extraPacket)
                packets.append(MakeFrame(QByteArray(1, char(0xF3)) + QByteArray(240, '\0')));
            note(QStringLiteral("sending %1 download packet(s)").arg(packets.size()));
            lastDue = qMax(lastDue, Clock_t::now() + std::chrono::milliseconds(latency));
            for (const QByteArray& packet : packets)
                queueFrame(packet, true);
            if (!afterStream.isEmpty())
                queueFrame(MakeFrame(afterStream), true);
            streamEnd = qMax(lastDue, lineFree);
            return;
        }
        return;
    default:
        return;
    }
}

void DockStation::answer(const QByteArray& data) {
    lastDue = qMax(lastDue, Clock_t::now() + std::chrono::milliseconds(latency));
    if (strayFirst)
        queueFrame(ButtonPacket(QStringLiteral("12AB3F")), false);
    queueFrame(MakeFrame(data), true);
}

void DockStation::queueFrame(QByteArray frame, bool withExtras) {
    if (garbage)
        enqueue(garbageBytes(), 0);
    if (extraFF > 0)
        frame.prepend(QByteArray(extraFF, char(0xFF)));
    if (withExtras && badChecksumFirst) {
        QByteArray bad = frame;
        bad[bad.size() - 1] = char(quint8(bad.at(bad.size() - 1)) + 1);
        enqueue(bad, 0);
    }
    if (withExtras && corruptReplies > 0) {
        --corruptReplies;
        frame[frame.size() - 1] = char(quint8(frame.at(frame.size() - 1)) + 1);
    }
    if (splitBytes <= 0) {
        enqueue(frame, 0);
        return;
    }
    for (int i = 0; i < frame.size(); i += splitBytes)
        enqueue(frame.mid(i, splitBytes), i == 0 ? 0 : splitDelay);
}

void DockStation::enqueue(const QByteArray& bytes, int delayMs) {
    if (bytes.isEmpty())
        return;
    Clock_t::time_point due = qMax(lastDue, Clock_t::now()) + std::chrono::milliseconds(delayMs);
    if (!paced) {
        output.push_back({due, bytes});
        lastDue = due;
        return;
    }
    // At the line rate: small chunks, each when the line has sent the one before.
    constexpr int chunkSize = 8;
    const auto perByte = std::chrono::microseconds(1000000 / kLineBytesPerSecond);
    for (int i = 0; i < bytes.size(); i += chunkSize) {
        const QByteArray part = bytes.mid(i, chunkSize);
        due = qMax(due, lineFree);
        output.push_back({due, part});
        lineFree = due + perByte * part.size();
        due = lineFree;
    }
    lastDue = due;
}

void DockStation::flushOutput() {
    while (!output.empty() && output.front().due <= Clock_t::now() && master >= 0) {
        Chunk& c = output.front();
        const ssize_t n = ::write(master, c.bytes.constData(), size_t(c.bytes.size()));
        if (n < 0)
            return; // the terminal's buffer is full: later
        if (n < c.bytes.size()) {
            c.bytes.remove(0, int(n));
            return;
        }
        output.pop_front();
    }
}

QDateTime DockStation::WallClock(const QDate& date, const QTime& time) {
    return QDateTime(date, time, Qt::UTC);
}

QByteArray DockStation::MakeFrame(const QByteArray& data, bool corrupt) {
    QByteArray frame(reinterpret_cast<const char*>(kStartMark), 4);
    frame.append(reinterpret_cast<const char*>(kReplyHeader), 5);
    frame.append(char(data.size()));
    frame.append(data);
    unsigned sum = 0;
    for (int i = 4; i < frame.size(); ++i)
        sum += quint8(frame.at(i));
    frame.append(char((sum + (corrupt ? 1 : 0)) & 0xFF));
    return frame;
}

QByteArray DockStation::ButtonPacket(const QString& code) {
    const QByteArray bytes = QByteArray::fromHex(code.toLatin1()); // most significant first
    QByteArray data = QByteArray::fromHex("2400");
    for (int i = bytes.size() - 1; i >= 0; --i)
        data.append(bytes.at(i));
    return MakeFrame(data);
}

QByteArray DockStation::SlotsFromTouches(const QVector<Touch>& touches) {
    QByteArray out;
    QDate markerDate;
    int markerHour = -1;
    for (const Touch& t : touches) {
        const QDate date = t.time.date();
        const int hour = t.time.time().hour();
        if (date != markerDate || hour != markerHour) {
            const int day = dayCode(date);
            out.append(char(hour));
            out.append(char(day & 0xFF));
            out.append(char((day >> 8) & 0xFF));
            out.append(char(0xAA));
            markerDate = date;
            markerHour = hour;
        }
        const QByteArray code = QByteArray::fromHex(t.code.toLatin1());
        for (int i = 2; i >= 0; --i)
            out.append(i < code.size() ? code.at(i) : '\0');
        out.append(char(t.time.time().minute()));
    }
    return out;
}

QVector<DockStation::Touch> DockStation::MakeTouches(int count, int days, const QStringList& codes,
                                                     const QDate& first) {
    QVector<Touch> touches;
    if (count <= 0 || codes.isEmpty())
        return touches;
    days = qMax(1, days);
    const int perDay = (count + days - 1) / days;
    const int step = qMax(1, 600 / perDay); // minutes between touches, 08:00 to 18:00
    for (int i = 0; i < count; ++i) {
        const int day = i / perDay;
        const int minutes = 8 * 60 + (i % perDay) * step;
        Touch t;
        t.time = WallClock(first.addDays(day), QTime(0, 0).addSecs(qint64(minutes % 1440) * 60));
        t.code = codes.at(i % codes.size()).toUpper();
        touches.append(t);
    }
    return touches;
}

bool DockStation::ReadTouches(const QString& path, QVector<Touch>& touches, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    static const QRegularExpression line(
        QStringLiteral("^\\s*(\\d{4}-\\d{2}-\\d{2})[ T](\\d{2}:\\d{2})\\s+([0-9A-Fa-f]{6})\\s*$"));
    touches.clear();
    int number = 0;
    while (!file.atEnd()) {
        const QString text = QString::fromUtf8(file.readLine()).trimmed();
        ++number;
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const auto m = line.match(text);
        const QDate date = QDate::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd"));
        const QTime clock = QTime::fromString(m.captured(2), QStringLiteral("HH:mm"));
        if (!m.hasMatch() || !date.isValid() || !clock.isValid() || dayCode(date) < 0 ||
            dayCode(date) > 0xFFFF) {
            if (error)
                *error = QStringLiteral("line %1: expected \"YYYY-MM-DD HH:MM CODE\"").arg(number);
            return false;
        }
        touches.append({WallClock(date, clock), m.captured(3).toUpper()});
    }
    return true;
}

bool DockStation::ParseTouch(const QStringList& words, const QDateTime& now, Touch& touch,
                             QString* error) {
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    static const QRegularExpression code(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    if (words.isEmpty() || words.size() > 3 || !code.match(words.first()).hasMatch())
        return fail(QStringLiteral("expected: touch CODE [[YYYY-MM-DD] HH:MM], CODE being 6 "
                                   "hexadecimal digits"));
    QDate date = now.date();
    QTime clock(now.time().hour(), now.time().minute());
    if (words.size() == 3) {
        date = QDate::fromString(words.at(1), QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid() || dayCode(date) < 0 || dayCode(date) > 0xFFFF)
            return fail(
                QStringLiteral("\"%1\" is no date YYYY-MM-DD from 2000-01-01 on").arg(words.at(1)));
    }
    if (words.size() >= 2) {
        clock = QTime::fromString(words.last(), QStringLiteral("H:mm"));
        if (!clock.isValid())
            return fail(QStringLiteral("\"%1\" is no time HH:MM").arg(words.last()));
    }
    touch.time = WallClock(date, clock);
    touch.code = words.first().toUpper();
    return true;
}

int DockStation::PacketCount(int records) {
    return records <= 58 ? 1 : 1 + (records - 58 + 59) / 60;
}

QVector<QByteArray> DockStation::DownloadPackets(const QByteArray& recordSlots, const QString& id,
                                                 quint8 fw, int recordCount,
                                                 const QByteArray& behindLog) {
    const int records = int(recordSlots.size() / 4);
    const int count = recordCount >= 0 ? recordCount : records;
    const int packets =
        PacketCount(recordCount >= 0 && recordCount != 0xFFFF ? recordCount : records);
    // The ID text D1D2D3D4D5D6D7D8 travels as D7D8 D5D6 D1D2 D3D4.
    const QByteArray idBytes = QByteArray::fromHex(id.toLatin1()).leftJustified(4, '\0', true);
    QVector<QByteArray> frames;
    int next = 0;
    for (int p = 0; p < packets; ++p) {
        QByteArray data(1, char(0xF3));
        int slotCount = 60;
        if (p == 0) {
            data.append(char(count & 0xFF));
            data.append(char((count >> 8) & 0xFF));
            data.append(idBytes.at(3));
            data.append(idBytes.at(2));
            data.append(idBytes.at(0));
            data.append(idBytes.at(1));
            data.append(char(fw));
            data.append('\0');
            slotCount = 58;
        }
        for (int s = 0; s < slotCount; ++s, ++next) {
            if (next < records)
                data.append(recordSlots.mid(next * 4, 4));
            else if (next > records && (next + 1) * 4 <= behindLog.size())
                data.append(behindLog.mid(next * 4, 4));
            else
                data.append(QByteArray(4, '\0'));
        }
        frames.append(MakeFrame(data));
    }
    return frames;
}

// Setters and journal, under the lock.

#define LOCKED std::lock_guard<std::mutex> lock(mutex)

void DockStation::setDockPresent(bool on) {
    LOCKED;
    dock = on;
}
void DockStation::setReaderPresent(bool on) {
    LOCKED;
    reader = on;
}
void DockStation::setReaderId(const QString& id) {
    LOCKED;
    readerId = id.toUpper();
}
void DockStation::setFirmware(quint8 fw) {
    LOCKED;
    firmware = fw;
}
void DockStation::setLog(const QVector<Touch>& touches) {
    LOCKED;
    logBytes = SlotsFromTouches(touches);
}
void DockStation::setLogSlots(const QByteArray& recordSlots) {
    LOCKED;
    logBytes = recordSlots;
}
QByteArray DockStation::logSlots() const {
    LOCKED;
    return logBytes;
}
void DockStation::setDownloadReply(DownloadReply reply) {
    LOCKED;
    downloadReply = reply;
}
void DockStation::setOptionsReplyCode(quint8 code) {
    LOCKED;
    optionsCode = code;
}
void DockStation::setStatuses(quint8 clock, quint8 opts, quint8 erase) {
    LOCKED;
    clockStatus = clock;
    optionsStatus = opts;
    eraseStatus = erase;
}
DockStation::Clock DockStation::clock() const {
    LOCKED;
    return clockState;
}
int DockStation::optionByte() const {
    LOCKED;
    return options;
}
void DockStation::setLatency(int ms) {
    LOCKED;
    latency = qMax(0, ms);
}
void DockStation::setPaced(bool on) {
    LOCKED;
    paced = on;
}
void DockStation::setSilent(bool on) {
    LOCKED;
    silent = on;
}
void DockStation::setSilentRequests(int count) {
    LOCKED;
    silentRequests = count;
}
void DockStation::setAnswerLimit(int count) {
    LOCKED;
    answerLimit = count;
}
void DockStation::setBadChecksumFirst(bool on) {
    LOCKED;
    badChecksumFirst = on;
}
void DockStation::setCorruptReplies(int count) {
    LOCKED;
    corruptReplies = count;
}
void DockStation::setGarbage(bool on) {
    LOCKED;
    garbage = on;
}
void DockStation::setSplit(int bytes, int delayMs) {
    LOCKED;
    splitBytes = bytes;
    splitDelay = delayMs;
}
void DockStation::setStrayFrameFirst(bool on) {
    LOCKED;
    strayFirst = on;
}
void DockStation::setExtraPreambleFF(int count) {
    LOCKED;
    extraFF = qMax(0, count);
}
void DockStation::setStallAfterPackets(int count) {
    LOCKED;
    stallAfter = count;
}
void DockStation::setAfterStream(const QByteArray& data) {
    LOCKED;
    afterStream = data;
}
void DockStation::setBadFirstPacket(bool on) {
    LOCKED;
    badFirstPacket = on;
}
void DockStation::setRepeatPacket(int number) {
    LOCKED;
    repeatPacket = number;
}
void DockStation::setMissingPacket(int number) {
    LOCKED;
    missingPacket = number;
}
void DockStation::setExtraPacket(bool on) {
    LOCKED;
    extraPacket = on;
}
void DockStation::setEraseKeepsRecords(bool on) {
    LOCKED;
    eraseKeeps = on;
    if (!on)
        memoryBytes.clear();
}
void DockStation::setBusyWhileSending(bool on) {
    LOCKED;
    busyWhileSending = on;
}
void DockStation::clearStreamFaults() {
    LOCKED;
    badFirstPacket = extraPacket = busyWhileSending = false;
    repeatPacket = missingPacket = 0;
    stallAfter = -1;
    afterStream.clear();
}
bool DockStation::addTouch(const Touch& touch) {
    LOCKED;
    QDate markerDate;
    int markerHour = -1;
    for (qsizetype at = logBytes.size() / 4 * 4 - 4; at >= 0; at -= 4) {
        if (quint8(logBytes.at(at + 3)) == 0xAA) {
            markerHour = quint8(logBytes.at(at));
            markerDate =
                kDayZero.addDays(quint8(logBytes.at(at + 1)) + 256 * quint8(logBytes.at(at + 2)));
            break;
        }
    }
    const bool marker = touch.time.date() != markerDate || touch.time.time().hour() != markerHour;
    QByteArray bytes = SlotsFromTouches({touch});
    if (!marker)
        bytes.remove(0, 4);
    if (logBytes.size() / 4 + bytes.size() / 4 > kMaxSlots)
        return false;
    logBytes.append(bytes);
    return true;
}

void DockStation::insertZeroRecord(int index) {
    LOCKED;
    const int at = qBound(0, index, int(logBytes.size() / 4)) * 4;
    logBytes.insert(at, QByteArray(4, '\0'));
}
void DockStation::setMonitor(std::function<void(const QString&)> m) {
    LOCKED;
    monitor = std::move(m);
}

void DockStation::sendButton(const QString& code) {
    LOCKED;
    note(QStringLiteral("button %1 touched").arg(code));
    queueFrame(ButtonPacket(code), false);
}

void DockStation::hangUp() {
    hangUpRequested = true;
}

QVector<DockStation::Request> DockStation::requests() const {
    LOCKED;
    return journal;
}
QByteArray DockStation::noise() const {
    LOCKED;
    return noiseBytes;
}
int DockStation::pcCodeMismatches() const {
    LOCKED;
    return mismatches;
}
QByteArray DockStation::pcCode() const {
    LOCKED;
    return sessionPcCode;
}
bool DockStation::outputPending() const {
    LOCKED;
    return !output.empty();
}

void DockStation::clearJournal() {
    LOCKED;
    journal.clear();
    noiseBytes.clear();
}
