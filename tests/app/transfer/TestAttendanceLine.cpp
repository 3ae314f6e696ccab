#include "AttendanceRig.h"

#include "app/transfer/AttendanceLine.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <limits>

using namespace selvenor;

namespace {

QString lineOf(const LogRecord& r, int machine, int mode) {
    QByteArray out;
    appendAttendanceLine(out, r, machine, mode);
    return QString::fromLatin1(out);
}

} // namespace

TEST(AttendanceLine, HasTheGivenLayoutAndEndsWithCrLf) {
    EXPECT_EQ(lineOf({123, 1, 2012, 3, 5, 8, 7}, 1, 1), "00123 05/03/2012 08:07:00 01 01\r\n");
}

TEST(AttendanceLine, WideNumbersAreNeverCut) {
    EXPECT_EQ(lineOf({123456, 0, 2012, 3, 5, 8, 7}, 123, 15),
              "123456 05/03/2012 08:07:00 123 15\r\n");
    EXPECT_EQ(lineOf({-5, 0, 12, 3, 5, 8, 7}, 5, -1), "000-5 05/03/0012 08:07:00 05 -1\r\n");
}

TEST(AttendanceLine, EveryPieceIsWhatZeroPadGives) {
    // Edges and random values, negative ones included, against the shared ZeroPad.
    QList<int> values{0,
                      1,
                      9,
                      10,
                      99,
                      100,
                      12345,
                      123456,
                      -1,
                      -9,
                      -10,
                      -12345,
                      std::numeric_limits<int>::max(),
                      std::numeric_limits<int>::min()};
    QRandomGenerator random(20120305);
    for (int i = 0; i < 2000; ++i)
        values << (int(random.generate()) >> random.bounded(31));
    for (int i = 0; i + 7 < values.size(); ++i) {
        const int* v = values.constData() + i;
        const QString expected =
            expectedLine(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]) + QStringLiteral("\r\n");
        ASSERT_EQ(lineOf({v[0], 0, v[3], v[2], v[1], v[4], v[5]}, v[6], v[7]), expected);
    }
}

TEST(ModeColumn, NewRecordsMapZeroAndEight) {
    const QList<std::pair<int, int>> cases{
        {0, 1},    {8, 2},    {1, 1},   {15, 15},  {264, 2},   {1025, 1},        {1281, 1},
        {1032, 2}, {300, 44}, {-1, -1}, {-256, 1}, {-264, -8}, {65536 + 1281, 1}};
    for (auto [verify, mode] : cases)
        EXPECT_EQ(modeColumn(ModeColumn::NewRecords, verify), mode) << verify;
}

TEST(ModeColumn, AllRecordsKeepTheRemainder) {
    const QList<std::pair<int, int>> cases{{0, 0},    {8, 8},     {1, 1},
                                           {15, 15},  {264, 8},   {1025, 1},
                                           {1281, 1}, {1032, 8},  {65536 + 1281, 1},
                                           {-1, -1},  {-300, -44}};
    for (auto [verify, mode] : cases)
        EXPECT_EQ(modeColumn(ModeColumn::AllRecords, verify), mode) << verify;
}

TEST(ModeColumn, InOutMapsGoInAndGoOut) {
    const QList<std::pair<int, int>> cases{
        {0, 0},    {8, 8},      {1, 1},           {15, 15},          {264, 8},
        {1025, 1}, {1281, 2},   {1032, 1},        {65536 + 1281, 2}, {65536 + 1032, 1},
        {-1, -1},  {-1281, -1}, {2 * 256 + 3, 3}, {3 * 256 + 8, 8},  {6 * 256 + 7, 7}};
    for (auto [verify, mode] : cases)
        EXPECT_EQ(modeColumn(ModeColumn::InOut, verify), mode) << verify;
}
