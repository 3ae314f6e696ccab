#include "EnrolHarness.h"

#include "enrol/EnrollRecordIO.h"
#include "enrol/EnrollStore.h"
#include "enrol/TemplateText.h"

#include <gtest/gtest.h>

using namespace selvenor;

TEST(EnrollRecords, TemplateItemStoresTemplateTextAndNoPassword) {
    EnrolHarness h;
    EnrolContext ctx = h.context();
    EnrollStore store(ctx.dataStore());
    for (int i = 0; i < kEnrollDataSize; ++i)
        h.item.templateBuffer[i] = -i;
    h.item.password = 99;
    EXPECT_TRUE(SaveEnrollRecord(ctx, store, 42, 1, 3, 0));
    const auto rows = h.enrollRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0]["Password"].isNull());
    EXPECT_EQ(rows[0]["FPdata"].toString(), TemplateToText(h.item.templateBuffer));
    EXPECT_EQ(rows[0]["FPdata"].toString().size(), 3185);
    EXPECT_EQ(h.view.status(), QStringLiteral("001-0042-3"));
    EXPECT_EQ(h.view.label2, QStringLiteral("  42"));
}

TEST(EnrollRecords, CardItemStoresPasswordValueAndNoTemplate) {
    EnrolHarness h;
    EnrolContext ctx = h.context();
    EnrollStore store(ctx.dataStore());
    h.item.password = 1234567;
    EXPECT_TRUE(SaveEnrollRecord(ctx, store, 123456, 2, 11, 1));
    const auto rows = h.enrollRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0]["Password"].toInt(), 1234567);
    EXPECT_TRUE(rows[0]["FPdata"].isNull());
    EXPECT_EQ(rows[0]["Privilige"].toInt(), 1);
    EXPECT_EQ(rows[0]["EMachineNumber"].toInt(), 2);
    EXPECT_EQ(h.view.status(), QStringLiteral("002-00123456-11"));
    EXPECT_EQ(h.view.label2, QStringLiteral("123456"));
}

TEST(EnrollRecords, SecondItemWithStoredTripleIsDoubleIdAndChangesNothing) {
    EnrolHarness h;
    EnrolContext ctx = h.context();
    EnrollStore store(ctx.dataStore());
    h.item.password = 5;
    ASSERT_TRUE(SaveEnrollRecord(ctx, store, 7, 1, 15, 0));
    h.item.password = 6;
    EXPECT_FALSE(SaveEnrollRecord(ctx, store, 7, 1, 15, 2));
    EXPECT_EQ(h.view.status(), QStringLiteral("Double ID"));
    const auto rows = h.enrollRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0]["Password"].toInt(), 5);
    EXPECT_EQ(rows[0]["Privilige"].toInt(), 0);
    // Another finger of the same user is a new item.
    EXPECT_TRUE(SaveEnrollRecord(ctx, store, 7, 1, 0, 0));
    EXPECT_EQ(h.enrollRows().size(), 2);
}

TEST(EnrollRecords, ReadingPasswordRowKeepsTheTemplateBuffer) {
    EnrolHarness h;
    EnrolContext ctx = h.context();
    h.item.templateBuffer.fill(77);
    EnrollRow row;
    row.fingerNumber = 15;
    row.password = 0x432;
    row.fpData = TemplateToText(QVector<qint32>(kEnrollDataSize, 1));
    ReadEnrollRecord(ctx, row);
    EXPECT_EQ(h.item.password, 0x432);
    EXPECT_EQ(h.item.templateBuffer, QVector<qint32>(kEnrollDataSize, 77));

    row.fingerNumber = 9;
    row.password = 0;
    ReadEnrollRecord(ctx, row);
    EXPECT_EQ(h.item.password, 0);
    EXPECT_EQ(h.item.templateBuffer[0], 1);
    EXPECT_EQ(h.item.templateBuffer[353], 1);
    EXPECT_EQ(h.item.templateBuffer[354], 77);
}

TEST(EnrollRecords, EmptyPasswordColumnReadsAsZero) {
    EnrolHarness h;
    EnrolContext ctx = h.context();
    EnrollStore store(ctx.dataStore());
    h.item.password = 31;
    ASSERT_TRUE(SaveEnrollRecord(ctx, store, 3, 1, 0, 0));
    int seen = 0;
    store.forEachRow([&](const EnrollRow& row, int position) {
        EXPECT_EQ(position, 1);
        EXPECT_EQ(row.password, 0);
        ReadEnrollRecord(ctx, row);
        ++seen;
        return true;
    });
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(h.item.password, 0);
}

TEST(EnrollRecords, ClosedStoreIsDatabaseError) {
    EnrolHarness h;
    h.dm->ADOConnection1().close();
    EnrolContext ctx = h.context();
    EnrollStore store(ctx.dataStore());
    EXPECT_THROW(SaveEnrollRecord(ctx, store, 1, 1, 0, 0), DatabaseError);
}
