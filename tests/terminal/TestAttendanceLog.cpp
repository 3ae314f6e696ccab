#include "ControlHarness.h"
#include "terminal/ResultCode.h"

using namespace selvenor;

namespace {

QList<bool> readFlags(const QJsonObject& state) {
    QList<bool> flags;
    for (const QJsonValue& r : state["logs"].toArray())
        flags.append(r["read"].toBool());
    return flags;
}

QList<int> range(int from, int to) {
    QList<int> r;
    for (int i = from; i <= to; ++i)
        r.append(i);
    return r;
}

} // namespace

TEST(TerminalLog, RecordsCarryTheirValuesAndSequenceNumbers) {
    QJsonArray logs{SimulatorFixture::record(123, 1281, 2012, 3, 5, 8, 7)};
    ConnectedControl c(SimulatorFixture::state({{"logs", logs}, {"machine", 3}}));
    ASSERT_TRUE(c.connect(3));
    ASSERT_TRUE(c.clock.ReadLogBuffer(3));
    int tm = 0, enroll = 0, em = 0, verify = 0, y = 0, mo = 0, d = 0, h = 0, mi = 0;
    ASSERT_TRUE(c.clock.NextLogRecord(3, tm, enroll, em, verify, y, mo, d, h, mi));
    EXPECT_EQ(enroll, 123);
    EXPECT_EQ(verify, 1281);
    EXPECT_EQ(y, 2012);
    EXPECT_EQ(mo, 3);
    EXPECT_EQ(d, 5);
    EXPECT_EQ(h, 8);
    EXPECT_EQ(mi, 7);
    EXPECT_EQ(tm, 3);
    EXPECT_EQ(c.clock.LastLogSequence(), 1u);
    EXPECT_FALSE(c.clock.NextLogRecord(3, tm, enroll, em, verify, y, mo, d, h, mi));
    EXPECT_EQ(c.lastError(), ERR_LOG_END);
}

TEST(TerminalLog, WalkFetchesChunksNotRecords) {
    ConnectedControl c(stateWithRecords(5000));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, false), range(1, 5000));
    EXPECT_EQ(c.clock.LastLogSequence(), 5000u);
    EXPECT_EQ(c.sim.logLines().filter(QStringLiteral("NextLogRecord")).size(), 5)
        << "1024 records per chunk";
}

TEST(TerminalLog, HandedOutButUnacknowledgedRecordsComeAgainNextSession) {
    ConnectedControl c(stateWithRecords(30));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, false).size(), 30);
    c.clock.CloseConnection(); // no acknowledgement
    EXPECT_EQ(readFlags(c.sim.state()).count(true), 0);

    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, false), range(1, 30));
}

TEST(TerminalLog, AcknowledgingMovesTheReadMarkUpToTheSequence) {
    ConnectedControl c(stateWithRecords(30));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    int tm, enroll, em, verify, y, mo, d, h, mi;
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(c.clock.NextLogRecord(1, tm, enroll, em, verify, y, mo, d, h, mi));
    ASSERT_TRUE(c.clock.AcknowledgeLogRecords(1, c.clock.LastLogSequence()));
    const QList<bool> flags = readFlags(c.sim.state());
    EXPECT_EQ(flags.count(true), 12);
    EXPECT_TRUE(flags[11]);
    EXPECT_FALSE(flags[12]);
    c.clock.CloseConnection();

    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, false), range(13, 30));
    ASSERT_TRUE(c.clock.AcknowledgeLogRecords(1, c.clock.LastLogSequence()));
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    EXPECT_TRUE(walkLog(c.clock, false).isEmpty());
    EXPECT_FALSE(c.clock.AcknowledgeLogRecords(1, 31)) << "beyond the newest record";
    EXPECT_EQ(c.lastError(), ERR_INVALID_PARAM);
}

TEST(TerminalLog, UnreadRecordsBetweenReadOnesAreFound) {
    QJsonArray logs;
    for (int i = 1; i <= 6; ++i)
        logs.append(SimulatorFixture::record(i, 0, 2012, 1, 1, 0, 0, i % 2 == 1));
    ConnectedControl c(SimulatorFixture::state({{"logs", logs}}));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, false), (QList<int>{2, 4, 6}));
    ASSERT_TRUE(c.clock.ReadAllLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, true), range(1, 6));
}

TEST(TerminalLog, ReadMarkFalseLoadsAllRecords) {
    QJsonArray logs{SimulatorFixture::record(1, 0, 2012, 1, 1, 0, 0, true),
                    SimulatorFixture::record(2, 0, 2012, 1, 1, 0, 0, false)};
    ConnectedControl c(SimulatorFixture::state({{"logs", logs}}));
    ASSERT_TRUE(c.connect());
    c.clock.setReadMark(false);
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, false), (QList<int>{1, 2}));
    c.clock.setReadMark(true);
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, false), (QList<int>{2}));
}

TEST(TerminalLog, FullLogWalkLeavesTheReadMarkAlone) {
    ConnectedControl c(stateWithRecords(1500));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadAllLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, true), range(1, 1500));
    ASSERT_TRUE(c.clock.ReadAllLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, true).size(), 1500) << "a second run fetches them again";
    EXPECT_EQ(readFlags(c.sim.state()).count(true), 0);
}

TEST(TerminalLog, NextWithoutLoadingReportsLogEnd) {
    ConnectedControl c(stateWithRecords(3));
    ASSERT_TRUE(c.connect());
    EXPECT_TRUE(walkLog(c.clock, false).isEmpty());
    EXPECT_EQ(c.lastError(), ERR_LOG_END);
}

TEST(TerminalLog, ClearLogDataErasesRecordsAndSequenceNumbersGoOn) {
    ConnectedControl c(stateWithRecords(4));
    ASSERT_TRUE(c.connect());
    EXPECT_FALSE(c.clock.ClearLogData(1));
    EXPECT_EQ(c.lastError(), ERR_NOT_DISABLED);
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    ASSERT_TRUE(c.clock.ClearLogData(1));
    const QJsonObject state = c.sim.state();
    EXPECT_TRUE(state["logs"].toArray().isEmpty());
    EXPECT_EQ(state["nextSequence"].toInteger(), 5);
    ASSERT_TRUE(c.clock.ReadAllLogBuffer(1));
    EXPECT_TRUE(walkLog(c.clock, true).isEmpty());
}
