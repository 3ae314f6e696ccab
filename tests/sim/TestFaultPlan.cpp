#include "common/Errors.h"
#include "sim/FaultPlan.h"
#include "sim/SimulatorOptions.h"

#include <gtest/gtest.h>

using namespace selvenor;
using namespace selvenor::sim;

TEST(FaultPlan, FailRulesCountCallsPerOperation) {
    FaultPlan plan;
    plan.addFailOption(QStringLiteral("DeleteEnrollData:5:2"));
    plan.addFailOption(QStringLiteral("GetTerminalTime:9:always"));
    plan.addFailOption(QStringLiteral("ReadAllUserID:3"));
    EXPECT_EQ(plan.failureFor(QStringLiteral("DeleteEnrollData")), 0);
    EXPECT_EQ(plan.failureFor(QStringLiteral("DeleteEnrollData")), 5);
    EXPECT_EQ(plan.failureFor(QStringLiteral("DeleteEnrollData")), 0);
    EXPECT_EQ(plan.failureFor(QStringLiteral("GetTerminalTime")), 9);
    EXPECT_EQ(plan.failureFor(QStringLiteral("GetTerminalTime")), 9);
    EXPECT_EQ(plan.failureFor(QStringLiteral("ReadAllUserID")), 3);
    EXPECT_EQ(plan.failureFor(QStringLiteral("ReadAllUserID")), 0);
}

TEST(FaultPlan, BadRuleTextsAreRefused) {
    FaultPlan plan;
    EXPECT_THROW(plan.addFailOption(QStringLiteral("DeleteEnrollData")), Error);
    EXPECT_THROW(plan.addFailOption(QStringLiteral("Nonsense:5")), Error);
    EXPECT_THROW(plan.addFailOption(QStringLiteral("DeleteEnrollData:5:sometimes")), Error);
    EXPECT_THROW(plan.addCorruptOption(QStringLiteral("any:once:scramble")), Error);
}

TEST(FaultPlan, JsonRoundTrip) {
    FaultPlan plan;
    plan.refuseDisable = true;
    plan.delayMs = 20;
    plan.addFailOption(QStringLiteral("DeleteEnrollData:5:2"));
    plan.addCorruptOption(QStringLiteral("any:always:truncate"));
    const FaultPlan back = FaultPlan::fromJson(plan.toJson());
    EXPECT_TRUE(back.refuseDisable);
    EXPECT_EQ(back.delayMs, 20);
    ASSERT_EQ(back.failRules.size(), 1);
    EXPECT_EQ(back.failRules[0].when.kind, FaultPlan::When::Kind::Nth);
    ASSERT_EQ(back.corruptRules.size(), 1);
    EXPECT_EQ(back.corruptRules[0].kind, FaultPlan::CorruptKind::Truncate);
}

TEST(SimulatorOptions, ParsesTheCommandLine) {
    const SimulatorOptions o = SimulatorOptions::parse(
        {"selvenor-sim", "--state", "s.json", "--listen", "127.0.0.1:0", "--machine", "4",
         "--password", "1234", "--fail", "ClearKeeperData:5", "--drop-after", "3"});
    EXPECT_EQ(o.statePath, QStringLiteral("s.json"));
    EXPECT_EQ(o.listenPort, 0);
    EXPECT_EQ(*o.machine, 4);
    EXPECT_EQ(*o.password, 1234);
    EXPECT_EQ(o.faults.failRules.size(), 1);
    EXPECT_EQ(o.faults.dropAfterFrames, 3);
}

TEST(SimulatorOptions, BadCommandLinesGiveTheUsage) {
    const auto message = [](const QStringList& args) {
        try {
            SimulatorOptions::parse(args);
        } catch (const Error& e) {
            return e.text();
        }
        return QString();
    };
    EXPECT_TRUE(message({"selvenor-sim"}).contains("--state FILE is required"));
    EXPECT_TRUE(
        message({"selvenor-sim", "--state", "s", "--listen", "nowhere"}).contains("usage:"));
    EXPECT_TRUE(message({"selvenor-sim", "--state", "s", "--machine", "x"}).contains("--machine"));
}
