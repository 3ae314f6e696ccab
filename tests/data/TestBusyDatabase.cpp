#include "data/DataFolder.h"
#include "data/Sql.h"
#include "data/StoreSchema.h"
#include "data/TfrmDM.h"

#include "support/SqliteWriteHolder.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace selvenor;

// Data.mdb in use by another program (the window, a scheduled download): the data module's
// statements wait for it instead of failing at once.
class BusyDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        createMissingStores(folder);
        ASSERT_TRUE(TfrmDM::openStore(dm.ADOConnection1(), folder.file("Data.mdb")));
    }
    int count(const QString& table) {
        QSqlQuery q = execSql(dm.ADOConnection1(), "select count(*) from " + table);
        return q.next() ? q.value(0).toInt() : -1;
    }

    TempFolder temp;
    DataFolder folder{temp.path()};
    TfrmDM dm;
};

TEST_F(BusyDatabaseTest, ATransactionThatReadsFirstWaitsForAnotherWriter) {
    // Another program takes the write lock while this one could still read: a transaction that
    // took only a read lock first could not wait for it at its first write.
    SqliteWriteHolder holder(folder.file("Data.mdb"), 1500, false);
    ASSERT_TRUE(holder.holds());
    inTransaction(dm.ADOConnection1(), [&] {
        EXPECT_EQ(count("Terminal"), 0);
        execSql(dm.ADOConnection1(), "insert into Terminal(Terminal, TerminalNo) values (?, ?)",
                {"Kapı", 1});
    });
    EXPECT_TRUE(holder.committed());
    EXPECT_EQ(count("Terminal"), 1);
    EXPECT_EQ(count("holder_was_here"), 0);
}

TEST_F(BusyDatabaseTest, AReadAndAWriteWaitLongerThanTheDriversOwnFiveSeconds) {
    SqliteWriteHolder holder(folder.file("Data.mdb"), 7000, true);
    ASSERT_TRUE(holder.holds());
    execSql(dm.ADOConnection1(), "insert into Terminal(Terminal, TerminalNo) values (?, ?)",
            {"Depo", 2});
    EXPECT_TRUE(holder.committed());
    EXPECT_EQ(count("Terminal"), 1);
    EXPECT_EQ(count("holder_was_here"), 0);
}
