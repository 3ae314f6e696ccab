#include "common/DateFormats.h"

#include <QLocale>
#include <QVariant>

#include <gtest/gtest.h>

using namespace selvenor;

TEST(DateFormats, DatesWithoutAFormatOfTheirOwnShowDayMonthYearWithLeadingZeros) {
    EXPECT_EQ(DisplayText(QDate(2024, 3, 5)), QStringLiteral("05.03.2024"));
    EXPECT_EQ(DisplayText(QDateTime(QDate(2024, 3, 5), QTime(0, 0))), QStringLiteral("05.03.2024"));
    EXPECT_EQ(DisplayText(QDateTime(QDate(2024, 12, 31), QTime(7, 5, 9))),
              QStringLiteral("31.12.2024 07:05:09"));
    EXPECT_EQ(DisplayText(QDate(987, 1, 2)), QStringLiteral("02.01.0987"));
    EXPECT_EQ(DisplayText(42), QStringLiteral("42"));
    EXPECT_EQ(DisplayText(QStringLiteral("00042")), QStringLiteral("00042"));
}

TEST(DateFormats, ANullDateShowsNothing) {
    EXPECT_EQ(DisplayText(QVariant(QDate())), QString());
    EXPECT_EQ(DisplayText(QVariant(QDateTime())), QString());
    EXPECT_EQ(DisplayText(QVariant()), QString());
    EXPECT_EQ(DateToLongStr(QDate()), QString());
    EXPECT_EQ(DateTimeText(QDateTime()), QString());
}

TEST(DateFormats, TheLongFormatNamesTheDayAndMonthInTurkish) {
    EXPECT_EQ(DateToLongStr(QDate(2024, 3, 5)), QStringLiteral("Salı, 05 Mart 2024"));
    EXPECT_EQ(DateToLongStr(QDate(2024, 1, 1)), QStringLiteral("Pazartesi, 01 Ocak 2024"));
    EXPECT_EQ(DateToLongStr(QDate(2023, 8, 31)), QStringLiteral("Perşembe, 31 Ağustos 2023"));
}

TEST(DateFormats, ADateAndTimeShowsBothEvenAtMidnight) {
    EXPECT_EQ(DateTimeText(QDateTime(QDate(2024, 3, 5), QTime(0, 0))),
              QStringLiteral("05.03.2024 00:00:00"));
    EXPECT_EQ(DateTimeText(QDateTime(QDate(2024, 3, 5), QTime(23, 59, 58, 999))),
              QStringLiteral("05.03.2024 23:59:58"));
    EXPECT_EQ(DateTimeText(QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7))),
              QStringLiteral("05.03.2024 09:05:07"));
}

// The texts do not depend on the locale the process runs with, so the command line, which
// runs no window, shows what the windows show.
TEST(DateFormats, TheTextsAreTheSameUnderAnyDefaultLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString english = DateTimeText(QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7))) +
                            DateToLongStr(QDate(2024, 3, 5));
    setProcessDateFormats();
    EXPECT_EQ(QLocale().language(), QLocale::Turkish);
    EXPECT_EQ(QLocale().monthName(3), QStringLiteral("Mart"));
    const QString turkish = DateTimeText(QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7))) +
                            DateToLongStr(QDate(2024, 3, 5));
    QLocale::setDefault(before);
    EXPECT_EQ(english, turkish);
    EXPECT_EQ(turkish, QStringLiteral("05.03.2024 09:05:07Salı, 05 Mart 2024"));
}
