#include "SessionFixture.h"

#include "app/AdministratorRemoval.h"
#include "common/Errors.h"
#include "data/Sql.h"
#include "terminal/ResultCode.h"

#include <QSqlQuery>

using namespace selvenor;

namespace {

const QString kDone = QStringLiteral("Tüm Yöneticiler İptal Edildi....");

using U = SimulatorFixture;

QJsonObject failRule(const char* op, const QJsonValue& when, int code = 5) {
    return {{"op", op}, {"code", code}, {"when", when}};
}

QJsonObject stateWith(const QJsonArray& users, const QJsonArray& failures = {}) {
    return SimulatorFixture::state({{"users", users}, {"faults", QJsonObject{{"fail", failures}}}});
}

// Users of a small office: 42 an administrator with two fingers and a card, 7 an enroller,
// 8 a plain user, 9 a supervisor.
QJsonArray office() {
    return {U::user(7, 0, 1),  U::user(8, 0, 0),  U::user(9, 0, 3),
            U::user(42, 0, 2), U::user(42, 1, 2), U::user(42, 11, 2, 5551234)};
}

// Key and privilege of every entry the simulated terminal holds: "enroll/backup:privilege".
QStringList entries(const SimulatorFixture& sim) {
    QStringList result;
    for (const QJsonValue& v : sim.state()["users"].toArray()) {
        const QJsonObject u = v.toObject();
        result << QStringLiteral("%1/%2:%3")
                      .arg(u["enroll"].toInt())
                      .arg(u["backup"].toInt())
                      .arg(u["privilege"].toInt());
    }
    result.sort();
    return result;
}

} // namespace

class AdministratorRemovalTest : public SessionFixture {
protected:
    AdministratorRemoval::Result removeAdmins() {
        return AdministratorRemoval(session, data(), ui).run();
    }

    QList<QStringList> enrollInfo() {
        QSqlQuery q = execSql(data(), "select No, EnNo, EMNo, Fp, Priv, Enable from ENROLLINFO "
                                      "order by rowid");
        QList<QStringList> rows;
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < 6; ++i)
                row << q.value(i).toString();
            rows << row;
        }
        return rows;
    }
};

TEST(EnrollInfoValues, ZeroPaddedNeverCut) {
    EXPECT_EQ(AdministratorRemoval::enrollInfoValues(5, {42, 1, 0, 2, 1}),
              QVariantList({"005", "00042", "001", "00", "2", "1"}));
    EXPECT_EQ(AdministratorRemoval::enrollInfoValues(1234, {1234567, 1000, 11, 0, 0}),
              QVariantList({"1234", "1234567", "1000", "11", "0", "0"}));
}

TEST_F(AdministratorRemovalTest, RemovesEveryAdministratorEntryAndKeepsTheSnapshot) {
    startSimulator(stateWith(office()));
    connectToSimulator();
    const AdministratorRemoval::Result r = removeAdmins();
    EXPECT_TRUE(r.outcome.succeeded());
    EXPECT_EQ(r.listed, 6);
    EXPECT_EQ(r.administrators, 4);
    EXPECT_EQ(r.deleted, 4);
    EXPECT_EQ(entries(sim()), QStringList({"8/0:0", "9/0:3"}));
    EXPECT_EQ(ui.texts(), QStringList{kDone});
    EXPECT_GT(ui.eventRuns, 0);
    // The terminal lists its entries by enroll, machine and backup number.
    EXPECT_EQ(enrollInfo(), QList<QStringList>({{"000", "00007", "001", "00", "1", "1"},
                                                {"001", "00008", "001", "00", "0", "1"},
                                                {"002", "00009", "001", "00", "3", "1"},
                                                {"003", "00042", "001", "00", "2", "1"},
                                                {"004", "00042", "001", "01", "2", "1"},
                                                {"005", "00042", "001", "11", "2", "1"}}));
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
}

TEST_F(AdministratorRemovalTest, DisablesPerEntryAndEnablesOnceAfterEachPhase) {
    startSimulator(stateWith({U::user(7, 0, 1), U::user(42, 0, 2)}));
    connectToSimulator();
    const int mark = sim().logLines().size();
    removeAdmins();
    QStringList ops = operations(sim(), mark);
    ops.removeAll("GetNextUserID"); // chunks of the list, as many as the control needs
    EXPECT_EQ(ops, QStringList({"SetTerminalEnabled", "ReadAllUserID", "SetTerminalEnabled",
                                "SetTerminalEnabled", "SetUserPrivilege", "DeleteEnrollData",
                                "SetTerminalEnabled", "SetUserPrivilege", "DeleteEnrollData",
                                "SetTerminalEnabled"}));
}

TEST_F(AdministratorRemovalTest, OneFailedDeletionDoesNotStopTheOthers) {
    startSimulator(stateWith({U::user(5, 0, 2), U::user(6, 0, 2), U::user(7, 0, 2)},
                             {failRule("DeleteEnrollData", 2)}));
    connectToSimulator();
    const AdministratorRemoval::Result r = removeAdmins();
    EXPECT_EQ(r.deleted, 2);
    EXPECT_EQ(r.notDeleted, 1);
    EXPECT_EQ(r.outcome.status, CommandOutcome::Failed);
    EXPECT_EQ(r.outcome.resultCode, ERR_NON_CARRYOUT);
    EXPECT_EQ(entries(sim()), QStringList({"6/0:0"})) << "demoted, but still there";
    EXPECT_EQ(ui.texts(), QStringList{kDone});
    EXPECT_EQ(enrollInfo().size(), 3);
    EXPECT_EQ(enrollInfo()[1][4], QStringLiteral("2")) << "the snapshot keeps old privileges";
}

TEST_F(AdministratorRemovalTest, EveryDeletionFailingShowsNothing) {
    startSimulator(stateWith({U::user(5, 0, 2), U::user(6, 10, 1, 1234)},
                             {failRule("DeleteEnrollData", "always")}));
    connectToSimulator();
    const AdministratorRemoval::Result r = removeAdmins();
    EXPECT_EQ(r.deleted, 0);
    EXPECT_EQ(r.notDeleted, 2);
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
}

TEST_F(AdministratorRemovalTest, SecondRunFindsNoAdministrator) {
    startSimulator(stateWith(office()));
    connectToSimulator();
    removeAdmins();
    ui.shown.clear();
    const AdministratorRemoval::Result r = removeAdmins();
    EXPECT_TRUE(r.outcome.succeeded());
    EXPECT_EQ(r.listed, 2);
    EXPECT_EQ(r.administrators, 0);
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_EQ(enrollInfo().size(), 2) << "the snapshot is replaced, not added to";
}

TEST_F(AdministratorRemovalTest, TerminalThatCannotBeDisabledLeavesAnEmptySnapshot) {
    startSimulator(SimulatorFixture::state(
        {{"users", office()}, {"faults", QJsonObject{{"refuseDisable", true}}}}));
    connectToSimulator();
    execSql(data(), "insert into ENROLLINFO (No, EnNo) values (?, ?)", {"000", "00001"});
    const int mark = sim().logLines().size();
    const AdministratorRemoval::Result r = removeAdmins();
    EXPECT_EQ(r.outcome.status, CommandOutcome::TerminalNotDisabled);
    EXPECT_TRUE(enrollInfo().isEmpty());
    EXPECT_EQ(operations(sim(), mark), QStringList{"SetTerminalEnabled"});
    EXPECT_EQ(entries(sim()).size(), 6);
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST_F(AdministratorRemovalTest, FailedUserListLeavesNothingToRemove) {
    startSimulator(stateWith(office(), {failRule("ReadAllUserID", "always", 3)}));
    connectToSimulator();
    const AdministratorRemoval::Result r = removeAdmins();
    EXPECT_EQ(r.outcome.status, CommandOutcome::Failed);
    EXPECT_EQ(r.outcome.resultCode, ERR_READ_FAIL);
    EXPECT_TRUE(enrollInfo().isEmpty());
    EXPECT_EQ(entries(sim()).size(), 6);
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
}

// Calls of SetTerminalEnabled: 1 disable for the list, 2 enable, 3 disable for the first
// administrator, 4 for the second: refused.
TEST_F(AdministratorRemovalTest, RefusalBeforeARowEndsTheRunButEnablesTheTerminal) {
    startSimulator(stateWith({U::user(5, 0, 2), U::user(6, 0, 2), U::user(7, 0, 2)},
                             {failRule("SetTerminalEnabled", 4)}));
    connectToSimulator();
    const int mark = sim().logLines().size();
    const AdministratorRemoval::Result r = removeAdmins();
    EXPECT_EQ(r.outcome.status, CommandOutcome::TerminalNotDisabled);
    EXPECT_EQ(r.deleted, 1);
    EXPECT_EQ(entries(sim()), QStringList({"6/0:2", "7/0:2"}));
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_EQ(requests(sim(), mark).last(),
              QStringLiteral("SetTerminalEnabled machine=1 -> SUCCESS"));
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
}

TEST_F(AdministratorRemovalTest, MoreThan999EntriesAndWideEnrollNumbers) {
    QJsonArray users;
    for (int i = 1; i <= 1001; ++i)
        users.append(U::user(i, 11, 0, 100000 + i));
    users.append(U::user(1234567, 10, 2, 4321));
    startSimulator(stateWith(users));
    connectToSimulator();
    const AdministratorRemoval::Result r = removeAdmins();
    EXPECT_EQ(r.listed, 1002);
    const QList<QStringList> rows = enrollInfo();
    ASSERT_EQ(rows.size(), 1002);
    EXPECT_EQ(rows[999][0], QStringLiteral("999"));
    EXPECT_EQ(rows[1000][0], QStringLiteral("1000"));
    EXPECT_EQ(rows[1000][1], QStringLiteral("01001"));
    EXPECT_EQ(rows[1001], QStringList({"1001", "1234567", "001", "10", "2", "1"}));
    EXPECT_EQ(r.deleted, 1);
    EXPECT_EQ(sim().state()["users"].toArray().size(), 1001);
    EXPECT_EQ(ui.texts(), QStringList{kDone});
}

TEST_F(AdministratorRemovalTest, MissingTableIsADatabaseErrorBeforeAnyExchange) {
    startSimulator(stateWith(office()));
    connectToSimulator();
    execSql(data(), "drop table ENROLLINFO");
    const int mark = sim().logLines().size();
    EXPECT_THROW(removeAdmins(), DatabaseError);
    EXPECT_TRUE(requests(sim(), mark).isEmpty());
}

// 3,000 entries come in chunks of 1,024: administrators in the first chunk and in the third.
// The list breaks off at the second chunk (link dropped) or at the first (chunk refused).
TEST_F(AdministratorRemovalTest, ListThatBrokeOffRemovesNothing) {
    QJsonArray users;
    for (int i = 1; i <= 3000; ++i)
        users.append(U::user(i, 11, i == 5 || i == 2900 ? 2 : 0, 100000 + i));
    struct Case {
        QJsonObject faults;
        int code;
        const char* name;
    };
    const Case cases[] = {// Hello, disable, ReadAllUserID and the first chunk are answered.
                          {{{"dropAfterFrames", 4}}, ERR_READ_FAIL, "ERR_READ_FAIL"},
                          {{{"fail", QJsonArray{failRule("GetNextUserID", 1)}}},
                           ERR_NON_CARRYOUT,
                           "ERR_NON_CARRYOUT"}};
    for (const Case& c : cases) {
        SimulatorFixture& s =
            startSimulator(SimulatorFixture::state({{"users", users}, {"faults", c.faults}}));
        ui.shown.clear();
        ASSERT_TRUE(session.connect(tcpRow(s, "Kesik"), ui));
        const AdministratorRemoval::Result r = removeAdmins();
        EXPECT_TRUE(r.listBrokeOff) << c.name;
        EXPECT_EQ(r.outcome.status, CommandOutcome::Failed);
        EXPECT_EQ(r.outcome.resultCode, c.code);
        EXPECT_EQ(r.deleted, 0);
        EXPECT_EQ(r.listed, 0);
        EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Kullanıcı listesi yarıda kesildi "
                                                         "(GetNextUserID: %1); hiçbir yönetici "
                                                         "silinmedi....")
                                              .arg(c.name)});
        EXPECT_TRUE(enrollInfo().isEmpty()) << "the head of a list is no snapshot";
        EXPECT_TRUE(operations(s).filter("DeleteEnrollData").isEmpty());
        EXPECT_TRUE(operations(s).filter("SetUserPrivilege").isEmpty());
        s.stop();
        EXPECT_EQ(entries(s).filter(":2").size(), 2) << c.name;
        EXPECT_TRUE(s.state()["enabled"].toBool(false));
        session.disconnect();
    }
}
