#include "sim/SimulatedTerminal.h"
#include "sim/StateFile.h"
#include "sim/StateStore.h"
#include "terminal/Command.h"
#include "terminal/FrameDecoder.h"
#include "terminal/ResultCode.h"

#include <gtest/gtest.h>

using namespace selvenor;
using namespace selvenor::protocol;
using namespace selvenor::sim;

namespace {

// Drives a terminal frame by frame, as a link would.
class TerminalDriver {
public:
    explicit TerminalDriver(const QByteArray& state = "{}")
        : terminal(StateFile::fromJson(state, QStringLiteral("t")), nullptr) {}

    // The reply to a request, decoded; result 255 when no reply came.
    Frame request(Command command, const QByteArray& payload = {}, qint32 machine = 1,
                  quint8 version = kProtocolVersion) {
        Frame f;
        f.version = version;
        f.command = quint8(command);
        f.sequence = ++m_sequence;
        f.machine = machine;
        f.payload = payload;
        return send(f);
    }
    Frame send(const Frame& f) {
        const SimulatedTerminal::Outcome out = terminal.handle(f, session);
        Frame reply;
        reply.result = 255;
        FrameDecoder decoder;
        decoder.feed(out.reply);
        decoder.take(reply);
        return reply;
    }
    void open() { ASSERT_EQ(request(Command::Hello).result, SUCCESS); }

    SimulatedTerminal terminal;
    SimulatedTerminal::Session session;

private:
    quint16 m_sequence = 0;
};

} // namespace

TEST(SimulatedTerminal, RequestsBeforeHelloAreRefused) {
    TerminalDriver t;
    EXPECT_EQ(t.request(Command::GetTerminalTime).result, ERR_NOT_OPEN);
    t.open();
    EXPECT_EQ(t.request(Command::GetTerminalTime).result, SUCCESS);
}

TEST(SimulatedTerminal, UnknownCommandAndVersionGetNoSupport) {
    TerminalDriver t;
    t.open();
    EXPECT_EQ(t.request(Command(0x7F)).result, ERR_NOSUPPORT);
    const Frame reply = t.request(Command::GetTerminalTime, {}, 1, 2);
    EXPECT_EQ(reply.result, ERR_NOSUPPORT);
    EXPECT_EQ(reply.version, kProtocolVersion) << "answered in version 1";
}

TEST(SimulatedTerminal, WrongPayloadSizesGetInvalidParam) {
    TerminalDriver t;
    t.open();
    EXPECT_EQ(t.request(Command::SetTerminalEnabled, QByteArray("\x00\x00", 2)).result,
              ERR_INVALID_PARAM);
    EXPECT_EQ(t.request(Command::SetTerminalEnabled, QByteArray("\x02", 1)).result,
              ERR_INVALID_PARAM);
    EXPECT_EQ(t.request(Command::GetTerminalTime, "x").result, ERR_INVALID_PARAM);
    LogQuery q;
    q.max = 0;
    EXPECT_EQ(t.request(Command::FetchLogChunk, encodeLogQuery(q)).result, ERR_INVALID_PARAM);
    q.max = kMaxChunkRecords + 1;
    EXPECT_EQ(t.request(Command::FetchLogChunk, encodeLogQuery(q)).result, ERR_INVALID_PARAM);
    ClockTime bad{2012, 2, 30, 0, 0, 0, 0};
    EXPECT_EQ(t.request(Command::SyncTerminalTime, encodeClock(bad, false)).result,
              ERR_INVALID_PARAM)
        << "30 February";
}

TEST(SimulatedTerminal, AuthenticateWithoutChallengeIsRefused) {
    TerminalDriver t(R"({"password": 5})");
    EXPECT_EQ(t.request(Command::Authenticate, QByteArray(32, 'x')).result, ERR_NOT_OPEN);
    const Frame hello = t.request(Command::Hello);
    HelloReply h;
    ASSERT_TRUE(decodeHelloReply(hello.payload, h));
    EXPECT_TRUE(h.flags & kPasswordRequired);
    EXPECT_EQ(t.request(Command::GetTerminalTime).result, ERR_NOT_OPEN) << "not yet";
    EXPECT_EQ(t.request(Command::Authenticate, authResponse(5, h.nonce)).result, SUCCESS);
    EXPECT_EQ(t.request(Command::GetTerminalTime).result, SUCCESS);
}

TEST(SimulatedTerminal, EveryHelloBringsANewNonce) {
    TerminalDriver t(R"({"password": 5})");
    HelloReply a, b;
    ASSERT_TRUE(decodeHelloReply(t.request(Command::Hello).payload, a));
    ASSERT_TRUE(decodeHelloReply(t.request(Command::Hello).payload, b));
    EXPECT_NE(a.nonce, b.nonce);
    EXPECT_EQ(t.request(Command::Authenticate, authResponse(5, a.nonce)).result, ERR_AUTH_FAILED)
        << "an old answer does not open the new session";
}

TEST(SimulatedTerminal, RepeatedSequenceNumberGetsTheStoredReply) {
    TerminalDriver t(R"({"users": [{"enroll": 1, "backup": 11, "value": 3}]})");
    t.open();
    ASSERT_EQ(t.request(Command::SetTerminalEnabled, encodeFlag(false)).result, SUCCESS);
    Frame del;
    del.command = quint8(Command::DeleteEnrollData);
    del.sequence = 500;
    del.machine = 1;
    del.payload = encodeKey(EnrollKey{1, 1, 11});
    EXPECT_EQ(t.send(del).result, SUCCESS);
    EXPECT_EQ(t.send(del).result, SUCCESS) << "not executed again";
    del.sequence = 501;
    EXPECT_EQ(t.send(del).result, ERR_NON_CARRYOUT) << "a new request is executed";
}

TEST(SimulatedTerminal, LogChunkStopsAtTheUpperBoundAndSaysWhetherMoreRemain) {
    TerminalDriver t(R"({"logs": [
        {"enroll": 1, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0},
        {"enroll": 2, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0, "read": true},
        {"enroll": 3, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0},
        {"enroll": 4, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0}]})");
    t.open();
    LogQuery q{LogMode::Unread, 0, 3, 1};
    LogChunk chunk;
    ASSERT_TRUE(
        decodeLogChunk(t.request(Command::FetchLogChunk, encodeLogQuery(q)).payload, 0, chunk));
    ASSERT_EQ(chunk.records.size(), 1);
    EXPECT_TRUE(chunk.more);
    q.after = 1;
    ASSERT_TRUE(
        decodeLogChunk(t.request(Command::FetchLogChunk, encodeLogQuery(q)).payload, 1, chunk));
    ASSERT_EQ(chunk.records.size(), 1);
    EXPECT_EQ(chunk.records[0].sequence, 3u) << "the read record is skipped";
    EXPECT_FALSE(chunk.more) << "record 4 lies above the bound";
}

TEST(SimulatedTerminal, ChunkFitsInOneFrame) {
    QByteArray logs = R"({"logs": [)";
    for (int i = 1; i <= 1200; ++i)
        logs += QByteArray(i > 1 ? "," : "") + R"({"seq": )" + QByteArray::number(i * 100000) +
                R"(, "enroll": 1, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0})";
    TerminalDriver t(logs + "]}");
    t.open();
    const LogQuery q{LogMode::All, 0, 0xFFFFFFFFu, kMaxChunkRecords};
    const Frame reply = t.request(Command::FetchLogChunk, encodeLogQuery(q));
    ASSERT_EQ(reply.result, SUCCESS);
    LogChunk chunk;
    ASSERT_TRUE(decodeLogChunk(reply.payload, 0, chunk));
    EXPECT_LE(reply.payload.size(), kMaxPayloadSize);
    EXPECT_LT(chunk.records.size(), kMaxChunkRecords) << "18-byte records: fewer fit";
    EXPECT_TRUE(chunk.more);
}

TEST(SimulatedTerminal, LinkLossReenablesTheTerminal) {
    TerminalDriver t;
    t.open();
    ASSERT_EQ(t.request(Command::SetTerminalEnabled, encodeFlag(false)).result, SUCCESS);
    EXPECT_FALSE(t.terminal.state().enabled);
    t.terminal.endSession(t.session);
    EXPECT_TRUE(t.terminal.state().enabled);
}

TEST(SimulatedTerminal, CommandsThatTakeNoPayloadRefuseOne) {
    TerminalDriver t(R"({"users": [{"enroll": 1, "backup": 11, "value": 3}],
        "logs": [{"enroll": 1, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0}]})");
    EXPECT_EQ(t.request(Command::Hello, "x").result, ERR_INVALID_PARAM);
    t.open();
    ASSERT_EQ(t.request(Command::SetTerminalEnabled, encodeFlag(false)).result, SUCCESS);
    for (Command c : {Command::GetTerminalTime, Command::ReadAllUserID, Command::ClearLogData,
                      Command::ClearKeeperData, Command::ClearEnrollStore, Command::Bye})
        EXPECT_EQ(t.request(c, "x").result, ERR_INVALID_PARAM) << int(c);
    EXPECT_EQ(t.terminal.state().entries.size(), 1u) << "nothing was erased";
    EXPECT_EQ(t.terminal.state().logs.size(), 1);
    EXPECT_EQ(t.request(Command::ReadAllUserID).result, SUCCESS) << "the session is still open";
}

TEST(SimulatedTerminal, RepeatedHelloGetsTheSameNonce) {
    TerminalDriver t(R"({"password": 5})");
    Frame hello;
    hello.command = quint8(Command::Hello);
    hello.sequence = 7;
    hello.machine = 1;
    HelloReply first, again;
    ASSERT_TRUE(decodeHelloReply(t.send(hello).payload, first));
    ASSERT_TRUE(decodeHelloReply(t.send(hello).payload, again));
    EXPECT_EQ(again.nonce, first.nonce) << "a retry is not a new Hello";
    EXPECT_EQ(t.request(Command::Authenticate, authResponse(5, first.nonce)).result, SUCCESS);
}

TEST(SimulatedTerminal, AcknowledgingWhileACopyOfTheStateIsHeldMarksOnlyTheTerminal) {
    TerminalDriver t(R"({"logs": [
        {"enroll": 1, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0},
        {"enroll": 2, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0},
        {"enroll": 3, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0}]})");
    t.open();
    const TerminalState copy = t.terminal.state(); // what a test reading the state holds
    const Frame reply = t.request(Command::AcknowledgeLog, encodeU32(2));
    ASSERT_EQ(reply.result, SUCCESS);
    quint32 marked = 0;
    ASSERT_TRUE(decodeU32(reply.payload, marked));
    EXPECT_EQ(marked, 2u);
    EXPECT_TRUE(t.terminal.state().logs[1].read);
    EXPECT_FALSE(t.terminal.state().logs[2].read);
    EXPECT_FALSE(copy.logs[0].read) << "the copy is not the terminal";
}

TEST(SimulatedTerminal, RefusedByeEndsNothing) {
    TerminalDriver t;
    t.open();
    Frame bye;
    bye.command = quint8(Command::Bye);
    bye.sequence = 900;
    bye.machine = 0; // not this terminal
    EXPECT_FALSE(t.terminal.handle(bye, t.session).closeLink);
    EXPECT_TRUE(t.session.open);
    bye.machine = 1;
    bye.sequence = 901;
    EXPECT_TRUE(t.terminal.handle(bye, t.session).closeLink);
}
