#include "ControlHarness.h"
#include "terminal/ResultCode.h"

#include <QThread>

using namespace selvenor;

namespace {

QJsonObject faulty(const QJsonObject& faults, const QJsonObject& base = stateWithRecords(10)) {
    QJsonObject state = base;
    state.insert(QStringLiteral("faults"), faults);
    return state;
}

} // namespace

TEST(TerminalFaults, RefusingToBeDisabledFailsTheBracket) {
    ConnectedControl c(faulty({{"refuseDisable", true}}));
    ASSERT_TRUE(c.connect());
    EXPECT_FALSE(c.clock.SetTerminalEnabled(1, false));
    EXPECT_EQ(c.lastError(), ERR_NON_CARRYOUT);
    EXPECT_TRUE(c.clock.SetTerminalEnabled(1, true));
}

TEST(TerminalFaults, NamedOperationFailsOnItsNthCallOnly) {
    QJsonArray users{SimulatorFixture::user(1, 11, 2, 1), SimulatorFixture::user(2, 11, 2, 2),
                     SimulatorFixture::user(3, 11, 2, 3)};
    ConnectedControl c(faulty(
        {{"fail", QJsonArray{QJsonObject{{"op", "DeleteEnrollData"}, {"code", 7}, {"when", 2}}}}},
        SimulatorFixture::state({{"users", users}})));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    EXPECT_TRUE(c.clock.DeleteEnrollData(1, 1, 1, 11));
    EXPECT_FALSE(c.clock.DeleteEnrollData(1, 2, 1, 11));
    EXPECT_EQ(c.lastError(), ERR_MEMORY);
    EXPECT_TRUE(c.clock.DeleteEnrollData(1, 3, 1, 11));
    const QJsonArray left = c.sim.state()["users"].toArray();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0]["enroll"].toInt(), 2);
}

TEST(TerminalFaults, OnceAndAlwaysRules) {
    ConnectedControl c(faulty(
        {{"fail",
          QJsonArray{QJsonObject{{"op", "ReadLogBuffer"}, {"code", 3}},
                     QJsonObject{{"op", "GetTerminalTime"}, {"code", 9}, {"when", "always"}}}}}));
    ASSERT_TRUE(c.connect());
    EXPECT_FALSE(c.clock.ReadLogBuffer(1));
    EXPECT_EQ(c.lastError(), ERR_READ_FAIL);
    EXPECT_TRUE(c.clock.ReadLogBuffer(1));
    int y, mo, d, h, mi, dow;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(c.clock.GetTerminalTime(1, y, mo, d, h, mi, dow));
        EXPECT_EQ(c.lastError(), ERR_NOSUPPORT);
    }
}

TEST(TerminalFaults, FailedOpenConnection) {
    ConnectedControl c(
        faulty({{"fail", QJsonArray{QJsonObject{{"op", "OpenConnection"}, {"code", 8}}}}}));
    EXPECT_FALSE(c.connect());
    EXPECT_EQ(c.lastError(), ERR_MULTIUSER);
    EXPECT_TRUE(c.connect());
}

// The walk fails; the enable of the bracket that follows opens a new session for itself.
TEST(TerminalFaults, DroppedLinkFailsTheOperationAndClosesTheConnection) {
    ConnectedControl c(faulty({{"dropAfterFrames", 3}}));
    ASSERT_TRUE(c.connect());                          // frame 1
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false)); // 2
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));             // 3
    int tm, enroll, em, verify, y, mo, d, h, mi;
    EXPECT_FALSE(c.clock.NextLogRecord(1, tm, enroll, em, verify, y, mo, d, h, mi));
    EXPECT_EQ(c.lastError(), ERR_READ_FAIL);
    EXPECT_FALSE(c.clock.isOpen());
    EXPECT_FALSE(c.clock.NextLogRecord(1, tm, enroll, em, verify, y, mo, d, h, mi));
    EXPECT_EQ(c.lastError(), ERR_NOT_OPEN) << "a walk step opens nothing";
    EXPECT_TRUE(c.clock.SetTerminalEnabled(1, true))
        << ResultCodeSymbol(c.lastError()).toStdString();
    EXPECT_TRUE(c.clock.isOpen());
    c.clock.CloseConnection();
    c.sim.stop();
    EXPECT_TRUE(c.sim.state()["enabled"].toBool(false));
    EXPECT_EQ(c.sim.state()["logs"].toArray()[0].toObject()["read"].toBool(true), false);
}

TEST(TerminalFaults, ReplyDelayedBeyondTheTimeoutFailsWithReadFail) {
    ConnectedControl c(faulty({{"delayMs", 400}}));
    c.clock.setTimeoutMs(300);
    EXPECT_FALSE(c.connect());
    EXPECT_EQ(c.lastError(), ERR_READ_FAIL);
}

TEST(TerminalFaults, ReplyDelayedWithinTheTimeoutSucceeds) {
    ConnectedControl c(faulty({{"delayMs", 50}}));
    c.clock.setTimeoutMs(2000);
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, false).size(), 10);
}

TEST(TerminalFaults, CorruptReplyOnceIsRepairedByTheRetry) {
    ConnectedControl c(
        faulty({{"corrupt", QJsonArray{QJsonObject{{"op", "ReadLogBuffer"}, {"when", "once"}}}}}));
    c.clock.setTimeoutMs(600);
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    ASSERT_TRUE(c.clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(c.clock, false).size(), 10);
    EXPECT_EQ(c.sim.logLines().filter(QStringLiteral("repeated")).size(), 1);
}

TEST(TerminalFaults, RetriedDeletionIsNotExecutedTwice) {
    QJsonArray users{SimulatorFixture::user(1, 11, 0, 1)};
    ConnectedControl c(
        faulty({{"corrupt", QJsonArray{QJsonObject{{"op", "DeleteEnrollData"}, {"when", "once"}}}}},
               SimulatorFixture::state({{"users", users}})));
    c.clock.setTimeoutMs(600);
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    EXPECT_TRUE(c.clock.DeleteEnrollData(1, 1, 1, 11)) << "the repeat gets the stored reply";
}

class CorruptAlways : public ::testing::TestWithParam<const char*> {};

TEST_P(CorruptAlways, FailsWithACodeWithinTheTimeout) {
    ConnectedControl c(faulty(
        {{"corrupt", QJsonArray{QJsonObject{
                         {"op", "GetTerminalTime"}, {"when", "always"}, {"kind", GetParam()}}}}}));
    c.clock.setTimeoutMs(400);
    ASSERT_TRUE(c.connect());
    int y, mo, d, h, mi, dow;
    EXPECT_FALSE(c.clock.GetTerminalTime(1, y, mo, d, h, mi, dow));
    const int code = c.lastError();
    EXPECT_TRUE(code == ERR_BAD_REPLY || code == ERR_READ_FAIL) << code;
    EXPECT_TRUE(c.clock.SetTerminalEnabled(1, true)) << "the session goes on";
}

INSTANTIATE_TEST_SUITE_P(Kinds, CorruptAlways, ::testing::Values("crc", "truncate", "oversize"));

TEST(TerminalFaults, CorruptCrcAlwaysIsReportedAsBadReply) {
    ConnectedControl c(faulty(
        {{"corrupt", QJsonArray{QJsonObject{{"op", "ReadAllUserID"}, {"when", "always"}}}}}));
    c.clock.setTimeoutMs(400);
    ASSERT_TRUE(c.connect());
    EXPECT_FALSE(c.clock.ReadAllUserID(1));
    EXPECT_EQ(c.lastError(), ERR_BAD_REPLY);
}
