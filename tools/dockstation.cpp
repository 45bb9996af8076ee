// trevano-dockstation: a docking station with a reader in it, on a pseudo-terminal, for
// trying the program without the hardware.
#include "DockStation.h"
#include "ProductName.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QSettings>

#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <functional>
#include <poll.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

void out(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

const char* kCommands =
    "Commands (one a line on standard input), taken while the program stays connected:\n"
    "  touch CODE [[YYYY-MM-DD] HH:MM]\n"
    "                   the reader logs a touch of the key CODE (6 hex digits) at that time\n"
    "                   (a time alone is today's; none is now); the next download brings it\n"
    "  button CODE      send the key CODE's ID as the dock does while Setup's Add button\n"
    "                   dialog waits for a key; nothing is logged\n"
    "  dock on|off      docking station present (answers) or not\n"
    "  reader on|off    reader in the dock or not (a download reports no reader)\n"
    "  silent on|off    answer nothing at all\n"
    "  bad-first on|off spoil the checksum of a download's first packet\n"
    "  repeat K         send packet K of a download twice (0: none)\n"
    "  missing K        leave packet K of a download out (0: none)\n"
    "  extra on|off     send one more data packet after a download's last\n"
    "  busy on|off      ignore requests while a download is still being sent\n"
    "  erase ok|fail    the reader accepts or refuses to be erased\n"
    "  hangup           close the line: the program shows \"Docking Station : Not Detected\";\n"
    "                   start the simulator again, then show the program's Home page to\n"
    "                   reconnect\n"
    "  status           what the program has sent so far and what the reader holds\n"
    "  help             this list\n"
    "  quit             end (Ctrl+C too)\n"
    "\n"
    "A guard's walk, given while the program stays connected, then Download on its Download\n"
    "page:\n"
    "  touch 12AB3F 22:00\n"
    "  touch 00A1B2 22:10\n"
    "  touch 5C0F01 22:25";

QSettings programSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, ProductName(), ProductName());
}

// What the simulator points at its terminal: the program's port setting and a symbolic
// link. Both go as soon as the line goes (a hang-up, the end): a later start of the program
// must never open a terminal that has meanwhile been given to someone else.
class Pointers {
public:
    explicit Pointers(QString terminal) : device(std::move(terminal)) {}
    ~Pointers() { remove(); }
    Pointers(const Pointers&) = delete;
    Pointers& operator=(const Pointers&) = delete;

    void setPort(int n) { port = n; }
    void setLink(const QString& path) { link = path; }
    void remove() {
        if (port > 0) {
            QSettings s = programSettings();
            if (s.value(key()).toString() == device) {
                s.remove(key());
                s.sync();
            }
            port = 0;
        }
        if (!link.isEmpty()) {
            if (QFileInfo(link).symLinkTarget() == QFileInfo(device).absoluteFilePath())
                QFile::remove(link);
            link.clear();
        }
    }
    QString key() const { return QStringLiteral("ComPort_Settings/Device%1").arg(port); }

private:
    QString device;
    int port = 0;
    QString link;
};

bool onOff(const QString& word, bool& value) {
    if (word == QLatin1String("on"))
        value = true;
    else if (word == QLatin1String("off"))
        value = false;
    else
        return false;
    return true;
}

bool number(const QString& word, int& value) {
    bool ok = false;
    value = word.toInt(&ok);
    return ok && value >= 0;
}

void command(DockStation& station, const QString& line, bool& quit,
             const std::function<void()>& lineGone) {
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return;
    const QString verb = words.first().toLower();
    const QString arg = words.value(1).toLower();
    bool flag = false;
    int k = 0;
    if (verb == QLatin1String("quit") || verb == QLatin1String("exit")) {
        quit = true;
    } else if (verb == QLatin1String("help")) {
        out(QString::fromLatin1(kCommands));
    } else if (verb == QLatin1String("button") &&
               QRegularExpression(QStringLiteral("^[0-9a-f]{6}$")).match(arg).hasMatch()) {
        station.sendButton(arg.toUpper());
    } else if (verb == QLatin1String("touch")) {
        DockStation::Touch touch;
        QString error;
        if (!DockStation::ParseTouch(words.mid(1), QDateTime::currentDateTime(), touch, &error))
            out(error);
        else if (!station.addTouch(touch))
            out(QStringLiteral("The reader's memory is full: download and erase it first"));
        else
            out(QStringLiteral("Logged: key %1 at %2 (%3 record slot(s) in the reader's log)")
                    .arg(touch.code, touch.time.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                    .arg(station.logSlots().size() / 4));
    } else if (verb == QLatin1String("dock") && onOff(arg, flag)) {
        station.setDockPresent(flag);
    } else if (verb == QLatin1String("reader") && onOff(arg, flag)) {
        station.setReaderPresent(flag);
    } else if (verb == QLatin1String("silent") && onOff(arg, flag)) {
        station.setSilent(flag);
    } else if (verb == QLatin1String("bad-first") && onOff(arg, flag)) {
        station.setBadFirstPacket(flag);
    } else if (verb == QLatin1String("repeat") && number(arg, k)) {
        station.setRepeatPacket(k);
    } else if (verb == QLatin1String("missing") && number(arg, k)) {
        station.setMissingPacket(k);
    } else if (verb == QLatin1String("extra") && onOff(arg, flag)) {
        station.setExtraPacket(flag);
    } else if (verb == QLatin1String("busy") && onOff(arg, flag)) {
        station.setBusyWhileSending(flag);
    } else if (verb == QLatin1String("erase") &&
               (arg == QLatin1String("ok") || arg == QLatin1String("fail"))) {
        station.setStatuses(0, 0, arg == QLatin1String("ok") ? 0 : 1);
    } else if (verb == QLatin1String("hangup")) {
        station.hangUp();
        lineGone();
    } else if (verb == QLatin1String("status")) {
        const auto requests = station.requests();
        out(QStringLiteral("%1 request(s) received, PC code %2, %3 PC-code mismatch(es), %4 record "
                           "slot(s) in the log")
                .arg(requests.size())
                .arg(QString::fromLatin1(station.pcCode().toHex(' ').toUpper()))
                .arg(station.pcCodeMismatches())
                .arg(station.logSlots().size() / 4));
    } else {
        out(QStringLiteral("Unknown command \"%1\" (help lists them)").arg(line.trimmed()));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trevano-dockstation"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "A simulated docking station with a reader in it, on a pseudo-terminal.\n"
            "It prints the device it listens on; --port N points the program's port N at it\n"
            "(setting ComPort_Settings/DeviceN, removed again when the line goes: hangup or\n"
            "exit; --link likewise).\n\n") +
        QString::fromLatin1(kCommands));
    parser.addHelpOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Point the program's port <n> (1 to 8) at the simulator."),
        QStringLiteral("n"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Also make a symbolic link <path> to the device."),
                                  QStringLiteral("path"));
    const QCommandLineOption noDock(QStringLiteral("no-dock"),
                                    QStringLiteral("No docking station: nothing is answered."));
    const QCommandLineOption noReader(
        QStringLiteral("no-reader"),
        QStringLiteral("The dock answers, but no reader stands in it."));
    const QCommandLineOption readerId(QStringLiteral("reader-id"),
                                      QStringLiteral("Reader ID, 8 hex digits (default 34125678)."),
                                      QStringLiteral("id"), QStringLiteral("34125678"));
    const QCommandLineOption firmware(
        QStringLiteral("firmware"), QStringLiteral("Firmware byte in hex (default 08; FF: none)."),
        QStringLiteral("hex"), QStringLiteral("08"));
    const QCommandLineOption touches(QStringLiteral("touches"),
                                     QStringLiteral("Touches in the reader's log (default 20)."),
                                     QStringLiteral("n"), QStringLiteral("20"));
    const QCommandLineOption days(
        QStringLiteral("days"),
        QStringLiteral("Days the touches are spread over, ending today (default 2)."),
        QStringLiteral("n"), QStringLiteral("2"));
    const QCommandLineOption buttons(
        QStringLiteral("buttons"),
        QStringLiteral(
            "Button codes touched in turn, comma separated (default 12AB3F,00A1B2,5C0F01)."),
        QStringLiteral("codes"), QStringLiteral("12AB3F,00A1B2,5C0F01"));
    const QCommandLineOption logFile(
        QStringLiteral("log-file"),
        QStringLiteral("Take the touches from <file>: lines \"YYYY-MM-DD HH:MM CODE\"."),
        QStringLiteral("file"));
    const QCommandLineOption downloadError(
        QStringLiteral("download-error"),
        QStringLiteral("Answer a download with the \"download error\" status packet."));
    const QCommandLineOption countError(
        QStringLiteral("count-error"),
        QStringLiteral("Answer a download with the record count FFFF."));
    const QCommandLineOption optionsCode(
        QStringLiteral("options-code"),
        QStringLiteral("Reply code to set-options, hex (default 94)."), QStringLiteral("hex"),
        QStringLiteral("94"));
    const QCommandLineOption latency(QStringLiteral("latency"),
                                     QStringLiteral("Milliseconds before a reply (default 20)."),
                                     QStringLiteral("ms"), QStringLiteral("20"));
    const QCommandLineOption paced(
        QStringLiteral("paced"), QStringLiteral("Send at the 9600-baud line rate (960 bytes/s)."));
    const QCommandLineOption silentFirst(QStringLiteral("silent-first"),
                                         QStringLiteral("Ignore the first <k> requests."),
                                         QStringLiteral("k"));
    const QCommandLineOption badChecksum(
        QStringLiteral("bad-checksum-first"),
        QStringLiteral("Send a copy with a wrong checksum before every reply."));
    const QCommandLineOption corrupt(QStringLiteral("corrupt"),
                                     QStringLiteral("Spoil the checksum of the next <k> replies."),
                                     QStringLiteral("k"));
    const QCommandLineOption garbage(
        QStringLiteral("garbage"),
        QStringLiteral("Send bytes of no frame before and between frames."));
    const QCommandLineOption split(
        QStringLiteral("split"),
        QStringLiteral("Write frames in chunks of <bytes>, <ms> apart (default 5 ms)."),
        QStringLiteral("bytes[:ms]"));
    const QCommandLineOption stray(QStringLiteral("stray"),
                                   QStringLiteral("Send a button-ID frame before every reply."));
    const QCommandLineOption stallAfter(QStringLiteral("stall-after"),
                                        QStringLiteral("Stop a download after <k> packets."),
                                        QStringLiteral("k"));
    const QCommandLineOption badFirst(
        QStringLiteral("bad-first-packet"),
        QStringLiteral("Spoil the checksum of the first packet of every download."));
    const QCommandLineOption repeat(QStringLiteral("repeat-packet"),
                                    QStringLiteral("Send packet <k> of a download twice."),
                                    QStringLiteral("k"));
    const QCommandLineOption missing(QStringLiteral("missing-packet"),
                                     QStringLiteral("Leave packet <k> of a download out."),
                                     QStringLiteral("k"));
    const QCommandLineOption extra(
        QStringLiteral("extra-packet"),
        QStringLiteral("Send one more data packet after the last one of a download."));
    const QCommandLineOption busy(
        QStringLiteral("busy-while-sending"),
        QStringLiteral("A download goes on to its end whatever the program does (Cancel); "
                       "requests meanwhile are ignored."));
    const QCommandLineOption zeroRecord(
        QStringLiteral("zero-record"),
        QStringLiteral("Put a record of four zero bytes (key 000000 at minute 00) into the log as "
                       "slot <k> (from 0)."),
        QStringLiteral("k"));
    const QCommandLineOption eraseFails(
        QStringLiteral("erase-fails"),
        QStringLiteral(
            "The reader refuses to be erased and keeps its log (`erase ok` allows it)."));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Print every frame received."));
    parser.addOptions({port,        link,    noDock,  noReader,    readerId,      firmware,
                       touches,     days,    buttons, logFile,     downloadError, countError,
                       optionsCode, latency, paced,   silentFirst, badChecksum,   corrupt,
                       garbage,     split,   stray,   stallAfter,  badFirst,      repeat,
                       missing,     extra,   busy,    zeroRecord,  eraseFails,    verbose});
    parser.process(app);

    const auto fail = [](const QString& text) {
        std::fputs(qPrintable(QStringLiteral("trevano-dockstation: ") + text + QLatin1Char('\n')),
                   stderr);
        return 2;
    };
    bool ok = true;
    const auto number = [&](const QCommandLineOption& o, int base = 10) {
        bool good = false;
        const int v = parser.value(o).toInt(&good, base);
        ok = ok && good;
        return v;
    };

    DockStation station;
    station.setDockPresent(!parser.isSet(noDock));
    station.setReaderPresent(!parser.isSet(noReader));
    if (!QRegularExpression(QStringLiteral("^[0-9A-Fa-f]{8}$"))
             .match(parser.value(readerId))
             .hasMatch())
        return fail(QStringLiteral("--reader-id needs 8 hexadecimal digits"));
    station.setReaderId(parser.value(readerId));
    station.setFirmware(quint8(number(firmware, 16)));
    station.setOptionsReplyCode(quint8(number(optionsCode, 16)));
    station.setLatency(number(latency));
    if (parser.isSet(logFile)) {
        QVector<DockStation::Touch> list;
        QString error;
        if (!DockStation::ReadTouches(parser.value(logFile), list, &error))
            return fail(parser.value(logFile) + QStringLiteral(": ") + error);
        station.setLog(list);
    } else {
        const int d = qMax(1, number(days));
        const QStringList codes = parser.value(buttons).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString& c : codes)
            if (!QRegularExpression(QStringLiteral("^[0-9A-Fa-f]{6}$"))
                     .match(c.trimmed())
                     .hasMatch())
                return fail(QStringLiteral("--buttons: \"%1\" is not 6 hexadecimal digits").arg(c));
        station.setLog(DockStation::MakeTouches(number(touches), d, codes,
                                                QDate::currentDate().addDays(1 - d)));
    }
    if (parser.isSet(downloadError))
        station.setDownloadReply(DockStation::DownloadReply::DownloadError);
    if (parser.isSet(countError))
        station.setDownloadReply(DockStation::DownloadReply::CountError);
    station.setPaced(parser.isSet(paced));
    if (parser.isSet(silentFirst))
        station.setSilentRequests(number(silentFirst));
    station.setBadChecksumFirst(parser.isSet(badChecksum));
    if (parser.isSet(corrupt))
        station.setCorruptReplies(number(corrupt));
    station.setGarbage(parser.isSet(garbage));
    if (parser.isSet(split)) {
        const QStringList parts = parser.value(split).split(QLatin1Char(':'));
        bool good = false, goodDelay = true;
        const int bytes = parts.at(0).toInt(&good);
        const int delay = parts.size() > 1 ? parts.at(1).toInt(&goodDelay) : 5;
        if (!good || !goodDelay || bytes < 1)
            return fail(QStringLiteral("--split needs <bytes>[:<ms>]"));
        station.setSplit(bytes, delay);
    }
    station.setStrayFrameFirst(parser.isSet(stray));
    if (parser.isSet(stallAfter))
        station.setStallAfterPackets(number(stallAfter));
    station.setBadFirstPacket(parser.isSet(badFirst));
    if (parser.isSet(repeat))
        station.setRepeatPacket(number(repeat));
    if (parser.isSet(missing))
        station.setMissingPacket(number(missing));
    station.setExtraPacket(parser.isSet(extra));
    station.setBusyWhileSending(parser.isSet(busy));
    if (parser.isSet(zeroRecord))
        station.insertZeroRecord(number(zeroRecord));
    if (parser.isSet(eraseFails))
        station.setStatuses(0, 0, 1);
    if (!ok)
        return fail(QStringLiteral("a number is not valid (see --help)"));
    const bool loud = parser.isSet(verbose);
    station.setMonitor([loud](const QString& line) {
        if (loud || !line.contains(QLatin1String("received ")))
            out(line);
    });

    QString error;
    if (!station.start(&error))
        return fail(QStringLiteral("cannot open a pseudo-terminal: ") + error);
    out(QStringLiteral("Docking station listening on %1").arg(station.devicePath()));
    Pointers pointers(station.devicePath());
    if (parser.isSet(link)) {
        if (!station.makeLink(parser.value(link), &error))
            return fail(parser.value(link) + QStringLiteral(": ") + error);
        pointers.setLink(parser.value(link));
        out(QStringLiteral("Linked from %1").arg(parser.value(link)));
    }
    if (parser.isSet(port)) {
        const int portNumber = number(port);
        if (!ok || portNumber < 1 || portNumber > 8)
            return fail(QStringLiteral("--port needs a number from 1 to 8"));
        pointers.setPort(portNumber);
        QSettings s = programSettings();
        s.setValue(pointers.key(), station.devicePath());
        s.sync();
        out(QStringLiteral("Port COM%1 of the program now opens it (%2)")
                .arg(portNumber)
                .arg(s.fileName()));
    }
    out(QStringLiteral("%1 record slot(s) in the reader's log. Type help for commands.")
            .arg(station.logSlots().size() / 4));

    if (::pipe(signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::signal(SIGHUP, onSignal);
    }
    bool quit = false;
    bool input = true;
    QByteArray pending;
    while (!quit) {
        pollfd fds[2] = {{signalPipe[0], POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (::poll(fds, input ? 2 : 1, -1) < 0)
            continue;
        if (fds[0].revents)
            break;
        if (input && fds[1].revents) {
            char buffer[512];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                input = false; // no more input: run until a signal ends it
                continue;
            }
            pending.append(buffer, int(n));
            for (int end = int(pending.indexOf('\n')); end >= 0 && !quit;
                 end = int(pending.indexOf('\n'))) {
                command(station, QString::fromLocal8Bit(pending.left(end)), quit, [&] {
                    pointers.remove();
                    out(QStringLiteral("Line closed: the port setting and link are removed"));
                });
                pending.remove(0, end + 1);
            }
        }
    }

    pointers.remove();
    station.stop();
    out(QStringLiteral("Docking station stopped"));
    return 0;
}
