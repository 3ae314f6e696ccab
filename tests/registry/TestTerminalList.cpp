#include "RegistryFixture.h"

#include "common/Errors.h"
#include "registry/TerminalEntry.h"

#include <QSignalSpy>

using namespace selvenor;

using TerminalListTest = RegistryFixture;

TEST_F(TerminalListTest, ReadsInTurkishNameOrderWithTheFirstRowCurrent) {
    for (const char* name : {"Depo", "çıkış", "Ana Kapı", "Cami", "ana bina", "Zemin"})
        addRow(QString::fromUtf8(name));
    list.open();
    EXPECT_EQ(names(), QStringList({"ana bina", "Ana Kapı", "Cami", QString::fromUtf8("çıkış"),
                                    "Depo", "Zemin"}));
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(list.current().Terminal, QStringLiteral("ana bina"));
}

TEST_F(TerminalListTest, ReadsEveryColumnAsTextWhateverTheCaseOfItsName) {
    execSql(db(),
            "insert into Terminal (TERMINAL, terminalno, TIP, comport, COMBAUD, IP, netport, "
            "SIFRE) values (?, ?, ?, ?, ?, ?, ?, ?)",
            {"Kapı", 7, "ethernet", "3", "19200", "10.0.0.9", 5005, 583927});
    list.open();
    ASSERT_EQ(list.count(), 1);
    const TerminalRecord& r = list.current();
    EXPECT_GT(r.id, 0);
    EXPECT_EQ(r.TerminalNo, QStringLiteral("7"));
    EXPECT_EQ(r.Tip, QStringLiteral("ethernet"));
    EXPECT_EQ(r.ComPort, QStringLiteral("3"));
    EXPECT_EQ(r.ComBaud, QStringLiteral("19200"));
    EXPECT_EQ(r.Ip, QStringLiteral("10.0.0.9"));
    EXPECT_EQ(r.NetPort, QStringLiteral("5005"));
    EXPECT_EQ(r.Sifre, QStringLiteral("583927"));
}

TEST_F(TerminalListTest, ShowsNameTipAndIpAsItsThreeColumns) {
    execSql(db(), "insert into Terminal (Terminal, Tip, Ip) values (?, ?, ?)",
            {"A", "ethernet", "192.168.0.5"});
    list.open();
    ASSERT_EQ(list.columnCount(), 3);
    EXPECT_EQ(list.data(list.index(0, 0)).toString(), QStringLiteral("A"));
    EXPECT_EQ(list.data(list.index(0, 1)).toString(), QStringLiteral("ethernet"));
    EXPECT_EQ(list.data(list.index(0, 2)).toString(), QStringLiteral("192.168.0.5"));
    EXPECT_FALSE(list.flags(list.index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(TerminalListTest, ReReadKeepsTheRememberedRowOrFallsBackToTheFirst) {
    addRow("A");
    const qint64 b = addRow("B");
    const qint64 c = addRow("C");
    list.open();
    execSql(db(), "update Terminal set Terminal = ? where id = ?", {"0 B", b});
    list.reReadKeeping(b);
    EXPECT_EQ(list.current().Terminal, QStringLiteral("0 B"));
    EXPECT_EQ(list.currentRow(), 0);
    execSql(db(), "delete from Terminal where id = ?", {c});
    list.setCurrentRow(2);
    list.reReadKeeping(c);
    EXPECT_EQ(list.currentRow(), 0);
}

TEST_F(TerminalListTest, AnEmptyListHasNoCurrentRowToUse) {
    list.open();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_THROW(list.current(), DatabaseError);
}

TEST_F(TerminalListTest, AClosedDatabaseFailsAndLeavesTheListEmpty) {
    addRow("A");
    list.open();
    QSignalSpy reset(&list, &TerminalList::modelReset);
    dm.ADOConnection1().close();
    EXPECT_THROW(list.open(), DatabaseError);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_GE(reset.count(), 1);
}

TEST_F(TerminalListTest, SettingTheCurrentRowIgnoresRowsThatDoNotExist) {
    addRow("A");
    addRow("B");
    list.open();
    QSignalSpy changed(&list, &TerminalList::currentRowChanged);
    list.setCurrentRow(1);
    list.setCurrentRow(5);
    list.setCurrentRow(-1);
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(changed.count(), 1);
}

TEST(ConnectionType, TipsAreMatchedExactly) {
    EXPECT_EQ(connectionTypeForTip("com"), ConnectionType::Com);
    EXPECT_EQ(connectionTypeForTip("ethernet"), ConnectionType::Ethernet);
    EXPECT_EQ(connectionTypeForTip("usb"), ConnectionType::Usb);
    EXPECT_EQ(connectionTypeForTip("Com"), ConnectionType::None);
    EXPECT_EQ(connectionTypeForTip("com "), ConnectionType::None);
    EXPECT_EQ(tipForConnectionType(ConnectionType::Ethernet), QStringLiteral("ethernet"));
    EXPECT_FALSE(tipForConnectionType(ConnectionType::None).has_value());
}
