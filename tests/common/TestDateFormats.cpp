#include "common/DateFormats.h"

#include <QVariant>

#include <gtest/gtest.h>

using namespace selvenor;

TEST(DateFormats, DatesWithoutAFormatOfTheirOwnShowDayMonthYearWithLeadingZeros) {
    EXPECT_EQ(DisplayText(QDate(2024, 3, 5)), QStringLiteral("05.03.2024"));
    EXPECT_EQ(DisplayText(QDateTime(QDate(2024, 3, 5), QTime(0, 0))), QStringLiteral("05.03.2024"));
    EXPECT_EQ(DisplayText(QDateTime(QDate(2024, 12, 31), QTime(7, 5, 9))),
              QStringLiteral("31.12.2024 07:05:09"));
    EXPECT_EQ(DisplayText(QVariant(QDate())), QString()) << "a NULL date shows nothing";
    EXPECT_EQ(DisplayText(42), QStringLiteral("42"));
    EXPECT_EQ(DisplayText(QStringLiteral("00042")), QStringLiteral("00042"));
    EXPECT_EQ(DateToLongStr(QDate(2024, 3, 5)), QStringLiteral("Salı, 05 Mart 2024"));
}
