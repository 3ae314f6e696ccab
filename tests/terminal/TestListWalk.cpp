#include "ControlHarness.h"

#include "terminal/ListWalk.h"

using namespace selvenor;

namespace {

// `count` card entries, enroll numbers 1 to count: more than one chunk of the user list.
QJsonObject stateWithUsers(int count, const QJsonObject& faults = {}) {
    QJsonArray users;
    for (int i = 1; i <= count; ++i)
        users.append(SimulatorFixture::user(i, 11, 0, 1000 + i));
    QJsonObject state = SimulatorFixture::state({{"users", users}});
    if (!faults.isEmpty())
        state.insert(QStringLiteral("faults"), faults);
    return state;
}

QJsonObject failing(const char* op, int code, int when) {
    return {{"fail", QJsonArray{QJsonObject{{"op", op}, {"code", code}, {"when", when}}}}};
}

ListWalk walkUsers(TFP_CLOCK& clock) {
    ListWalk walk(clock);
    int enroll, eMachine, backup, privilege, enabled;
    while (walk.step(clock.GetNextUserID(1, enroll, eMachine, backup, privilege, enabled)))
        ;
    return walk;
}

} // namespace

TEST(ListWalk, UserListEndsAtItsEndOnlyWhenEveryEntryCame) {
    {
        ConnectedControl c(stateWithUsers(3000));
        ASSERT_TRUE(c.connect());
        ASSERT_TRUE(c.clock.ReadAllUserID(1));
        const ListWalk walk = walkUsers(c.clock);
        EXPECT_TRUE(walk.reachedEnd());
        EXPECT_FALSE(walk.brokeOff());
        EXPECT_EQ(walk.entries(), 3000);
        EXPECT_EQ(walk.resultCode(), ERR_LOG_END);
    }
    {
        ConnectedControl empty(stateWithUsers(0));
        ASSERT_TRUE(empty.connect());
        ASSERT_TRUE(empty.clock.ReadAllUserID(1));
        const ListWalk walk = walkUsers(empty.clock);
        EXPECT_TRUE(walk.reachedEnd());
        EXPECT_EQ(walk.entries(), 0);
    }
}

TEST(ListWalk, LinkDroppedAtTheSecondChunkBreaksTheWalkOff) {
    // Hello, ReadAllUserID and the first chunk are answered; the second chunk never is.
    ConnectedControl c(stateWithUsers(3000, {{"dropAfterFrames", 3}}));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadAllUserID(1));
    const ListWalk walk = walkUsers(c.clock);
    EXPECT_TRUE(walk.ended());
    EXPECT_TRUE(walk.brokeOff());
    EXPECT_FALSE(walk.reachedEnd());
    EXPECT_EQ(walk.entries(), 1024);
    EXPECT_EQ(walk.resultCode(), ERR_READ_FAIL);
}

TEST(ListWalk, RefusedChunkBreaksTheWalkOffWithTheTerminalsCode) {
    for (int when : {1, 2}) {
        ConnectedControl c(stateWithUsers(3000, failing("GetNextUserID", ERR_NON_CARRYOUT, when)));
        ASSERT_TRUE(c.connect());
        ASSERT_TRUE(c.clock.ReadAllUserID(1));
        const ListWalk walk = walkUsers(c.clock);
        EXPECT_TRUE(walk.brokeOff()) << when;
        EXPECT_EQ(walk.entries(), 1024 * (when - 1));
        EXPECT_EQ(walk.resultCode(), ERR_NON_CARRYOUT);
    }
}

TEST(ListWalk, LinkLostBetweenTwoStepsBreaksTheWalkOff) {
    // Hello, ReadAllUserID, the first chunk and the first GetUserName are answered; the second
    // GetUserName loses the link while entries of the chunk are still in hand.
    ConnectedControl c(stateWithUsers(10, {{"dropAfterFrames", 4}}));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadAllUserID(1));
    ListWalk walk(c.clock);
    int enroll, eMachine, backup, privilege, enabled;
    QString name;
    while (walk.step(c.clock.GetNextUserID(1, enroll, eMachine, backup, privilege, enabled)))
        c.clock.GetUserName(1, 1, enroll, 1, name);
    EXPECT_TRUE(walk.brokeOff());
    EXPECT_EQ(walk.entries(), 2);
    EXPECT_EQ(walk.resultCode(), ERR_NOT_OPEN);
}

TEST(ListWalk, WalkNeverLoadedEndsAtOnce) {
    ConnectedControl c(stateWithUsers(3));
    ASSERT_TRUE(c.connect());
    const ListWalk walk = walkUsers(c.clock);
    EXPECT_TRUE(walk.reachedEnd());
    EXPECT_EQ(walk.entries(), 0);
}

TEST(ListWalk, AttendanceWalkTellsTheEndFromAFailure) {
    ConnectedControl whole(stateWithRecords(2500));
    ASSERT_TRUE(whole.connect());
    ASSERT_TRUE(whole.clock.ReadAllLogBuffer(1));
    ListWalk all(whole.clock);
    int tm, enroll, em, verify, y, mo, d, h, mi;
    while (all.step(whole.clock.NextAllLogRecord(1, tm, enroll, em, verify, y, mo, d, h, mi)))
        ;
    EXPECT_TRUE(all.reachedEnd());
    EXPECT_EQ(all.entries(), 2500);

    QJsonObject state = stateWithRecords(2500);
    state.insert(QStringLiteral("faults"), failing("NextLogRecord", ERR_MEMORY, 3));
    ConnectedControl refused(state);
    ASSERT_TRUE(refused.connect());
    ASSERT_TRUE(refused.clock.ReadLogBuffer(1));
    ListWalk unread(refused.clock);
    while (unread.step(refused.clock.NextLogRecord(1, tm, enroll, em, verify, y, mo, d, h, mi)))
        ;
    EXPECT_TRUE(unread.brokeOff());
    EXPECT_EQ(unread.entries(), 2048);
    EXPECT_EQ(unread.resultCode(), ERR_MEMORY);
}
