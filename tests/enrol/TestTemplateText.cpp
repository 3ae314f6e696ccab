#include "enrol/TemplateText.h"

#include "terminal/TFP_CLOCK.h"

#include <gtest/gtest.h>

using namespace selvenor;

namespace {

QVector<qint32> buffer(qint32 fill = 0) {
    return QVector<qint32>(kEnrollDataSize, fill);
}

QString groups(const QStringList& list, QChar separator = QLatin1Char(' ')) {
    return list.join(separator);
}

} // namespace

TEST(TemplateText, AllMinusOneGivesFullLengthTextAndComesBack) {
    const QString text = TemplateToText(buffer(-1));
    EXPECT_EQ(text.size(), 3185);
    EXPECT_EQ(text, QStringList(354, QStringLiteral("FFFFFFFF")).join(QLatin1Char(' ')));
    QVector<qint32> back = buffer(7);
    TextToTemplate(text, back);
    for (int i = 0; i < 354; ++i)
        ASSERT_EQ(back[i], -1) << i;
    EXPECT_EQ(back[354], 7); // element 354 keeps its value
}

TEST(TemplateText, ValuesAreEightUpperCaseDigitsOfTwosComplement) {
    QVector<qint32> b = buffer();
    b[0] = 255;
    b[1] = -1;
    b[2] = qint32(0x80000000u);
    b[3] = 0x0abcdef0;
    b[353] = 1;
    const QString text = TemplateToText(b);
    EXPECT_TRUE(text.startsWith(QStringLiteral("000000FF FFFFFFFF 80000000 0ABCDEF0 00000000")));
    EXPECT_TRUE(text.endsWith(QStringLiteral(" 00000001")));
    QVector<qint32> back = buffer();
    TextToTemplate(text, back);
    EXPECT_EQ(back.mid(0, 354), b.mid(0, 354));
}

TEST(TemplateText, RoundTripOfVariedBuffer) {
    QVector<qint32> b = buffer();
    for (int i = 0; i < 355; ++i)
        b[i] = qint32(quint32(i) * 2654435761u);
    QVector<qint32> back = buffer();
    TextToTemplate(TemplateToText(b), back);
    EXPECT_EQ(back.mid(0, 354), b.mid(0, 354));
    EXPECT_EQ(back[354], 0);
}

TEST(TemplateText, FewGroupsFillTheFirstElementsAndClearTheRest) {
    QVector<qint32> b = buffer(5);
    TextToTemplate(QStringLiteral("00000001 00000002"), b);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 2);
    for (int i = 2; i < 354; ++i)
        ASSERT_EQ(b[i], 0) << i;
    EXPECT_EQ(b[354], 5);
}

TEST(TemplateText, EmptyTextGivesZeroTemplate) {
    QVector<qint32> b = buffer(9);
    TextToTemplate(QString(), b);
    for (int i = 0; i < 354; ++i)
        ASSERT_EQ(b[i], 0);
    EXPECT_EQ(b[354], 9);
}

TEST(TemplateText, LowerCaseDigitsAndAnySeparatorAreRead) {
    QVector<qint32> b = buffer();
    TextToTemplate(QStringLiteral("0000abcd;ffffffffx0000000A"), b);
    EXPECT_EQ(b[0], 0xabcd);
    EXPECT_EQ(b[1], -1);
    EXPECT_EQ(b[2], 10);
}

TEST(TemplateText, NonHexGroupEndsConversion) {
    QVector<qint32> b = buffer(3);
    TextToTemplate(QStringLiteral("00000001 0000000G 00000003"), b);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[2], 0);
}

TEST(TemplateText, ShortGroupEndsConversion) {
    QVector<qint32> b = buffer();
    TextToTemplate(QStringLiteral("00000001 0000002"), b);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 0);
    // A sign or blank inside a group is not a hexadecimal digit either.
    TextToTemplate(QStringLiteral("-0000001"), b);
    EXPECT_EQ(b[0], 0);
}

TEST(TemplateText, The355thGroupGoesToElement354AndTheRestIsIgnored) {
    QStringList list;
    for (int i = 0; i < 400; ++i)
        list << QStringLiteral("%1").arg(i + 1, 8, 16, QLatin1Char('0'));
    QVector<qint32> b = buffer();
    TextToTemplate(groups(list), b);
    EXPECT_EQ(b[353], 354);
    EXPECT_EQ(b[354], 355);
    EXPECT_EQ(b.size(), 355);
}
