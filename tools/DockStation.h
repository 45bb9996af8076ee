#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// A docking station with a reader in it, on a pseudo-terminal: the program opens the
// terminal's device like a serial port. It runs on a thread of its own and reads and
// writes only the terminal's master side. Its frame code is its own, written from the line
// description and not shared with the program, so that a fault on one side shows.
class DockStation {
public:
    // A frame received from the program.
    struct Request {
        qint64 ms = 0;    // since start()
        QByteArray frame; // the whole frame
        QByteArray data;  // its data bytes, code first
        quint8 code() const { return data.isEmpty() ? 0 : quint8(data.at(0)); }
    };
    struct Touch {
        QDateTime time;
        QString code; // six hexadecimal digits
    };
    struct Clock {
        bool set = false;
        int hour = 0, minute = 0;
        QDate date;
    };
    enum class DownloadReply { Data, NoReader, DownloadError, CountError };

    // Replies carry header bytes of their own; a receiver never reads them.
    static constexpr quint8 kReplyHeader[5] = {0x05, 0x00, 0x02, 0x52, 0x01};
    static constexpr int kLineBytesPerSecond = 960; // 9600 baud, 10 bits a byte

    DockStation();
    ~DockStation();
    DockStation(const DockStation&) = delete;
    DockStation& operator=(const DockStation&) = delete;

    bool start(QString* error = nullptr);
    void stop();
    // The device the program opens.
    QString devicePath() const { return slaveName; }
    // A symbolic link to the device (replaced when present).
    bool makeLink(const QString& path, QString* error = nullptr);

    // What stands in the dock.
    void setDockPresent(bool on);
    void setReaderPresent(bool on);
    void setReaderId(const QString& eightHexDigits);
    void setFirmware(quint8 firmware);
    void setLog(const QVector<Touch>& touches);
    void setLogSlots(const QByteArray& recordSlots); // raw 4-byte record slots
    QByteArray logSlots() const;
    void setDownloadReply(DownloadReply reply);
    void setOptionsReplyCode(quint8 code);
    void setStatuses(quint8 clock, quint8 options, quint8 erase);
    Clock clock() const;
    int optionByte() const; // -1 before the first set-options request

    // Timing and faults.
    void setLatency(int milliseconds);
    void setPaced(bool on);                // output at the line rate instead of at once
    void setSilent(bool on);               // answers nothing
    void setSilentRequests(int count);     // ignores the next `count` requests
    void setAnswerLimit(int count);        // answers only the next `count` requests (-1 all)
    void setBadChecksumFirst(bool on);     // a corrupt copy before every reply frame
    void setCorruptReplies(int count);     // the next `count` reply frames carry a wrong checksum
    void setGarbage(bool on);              // bytes of no frame before and between frames
    void setSplit(int bytes, int delayMs); // frames written in chunks (0: whole)
    void setStrayFrameFirst(bool on);      // a button-ID frame before every reply
    void setExtraPreambleFF(int count);    // more FF before the start mark
    void setStallAfterPackets(int count);  // download stops after `count` packets (-1 never)
    void setAfterStream(const QByteArray& data); // a reply frame with these data after the packets
    // Faults of a download stream (packets counted from 1; 0 or less: none).
    void setBadFirstPacket(bool on);   // the first packet's checksum is spoilt
    void setRepeatPacket(int number);  // packet `number` is sent twice
    void setMissingPacket(int number); // packet `number` is left out
    void setExtraPacket(bool on);      // one more data packet, of empty slots, after the last
    // The erase only moves the reader's log pointer back: the old records stay in its memory
    // and travel behind the end of the next logs.
    void setEraseKeepsRecords(bool on);
    // A reader busy sending a stream ignores requests until its last packet is out; the stream
    // goes on to its end whatever the program does meanwhile.
    void setBusyWhileSending(bool on);
    void clearStreamFaults(); // all of the above off, and no stall
    // The reader logs a touch behind what it holds, with a date marker first when the day or
    // the hour differs from the log's last one. False when its memory is full.
    bool addTouch(const Touch& touch);
    // Four zero bytes (key 000000 at minute 00) put in as log slot `index` (from 0).
    void insertZeroRecord(int index);

    // Unprompted traffic and events.
    void sendButton(const QString& code); // a button-ID packet for this key
    void hangUp();                        // closes the terminal: the program's port fails
    bool isHungUp() const { return hungUp; }

    // What the program sent.
    QVector<Request> requests() const;
    QByteArray noise() const; // bytes that belonged to no frame
    int pcCodeMismatches() const;
    QByteArray pcCode() const; // the PC code of the session's first reader command
    void clearJournal();
    // Output still queued or being written.
    bool outputPending() const;

    // Called on the station's thread with one line per event (for the command-line tool).
    void setMonitor(std::function<void(const QString&)> monitor);

    // Touches for a wall-clock time as the reader logs it: the parts, never the machine's time
    // zone (02:30 on the night the clocks go forward is a time the reader logs).
    static QDateTime WallClock(const QDate& date, const QTime& time);

    // The frame with the reply header; `corrupt` spoils its checksum.
    static QByteArray MakeFrame(const QByteArray& data, bool corrupt = false);
    static QByteArray ButtonPacket(const QString& code);
    // Date markers and touches as the reader logs them.
    static QByteArray SlotsFromTouches(const QVector<Touch>& touches);
    // `count` touches spread over `days` days from `first`, between 08:00 and 18:00, the
    // codes taken in turn.
    static QVector<Touch> MakeTouches(int count, int days, const QStringList& codes,
                                      const QDate& first);
    // The words after the live command `touch`: "CODE [[YYYY-MM-DD] HH:MM]". A time alone is
    // of `now`'s day; no time is `now` (seconds dropped).
    static bool ParseTouch(const QStringList& words, const QDateTime& now, Touch& touch,
                           QString* error = nullptr);
    // The most record slots a reader holds: its count of them has 16 bits, FFFF meaning none.
    static constexpr int kMaxSlots = 0xFFFE;
    // Lines "YYYY-MM-DD HH:MM CODE"; blank lines and lines starting with # are skipped.
    static bool ReadTouches(const QString& path, QVector<Touch>& touches, QString* error = nullptr);
    // The data packets of a download (whole frames). The slot after the log holds the end-of-log
    // record; the slots after it what `behindLog` holds at their place (old records of a
    // reader whose erase keeps them), else zero.
    static QVector<QByteArray> DownloadPackets(const QByteArray& recordSlots,
                                               const QString& readerId, quint8 firmware,
                                               int recordCount = -1,
                                               const QByteArray& behindLog = QByteArray());
    static int PacketCount(int records);

private:
    using Clock_t = std::chrono::steady_clock;
    struct Chunk {
        Clock_t::time_point due;
        QByteArray bytes;
    };

    void run();
    void scan();
    void handle(const QByteArray& frame);
    void answer(const QByteArray& data);
    void queueFrame(QByteArray frame, bool withExtras);
    void enqueue(const QByteArray& bytes, int delayMs);
    void flushOutput();
    void closeTerminal();
    void note(const QString& line);
    qint64 elapsedMs() const;

    mutable std::mutex mutex;
    std::thread worker;
    std::atomic<bool> stopping{false};
    std::atomic<bool> hangUpRequested{false};
    std::atomic<bool> hungUp{false};
    int master = -1;
    int slave = -1;
    QString slaveName;
    Clock_t::time_point started;

    QByteArray received;
    std::deque<Chunk> output;
    Clock_t::time_point lineFree;
    Clock_t::time_point lastDue;

    bool dock = true;
    bool reader = true;
    QString readerId = QStringLiteral("34125678");
    quint8 firmware = 0x08;
    QByteArray logBytes;
    DownloadReply downloadReply = DownloadReply::Data;
    quint8 optionsCode = 0x94;
    quint8 clockStatus = 0, optionsStatus = 0, eraseStatus = 0;
    Clock clockState;
    int options = -1;

    int latency = 20;
    bool paced = false;
    bool silent = false;
    int silentRequests = 0;
    int answerLimit = -1;
    bool badChecksumFirst = false;
    int corruptReplies = 0;
    bool garbage = false;
    int splitBytes = 0;
    int splitDelay = 0;
    bool strayFirst = false;
    int extraFF = 0;
    int stallAfter = -1;
    QByteArray afterStream;
    bool badFirstPacket = false;
    int repeatPacket = 0;
    int missingPacket = 0;
    bool extraPacket = false;
    bool eraseKeeps = false;
    QByteArray memoryBytes; // the memory behind the log, when the erase keeps records
    bool busyWhileSending = false;
    Clock_t::time_point streamEnd;

    QVector<Request> journal;
    QByteArray noiseBytes;
    QByteArray sessionPcCode;
    int mismatches = 0;
    std::function<void(const QString&)> monitor;
};
