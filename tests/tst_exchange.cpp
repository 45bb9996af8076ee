// The rules of the command exchange and the reader commands over an in-memory line at a tenth
// of the line's timings: what each command takes for an answer, its tries, and that a line
// that is gone, or is no longer the one the steps began on, ends it at once.
#include "DockStation.h"
#include "MemoryLine.h"
#include "cCommandExchange.h"
#include "cHeldLine.h"
#include "cSerialLink.h"
#include "mLinkGlobals.h"
#include "mPacket.h"

#include <QtTest>

namespace {

const cLinkTimings kTimings = cLinkTimings().Scaled(0.1);

enum class Command { Erase, Clock, Options };
enum class Reader { Accepts, Refuses, Silent, LostBefore, LostWhileWaiting, OtherPort };

LinkResult run(cCommandExchange& exchange, Command command) {
    switch (command) {
    case Command::Erase:
        return exchange.Erase();
    case Command::Clock:
        return exchange.SetClock(QDateTime(QDate(2026, 3, 4), QTime(14, 5)));
    case Command::Options:
        return exchange.SetOptions(0x07);
    }
    return LinkResult::Failed;
}

quint8 replyCode(Command command) {
    return command == Command::Erase   ? kReplyErase
           : command == Command::Clock ? kReplySetClock
                                       : kReplyDockingCheck;
}

int tries(Command command) {
    return command == Command::Erase   ? kTimings.Erase.Tries
           : command == Command::Clock ? kTimings.SetClock.Tries
                                       : kTimings.SetOptions.Tries;
}

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Reader)
Q_DECLARE_METATYPE(LinkResult)

class tst_exchange : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { gReceiveEnabled = false; }

    void commands_data();
    void commands();
    void strayFrameIsNotTheAnswer();
    void eraseAskedAgain_data();
    void eraseAskedAgain();
    void heldSerialLinkAfterReopen();
};

void tst_exchange::commands_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<LinkResult>("result");
    QTest::addColumn<int>("writes");
    const struct {
        const char* name;
        Command command;
    } commands[] = {
        {"erase", Command::Erase}, {"clock", Command::Clock}, {"options", Command::Options}};
    for (const auto& c : commands) {
        const int n = tries(c.command);
        QTest::addRow("%s accepted", c.name)
            << c.command << Reader::Accepts << LinkResult::Done << 1;
        QTest::addRow("%s refused", c.name)
            << c.command << Reader::Refuses << LinkResult::Failed << 1;
        QTest::addRow("%s unanswered", c.name)
            << c.command << Reader::Silent << LinkResult::Failed << n;
        QTest::addRow("%s on a lost line", c.name)
            << c.command << Reader::LostBefore << LinkResult::LineLost << 0;
        QTest::addRow("%s line lost while waiting", c.name)
            << c.command << Reader::LostWhileWaiting << LinkResult::LineLost << 1;
        QTest::addRow("%s on another port", c.name)
            << c.command << Reader::OtherPort << LinkResult::LineLost << 0;
    }
}

void tst_exchange::commands() {
    QFETCH(Command, command);
    QFETCH(Reader, reader);
    QFETCH(LinkResult, result);
    QFETCH(int, writes);

    MemoryLine line;
    bool samePort = reader != Reader::OtherPort;
    cHeldLine held(line, [&samePort] { return samePort; });
    line.open = reader != Reader::LostBefore;
    line.onCommand = [&](const QByteArray&) -> MemoryLine::Stream {
        switch (reader) {
        case Reader::Accepts:
            return {{kTimings.SettleMs / 2,
                     DockStation::MakeFrame(
                         QByteArray::fromHex("00").prepend(char(replyCode(command))))}};
        case Reader::Refuses:
            return {{kTimings.SettleMs / 2,
                     DockStation::MakeFrame(
                         QByteArray::fromHex("01").prepend(char(replyCode(command))))}};
        case Reader::LostWhileWaiting:
            line.open = false;
            return {};
        default:
            return {};
        }
    };
    cCommandExchange exchange(held, kTimings);
    QCOMPARE(run(exchange, command), result);
    QCOMPARE(line.written.size(), writes);
}

void tst_exchange::strayFrameIsNotTheAnswer() {
    // A frame of another code ahead of the reply is dropped, the reply is still taken.
    MemoryLine line;
    line.onCommand = [](const QByteArray&) -> MemoryLine::Stream {
        return {{5, DockStation::MakeFrame(QByteArray::fromHex("8000"))},
                {5, DockStation::MakeFrame(QByteArray::fromHex("9300"))}};
    };
    cCommandExchange exchange(line, kTimings);
    QCOMPARE(exchange.SetClock(QDateTime(QDate(2026, 3, 4), QTime(14, 5))), LinkResult::Done);
    QCOMPARE(line.written.size(), 1);
    // 12, the PC code, hour, minute, the day code.
    QCOMPARE(line.written.at(0).mid(10, 7).toHex(), QByteArray("12544c0e052557"));
}

void tst_exchange::eraseAskedAgain_data() {
    QTest::addColumn<QVector<bool>>("answers"); // what the reader does at each try
    QTest::addColumn<bool>("lineLostAtSecond");
    QTest::addColumn<LinkResult>("result");
    QTest::addColumn<int>("questions");
    QTest::newRow("first try") << QVector<bool>{true} << false << LinkResult::Done << 0;
    QTest::newRow("second try") << QVector<bool>{false, true} << false << LinkResult::Done << 1;
    QTest::newRow("given up") << QVector<bool>{false, false, false} << false << LinkResult::Failed
                              << 3;
    // No answer can succeed on a closed port: the question is not asked again.
    QTest::newRow("line lost") << QVector<bool>{false, false} << true << LinkResult::LineLost << 1;
}

void tst_exchange::eraseAskedAgain() {
    QFETCH(QVector<bool>, answers);
    QFETCH(bool, lineLostAtSecond);
    QFETCH(LinkResult, result);
    QFETCH(int, questions);

    MemoryLine line;
    int tryNumber = 0;
    line.onCommand = [&](const QByteArray&) -> MemoryLine::Stream {
        const bool answer = tryNumber < answers.size() && answers.at(tryNumber);
        ++tryNumber;
        if (!answer)
            return {};
        return {{5, DockStation::MakeFrame(QByteArray::fromHex("f300"))}};
    };
    int asked = 0;
    cCommandExchange exchange(line, kTimings);
    const LinkResult got = EraseWithRetries(exchange, [&] {
        ++asked;
        if (lineLostAtSecond)
            line.open = false;
        return asked < answers.size();
    });
    QCOMPARE(got, result);
    QCOMPARE(asked, questions);
}

void tst_exchange::heldSerialLinkAfterReopen() {
    // The port a download was made on, closed and opened again (another port chosen), is not
    // the port held for its erase: nothing is written on it.
    cSerialLink link;
    cHeldLine never = HoldLink(link);
    QVERIFY(!never.IsOpen());
    QVERIFY(!never.WriteFrame(QByteArrayLiteral("x")));
}

QTEST_MAIN(tst_exchange)
#include "tst_exchange.moc"
