#include "common/CommandBoundary.h"
#include "common/Errors.h"
#include "common/ScopeGuard.h"

#include "support/RecordingOperator.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace selvenor;

TEST(CommandBoundary, AnErrorIsShownWithItsTextAfterTheRestoreStepsRan) {
    RecordingOperator ui;
    bool restored = false;
    const bool ok = runCommand(ui, [&] {
        BusyCursor busy(ui);
        ScopeGuard restore([&] { restored = true; });
        throw ConversionError(QStringLiteral("'x' is not a valid integer value"));
    });
    EXPECT_FALSE(ok);
    EXPECT_TRUE(restored);
    EXPECT_EQ(ui.busyDepth, 0);
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("'x' is not a valid integer value"));
    EXPECT_EQ(ui.shown[0].icon, OperatorInterface::Icon::Error);
    EXPECT_EQ(ui.shown[0].buttons, static_cast<int>(OperatorInterface::Button::Ok));
}

TEST(CommandBoundary, OtherStandardExceptionsAreShownToo) {
    RecordingOperator ui;
    EXPECT_FALSE(runCommand(ui, [] { throw std::runtime_error("disk dolu"); }));
    EXPECT_EQ(ui.texts(), QStringList({"disk dolu"}));
}

TEST(CommandBoundary, ACommandThatSucceedsShowsNothing) {
    RecordingOperator ui;
    int runs = 0;
    EXPECT_TRUE(runCommand(ui, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(ui.shown.isEmpty());
}
