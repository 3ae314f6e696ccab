#include "SessionFixture.h"

#include "app/FingerprintWipe.h"
#include "terminal/ResultCode.h"

using namespace selvenor;

namespace {

using Button = OperatorInterface::Button;

QJsonObject terminalWith(const QJsonArray& failures = {}) {
    return SimulatorFixture::state(
        {{"users", QJsonArray{SimulatorFixture::user(42, 0), SimulatorFixture::user(42, 1),
                              SimulatorFixture::user(42, 10, 0, 1234),
                              SimulatorFixture::user(43, 11, 0, 987654)}},
         {"names", QJsonObject{{"42", "Ayşe Yılmaz"}}},
         {"faults", QJsonObject{{"fail", failures}}}});
}

QJsonObject failAlways(const char* op) {
    return {{"op", op}, {"code", 5}, {"when", "always"}};
}

} // namespace

class FingerprintWipeTest : public SessionFixture {};

TEST_F(FingerprintWipeTest, AnsweringNoSendsNothing) {
    startSimulator(terminalWith());
    connectToSimulator();
    const int mark = sim().logLines().size();
    ui.answers = {Button::No};
    EXPECT_EQ(FingerprintWipe::run(session, ui).status, CommandOutcome::Declined);
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].caption, QStringLiteral("UYARI"));
    EXPECT_EQ(ui.shown[0].text,
              QStringLiteral("Seçili Terminaldeki Tüm Parmakizlerini Silmek İstiyor musunuz...?"));
    EXPECT_EQ(ui.shown[0].buttons, Button::Yes | Button::No);
    EXPECT_TRUE(requests(sim(), mark).isEmpty());
    EXPECT_EQ(sim().state()["users"].toArray().size(), 4);
}

TEST_F(FingerprintWipeTest, AnsweringYesErasesTheEnrolmentData) {
    startSimulator(terminalWith());
    connectToSimulator();
    const int mark = sim().logLines().size();
    ui.answers = {Button::Yes};
    EXPECT_TRUE(FingerprintWipe::run(session, ui).succeeded());
    EXPECT_EQ(ui.texts().last(), QStringLiteral("tamamlandı"));
    EXPECT_TRUE(ui.shown.last().plain);
    EXPECT_EQ(operations(sim(), mark), QStringList({"SetTerminalEnabled", "ClearEnrollStore",
                                                    "ClearKeeperData", "SetTerminalEnabled"}));
    EXPECT_TRUE(sim().state()["users"].toArray().isEmpty());
    EXPECT_EQ(sim().state()["names"].toObject()["42"].toString(), QStringLiteral("Ayşe Yılmaz"));
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
    EXPECT_EQ(ui.busyChanges, 0) << "the wipe does not change the cursor";
}

TEST_F(FingerprintWipeTest, FailedClearShowsNothingAndEnablesAgain) {
    startSimulator(terminalWith({failAlways("ClearEnrollStore")}));
    connectToSimulator();
    const int mark = sim().logLines().size();
    const CommandOutcome outcome = FingerprintWipe::erase(session, ui);
    EXPECT_EQ(outcome.status, CommandOutcome::Failed);
    EXPECT_EQ(outcome.resultCode, ERR_NON_CARRYOUT);
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_EQ(operations(sim(), mark),
              QStringList({"SetTerminalEnabled", "ClearEnrollStore", "SetTerminalEnabled"}));
    EXPECT_EQ(sim().state()["users"].toArray().size(), 4);
}

TEST_F(FingerprintWipeTest, FailedKeeperClearStillSaysDone) {
    startSimulator(terminalWith({failAlways("ClearKeeperData")}));
    connectToSimulator();
    EXPECT_TRUE(FingerprintWipe::erase(session, ui).succeeded());
    EXPECT_EQ(ui.texts(), QStringList{"tamamlandı"});
    // ClearEnrollStore took the fingerprints; the password and the card stay.
    EXPECT_EQ(sim().state()["users"].toArray().size(), 2);
}

TEST_F(FingerprintWipeTest, TerminalThatCannotBeDisabledKeepsEverything) {
    startSimulator(SimulatorFixture::state({{"users", QJsonArray{SimulatorFixture::user(42, 0)}},
                                            {"faults", QJsonObject{{"refuseDisable", true}}}}));
    connectToSimulator();
    ui.answers = {Button::Yes};
    EXPECT_EQ(FingerprintWipe::run(session, ui).status, CommandOutcome::TerminalNotDisabled);
    EXPECT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(sim().state()["users"].toArray().size(), 1);
}
