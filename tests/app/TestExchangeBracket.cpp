#include "SessionFixture.h"

#include "common/Errors.h"
#include "terminal/ExchangeBracket.h"
#include "terminal/ResultCode.h"

using namespace selvenor;

namespace {

QJsonObject refusingState() {
    return SimulatorFixture::state({{"faults", QJsonObject{{"refuseDisable", true}}}});
}

} // namespace

class ExchangeBracketTest : public SessionFixture {};

TEST_F(ExchangeBracketTest, DisablesForTheExchangeAndEnablesOnLeaving) {
    startSimulator(SimulatorFixture::state({}));
    connectToSimulator();
    {
        ExchangeBracket bracket(clock, 1);
        ASSERT_TRUE(bracket.entered());
        EXPECT_FALSE(sim().state()["enabled"].toBool(true));
    }
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
    EXPECT_EQ(requests(sim()).filter("SetTerminalEnabled").size(), 2);
}

TEST_F(ExchangeBracketTest, EnablesAgainWhenAnErrorInterruptsTheExchange) {
    startSimulator(SimulatorFixture::state({}));
    connectToSimulator();
    try {
        ExchangeBracket bracket(clock, 1);
        ASSERT_TRUE(bracket.entered());
        throw DatabaseError("ENROLLINFO: no such table");
    } catch (const DatabaseError&) {
    }
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
}

TEST_F(ExchangeBracketTest, RefusedDisableMeansNoExchangeAndNoEnable) {
    startSimulator(refusingState());
    connectToSimulator();
    const int mark = sim().logLines().size();
    {
        ExchangeBracket bracket(clock, 1);
        EXPECT_FALSE(bracket.entered());
    }
    EXPECT_EQ(requests(sim(), mark),
              QStringList({"SetTerminalEnabled machine=1 -> ERR_NON_CARRYOUT"}));
}

TEST_F(ExchangeBracketTest, WithoutConnectionNothingIsEntered) {
    ExchangeBracket bracket(clock, 3);
    EXPECT_FALSE(bracket.entered());
    int code = -1;
    clock.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_NOT_OPEN);
}

TEST_F(ExchangeBracketTest, DeferredBracketDisablesPerStepAndEnablesOnce) {
    startSimulator(SimulatorFixture::state({}));
    connectToSimulator();
    const int mark = sim().logLines().size();
    {
        ExchangeBracket bracket(clock, 1, ExchangeBracket::Deferred);
        EXPECT_FALSE(bracket.entered());
        EXPECT_TRUE(bracket.disable());
        EXPECT_TRUE(bracket.disable());
        bracket.leave();
        EXPECT_TRUE(sim().state()["enabled"].toBool(false));
    }
    EXPECT_EQ(operations(sim(), mark), QStringList(3, "SetTerminalEnabled"))
        << "two disables, one enable, nothing more from the destructor";
}
