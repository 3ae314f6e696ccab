#include "ControlHarness.h"
#include "terminal/ResultCode.h"

using namespace selvenor;

namespace {

QJsonObject userState(const QJsonArray& users, const QJsonObject& names = {}) {
    return SimulatorFixture::state({{"users", users}, {"names", names}});
}

QJsonArray fourItemsOf42() {
    return {SimulatorFixture::user(42, 0, 0), SimulatorFixture::user(42, 1, 0),
            SimulatorFixture::user(42, 11, 0, 1234567), SimulatorFixture::user(42, 15, 0, 0x432)};
}

QJsonObject findUser(const QJsonObject& state, int enroll, int backup) {
    for (const QJsonValue& u : state["users"].toArray())
        if (u["enroll"].toInt() == enroll && u["backup"].toInt() == backup)
            return u.toObject();
    return {};
}

struct Entry {
    int enroll, eMachine, backup, privilege, enabled;
};

QList<Entry> listUsers(TFP_CLOCK& clock) {
    QList<Entry> entries;
    Entry e{};
    while (clock.GetNextUserID(1, e.enroll, e.eMachine, e.backup, e.privilege, e.enabled))
        entries.append(e);
    return entries;
}

} // namespace

TEST(TerminalEnrolment, UserListWalksEveryEntryAcrossChunksInKeyOrder) {
    QJsonArray users;
    for (int i = 2500; i >= 1; --i)
        users.append(SimulatorFixture::user(i, 11, i % 3, i));
    ConnectedControl c(userState(users));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadAllUserID(1));
    const QList<Entry> entries = listUsers(c.clock);
    EXPECT_EQ(c.lastError(), ERR_LOG_END);
    ASSERT_EQ(entries.size(), 2500);
    for (int i = 0; i < entries.size(); ++i) {
        ASSERT_EQ(entries[i].enroll, i + 1);
        EXPECT_EQ(entries[i].privilege, (i + 1) % 3);
    }
    const int requests = c.sim.logLines().filter(QStringLiteral("GetNextUserID")).size();
    EXPECT_EQ(requests, 3) << "1024 entries per chunk";
}

TEST(TerminalEnrolment, PasswordIsListedWithBackupTenAndReadAsFifteen) {
    ConnectedControl c(userState(fourItemsOf42()));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.ReadAllUserID(1));
    const QList<Entry> entries = listUsers(c.clock);
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[2].backup, 10);
    EXPECT_EQ(entries[3].backup, 11);
    int privilege = -1, password = 0;
    QVector<qint32> data(kEnrollDataSize, 5);
    ASSERT_TRUE(c.clock.GetEnrollData(1, 42, 1, 15, privilege, data, password));
    EXPECT_EQ(password, 0x432);
    EXPECT_EQ(data, QVector<qint32>(kEnrollDataSize, 5)) << "a password leaves the buffer alone";
    ASSERT_TRUE(c.clock.GetEnrollData(1, 42, 1, 11, privilege, data, password));
    EXPECT_EQ(password, 1234567);
}

TEST(TerminalEnrolment, TemplateComesBackElementForElement) {
    ConnectedControl c(userState(fourItemsOf42()));
    ASSERT_TRUE(c.connect());
    int privilege = -1, password = 77;
    QVector<qint32> data(kEnrollDataSize, 0);
    ASSERT_TRUE(c.clock.GetEnrollData(1, 42, 1, 1, privilege, data, password));
    const QJsonArray expected = SimulatorFixture::templateOf(42 * 16 + 1);
    ASSERT_EQ(data.size(), kEnrollDataSize);
    for (int i = 0; i < kEnrollDataSize; ++i)
        ASSERT_EQ(data[i], expected[i].toInteger()) << i;
    EXPECT_EQ(privilege, 0);
    EXPECT_EQ(password, 77);
    EXPECT_FALSE(c.clock.GetEnrollData(1, 42, 1, 2, privilege, data, password));
    EXPECT_EQ(c.lastError(), ERR_NON_CARRYOUT);
}

TEST(TerminalEnrolment, WritesNeedTheTerminalDisabled) {
    ConnectedControl c(userState({}));
    ASSERT_TRUE(c.connect());
    QVector<qint32> data(kEnrollDataSize, -1);
    EXPECT_FALSE(c.clock.SetEnrollData(1, 5, 1, 0, 0, data, 0));
    EXPECT_EQ(c.lastError(), ERR_NOT_DISABLED);
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    ASSERT_TRUE(c.clock.SetEnrollData(1, 5, 1, 0, 2, data, 0));
    ASSERT_TRUE(c.clock.SetEnrollData(1, 5, 1, 15, 2, data, 0x21));
    const QJsonObject state = c.sim.state();
    EXPECT_EQ(findUser(state, 5, 0)["template"].toArray().size(), kEnrollDataSize);
    EXPECT_EQ(findUser(state, 5, 0)["template"].toArray()[354].toInt(), -1);
    EXPECT_EQ(findUser(state, 5, 0)["privilege"].toInt(), 2);
    EXPECT_EQ(findUser(state, 5, 10)["value"].toInt(), 0x21) << "15 is stored as 10";
}

TEST(TerminalEnrolment, BadArgumentsFailLocallyWithInvalidParam) {
    ConnectedControl c(userState({}));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    QVector<qint32> shortData(354, 0);
    EXPECT_FALSE(c.clock.SetEnrollData(1, 5, 1, 0, 0, shortData, 0));
    EXPECT_EQ(c.lastError(), ERR_INVALID_PARAM);
    QVector<qint32> data(kEnrollDataSize, 0);
    EXPECT_FALSE(c.clock.SetEnrollData(1, 5, 1, 12, 0, data, 0)) << "no such kind of entry";
    EXPECT_EQ(c.lastError(), ERR_INVALID_PARAM);
    EXPECT_FALSE(c.clock.SetUserPrivilege(1, 5, 1, 0, 9));
    EXPECT_EQ(c.lastError(), ERR_INVALID_PARAM);
    QString longName(300, QLatin1Char('a'));
    EXPECT_FALSE(c.clock.SetUserName(0, 1, 5, 1, longName));
    EXPECT_EQ(c.lastError(), ERR_INVALID_PARAM);
}

TEST(TerminalEnrolment, DeletePrivilegeAndEnableChangeTheEntry) {
    ConnectedControl c(userState(fourItemsOf42()));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    ASSERT_TRUE(c.clock.SetUserPrivilege(1, 42, 1, 0, 2));
    ASSERT_TRUE(c.clock.SetUserEnabled(1, 42, 1, 11, 0));
    ASSERT_TRUE(c.clock.DeleteEnrollData(1, 42, 1, 1));
    EXPECT_FALSE(c.clock.DeleteEnrollData(1, 42, 1, 1));
    EXPECT_EQ(c.lastError(), ERR_NON_CARRYOUT);
    const QJsonObject state = c.sim.state();
    EXPECT_EQ(findUser(state, 42, 0)["privilege"].toInt(), 2);
    EXPECT_FALSE(findUser(state, 42, 11)["enabled"].toBool(true));
    EXPECT_TRUE(findUser(state, 42, 1).isEmpty());
    EXPECT_EQ(state["users"].toArray().size(), 3);
}

TEST(TerminalEnrolment, ClearEnrollStoreErasesTemplatesAndClearKeeperDataEverything) {
    QJsonObject names{{"42", "Ayşe Yılmaz"}};
    ConnectedControl c(userState(fourItemsOf42(), names));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    ASSERT_TRUE(c.clock.ClearEnrollStore(1));
    QJsonObject state = c.sim.state();
    ASSERT_EQ(state["users"].toArray().size(), 2);
    EXPECT_FALSE(findUser(state, 42, 11).isEmpty());
    EXPECT_FALSE(findUser(state, 42, 10).isEmpty());
    ASSERT_TRUE(c.clock.ClearKeeperData(1));
    state = c.sim.state();
    EXPECT_TRUE(state["users"].toArray().isEmpty());
    EXPECT_EQ(state["names"].toObject()["42"].toString(), QStringLiteral("Ayşe Yılmaz"));
}

TEST(TerminalEnrolment, NamesAreReadAndWrittenWhole) {
    ConnectedControl c(userState({SimulatorFixture::user(7, 0)}, {{"42", "Ayşe Yılmaz"}}));
    ASSERT_TRUE(c.connect());
    QString name;
    ASSERT_TRUE(c.clock.GetUserName(1, 1, 42, 1, name));
    EXPECT_EQ(name, QStringLiteral("Ayşe Yılmaz"));
    name = QStringLiteral("stale");
    ASSERT_TRUE(c.clock.GetUserName(1, 1, 7, 1, name)) << "a user without a name";
    EXPECT_TRUE(name.isEmpty());
    EXPECT_FALSE(c.clock.GetUserName(1, 1, 8, 1, name));
    EXPECT_EQ(c.lastError(), ERR_NON_CARRYOUT);
    QString twenty = QStringLiteral("Abcdefghij Klmnopqrs");
    ASSERT_TRUE(c.clock.SetUserName(0, 1, 7, 1, twenty)) << "names need no disabled terminal";
    EXPECT_EQ(c.sim.state()["names"].toObject()["7"].toString(), twenty);
}

TEST(TerminalEnrolment, FullStoreAnswersMemoryError) {
    ConnectedControl c(SimulatorFixture::state(
        {{"maxEntries", 1}, {"users", QJsonArray{SimulatorFixture::user(1, 11, 0, 5)}}}));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    QVector<qint32> data(kEnrollDataSize, 0);
    EXPECT_TRUE(c.clock.SetEnrollData(1, 1, 1, 11, 0, data, 6)) << "replacing needs no room";
    EXPECT_FALSE(c.clock.SetEnrollData(1, 2, 1, 11, 0, data, 6));
    EXPECT_EQ(c.lastError(), ERR_MEMORY);
}
