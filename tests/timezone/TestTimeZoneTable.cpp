#include "timezone/TimeZoneTable.h"

#include <gtest/gtest.h>

using namespace selvenor;

TEST(TimeZoneTable, SlotsBelongToZonesOfEightPeriods) {
    TimeZoneTable table;
    EXPECT_EQ(table.line(7), QStringLiteral("[Tz.] 01 - 8 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
    EXPECT_EQ(table.line(8), QStringLiteral("[Tz.] 02 - 1 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
    EXPECT_EQ(table.line(399), QStringLiteral("[Tz.] 50 - 8 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
    EXPECT_EQ(table.lines().size(), 400);
}

TEST(TimeZoneTable, EveryVerifyModeHasItsName) {
    TimeZoneTable table;
    const QStringList names = TimeZoneTable::verifyModeNames();
    ASSERT_EQ(names, QStringList({"FP|CD|PWD", "FP&CD", "FP&PWD", "CD&PWD", "FP&CD&PWD"}));
    for (int mode = 0; mode < names.size(); ++mode) {
        table.change(mode, 1, 2, 3, 4, mode);
        EXPECT_EQ(table.line(mode), QStringLiteral("[Tz.] 01 - %1 [S] 01:02 [E] 03:04  [VM] %2")
                                        .arg(mode + 1)
                                        .arg(names[mode]));
    }
}

TEST(TimeZoneTable, ChangesOutsideTheTableOrModesOutsideTheListAreHarmless) {
    TimeZoneTable table;
    const QStringList before = table.lines();
    table.change(-1, 1, 1, 1, 1, 1);
    table.change(400, 1, 1, 1, 1, 1);
    EXPECT_EQ(table.lines(), before);
    table.change(3, 5, 6, 7, 8, 9);
    EXPECT_EQ(table.slot(3).verifyMode, 0);
}

TEST(TimeZoneTable, ResetGivesEverySlotItsDefaults) {
    TimeZoneTable table;
    const QStringList defaults = table.lines();
    table.change(0, 1, 1, 1, 1, 1);
    table.change(200, 2, 2, 2, 2, 0);
    table.reset();
    EXPECT_EQ(table.lines(), defaults);
}
