#include "data/DataFolder.h"
#include "data/Sql.h"
#include "data/StoreSchema.h"
#include "data/TfrmDM.h"

#include "common/Errors.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace selvenor;

class StoreSchemaTest : public ::testing::Test {
protected:
    TempFolder temp;
    DataFolder folder{temp.path()};
    TfrmDM dm;

    void openBoth() {
        ASSERT_TRUE(TfrmDM::openStore(dm.ADOConnection1(), folder.file("Data.mdb")));
        ASSERT_TRUE(TfrmDM::openStore(dm.ADOConnection2(), folder.file("Log.mdb")));
    }
};

TEST_F(StoreSchemaTest, CreatesEveryMissingFileAndLeavesExistingOnesAlone) {
    {
        QFile settings(folder.file("Settings.ini"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[Options]\r\nveriDosya2=1\r\n");
    }
    EXPECT_EQ(createMissingStores(folder), QStringList({"Data.mdb", "Log.mdb"}));
    QFile settings(folder.file("Settings.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.readAll(), QByteArray("[Options]\r\nveriDosya2=1\r\n"));

    openBoth();
    execSql(dm.ADOConnection1(), "insert into Terminal(Terminal, TerminalNo) values (?, ?)",
            {"A", 1});
    dm.ADOConnection1().close();
    EXPECT_TRUE(createMissingStores(folder).isEmpty());
    openBoth();
    QSqlQuery q = execSql(dm.ADOConnection1(), "select count(*) from Terminal");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
}

TEST_F(StoreSchemaTest, TablesHaveTheirColumnsMatchedWithoutCase) {
    createMissingStores(folder);
    openBoth();
    execSql(dm.ADOConnection1(),
            "insert into terminal(TERMINAL, terminalno, TIP, comport, COMBAUD, ip, netport, sifre) "
            "values (?, ?, ?, ?, ?, ?, ?, ?)",
            {"O'Brien Şube", "12", "ethernet", "1", "9600", "10.0.0.2", "5005", "0"});
    QSqlQuery q = execSql(dm.ADOConnection1(), "select id, Terminal, TerminalNo from Terminal");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("O'Brien Şube"));
    EXPECT_EQ(q.value(2).metaType().id(), QMetaType::LongLong);
    execSql(dm.ADOConnection1(),
            "insert into ENROLLINFO(No, EnNo, EMNo, Fp, Priv, Enable) values (?,?,?,?,?,?)",
            {"000", "00042", "001", "00", "1", "1"});
    execSql(dm.ADOConnection2(), "insert into temp(kartno, isim) values (?, ?)", {"00042", "a"});
    execSql(dm.ADOConnection2(), "insert into temp(kartno, isim) values (?, ?)", {"00042", "b"});
}

TEST_F(StoreSchemaTest, NumericColumnsRefuseTextAndValuesBeyond32Bits) {
    createMissingStores(folder);
    openBoth();
    const QString insert = "insert into Terminal(Terminal, TerminalNo) values ('x', ?)";
    EXPECT_THROW(execSql(dm.ADOConnection1(), insert, {"abc"}), DatabaseError);
    EXPECT_THROW(execSql(dm.ADOConnection1(), insert, {"2147483648"}), DatabaseError);
    QSqlQuery q = execSql(dm.ADOConnection1(), "select count(*) from Terminal");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
}

TEST_F(StoreSchemaTest, EnrolmentItemTripleIsUnique) {
    createMissingStores(folder);
    openBoth();
    const QString insert = "insert into tblEnroll(EnrollNumber, EMachineNumber, FingerNumber, "
                           "Privilige) values (42, 1, 0, 0)";
    execSql(dm.ADOConnection1(), insert);
    EXPECT_THROW(execSql(dm.ADOConnection1(), insert), DatabaseError);
}

TEST_F(StoreSchemaTest, MissingFileLeavesTheConnectionClosed) {
    EXPECT_FALSE(TfrmDM::openStore(dm.ADOConnection1(), folder.file("Data.mdb")));
    EXPECT_FALSE(dm.ADOConnection1().isOpen());
    EXPECT_THROW(execSql(dm.ADOConnection1(), "select * from Terminal"), DatabaseError);
}
