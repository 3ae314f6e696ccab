#include "common/Errors.h"
#include "common/TextFunctions.h"

#include <gtest/gtest.h>

using namespace selvenor;

TEST(ZeroPad, PadsOnTheLeftAndNeverCuts) {
    EXPECT_EQ(ZeroPad(QStringLiteral("123"), 5), QStringLiteral("00123"));
    EXPECT_EQ(ZeroPad(QStringLiteral("123456"), 5), QStringLiteral("123456"));
    EXPECT_EQ(ZeroPad(QStringLiteral("-5"), 4), QStringLiteral("00-5"));
    EXPECT_EQ(ZeroPad(7, 2), QStringLiteral("07"));
    EXPECT_EQ(ZeroPad(QString(), 2), QStringLiteral("00"));
}

TEST(PadString, PadsCutsAndRepeatsTheWholeFill) {
    EXPECT_EQ(PadString("12", "0", 5, false), QStringLiteral("00012"));
    EXPECT_EQ(PadString("1234567", "0", 5, false), QStringLiteral("12345"));
    EXPECT_EQ(PadString("12", "ab", 4, true), QStringLiteral("12abab"));
    EXPECT_EQ(PadString("12345", "0", 5, true), QStringLiteral("12345"));
}

TEST(StrToInt, AcceptsBlanksSignDecimalAndDollarHex) {
    EXPECT_EQ(StrToInt("-17"), -17);
    EXPECT_EQ(StrToInt("  42"), 42);
    EXPECT_EQ(StrToInt("+8"), 8);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("$ff"), 255);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<qint32>::min());
}

TEST(StrToInt, RejectsEverythingElseWithTheDelphiText) {
    for (const char* bad : {"", " ", "12a", "12 ", "-", "$", "1.5", "2147483648", "-2147483649",
                            "$100000000", "0x10", "--1", "١٢"}) {
        EXPECT_FALSE(IsNumeric(QString::fromUtf8(bad))) << bad;
        EXPECT_THROW(StrToInt(QString::fromUtf8(bad)), ConversionError) << bad;
    }
    try {
        StrToInt("12a");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("'12a' is not a valid integer value"));
    }
}

TEST(TrimText, RemovesBlanksAndControlCharacters) {
    EXPECT_EQ(TrimText(QStringLiteral("\t ad \r\n")), QStringLiteral("ad"));
    EXPECT_EQ(TrimText(QStringLiteral("   ")), QString());
    EXPECT_EQ(TrimText(QStringLiteral("a b")), QStringLiteral("a b"));
}
