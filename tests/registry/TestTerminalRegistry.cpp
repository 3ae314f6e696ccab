#include "RegistryFixture.h"

#include "common/Errors.h"
#include "registry/TerminalRegistry.h"

#include <QSqlRecord>

using namespace selvenor;
using Button = OperatorInterface::Button;

namespace {

TerminalEntry entry(const QString& name, const QString& terminalNo = QStringLiteral("1")) {
    TerminalEntry e;
    e.Terminal = name;
    e.TerminalNo = terminalNo;
    e.Tip = QStringLiteral("ethernet");
    e.ComPort = QStringLiteral("1");
    e.ComBaud = QStringLiteral("9600");
    e.Ip = QStringLiteral("192.168.0.100");
    e.NetPort = QStringLiteral("5005");
    e.Sifre = QStringLiteral("0");
    return e;
}

} // namespace

class TerminalRegistryTest : public RegistryFixture {
protected:
    void SetUp() override {
        RegistryFixture::SetUp();
        list.open();
    }

    QSqlRecord storedRow(qint64 id) {
        QSqlQuery q = execSql(db(), "select * from Terminal where id = ?", {id});
        EXPECT_TRUE(q.next());
        return q.record();
    }

    TerminalRegistry registry{ui, dm.ADOConnection1(), list};
};

TEST_F(TerminalRegistryTest, ANewTerminalIsStoredTrimmedWithItsNumbersAsIntegers) {
    TerminalEntry e = entry(QStringLiteral(" Kapı\t"), QStringLiteral(" 12 "));
    e.Sifre = QStringLiteral("583927\r\n");
    ASSERT_TRUE(registry.saveNew(e));
    ASSERT_EQ(list.count(), 1);
    const QSqlRecord row = storedRow(list.current().id);
    EXPECT_EQ(row.value("Terminal").toString(), QStringLiteral("Kapı"));
    EXPECT_EQ(row.value("TerminalNo").typeId(), QMetaType::LongLong);
    EXPECT_EQ(row.value("TerminalNo").toInt(), 12);
    EXPECT_EQ(row.value("Tip").toString(), QStringLiteral("ethernet"));
    EXPECT_EQ(row.value("ComBaud").toString(), QStringLiteral("9600"));
    EXPECT_EQ(row.value("NetPort").toInt(), 5005);
    EXPECT_EQ(row.value("Sifre").toInt(), 583927);
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST_F(TerminalRegistryTest, ANameWithQuotesAndTurkishLettersSurvivesSaveAndReload) {
    const QString name = QStringLiteral("Şube 'Güney' \"İç\" Kapı; ğüşıöç --");
    ASSERT_TRUE(registry.saveNew(entry(name)));
    TerminalList reloaded(dm.ADOConnection1());
    reloaded.open();
    ASSERT_EQ(reloaded.count(), 1);
    EXPECT_EQ(reloaded.current().Terminal, name);
    EXPECT_EQ(rowCount(), 1);
}

TEST_F(TerminalRegistryTest, ANonNumericMachineNumberIsAClearErrorAndStoresNothing) {
    try {
        registry.saveNew(entry("A", "1a"));
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Cihaz No: '1a' is not a valid integer value"));
    }
    TerminalEntry badPort = entry("A");
    badPort.NetPort = QStringLiteral("50o5");
    EXPECT_THROW(registry.saveNew(badPort), ConversionError);
    TerminalEntry badPassword = entry("A");
    badPassword.Sifre = QStringLiteral("99999999999");
    EXPECT_THROW(registry.saveNew(badPassword), ConversionError);
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(TerminalRegistryTest, AnEmptyNumberIsStoredAsEmpty) {
    ASSERT_TRUE(registry.saveNew(entry("A", "  ")));
    EXPECT_TRUE(storedRow(list.current().id).value("TerminalNo").isNull());
    EXPECT_EQ(list.current().TerminalNo, QString());
}

TEST_F(TerminalRegistryTest, AnEmptyNameWarnsAndStoresNothing) {
    EXPECT_FALSE(registry.saveNew(entry("")));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("Terminal Adını Giriniz."));
    EXPECT_EQ(ui.shown[0].caption, QStringLiteral("UYARI"));
    EXPECT_EQ(ui.shown[0].buttons, static_cast<int>(Button::Ok));
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(TerminalRegistryTest, ANameOfBlanksPassesAndIsStoredEmpty) {
    ASSERT_TRUE(registry.saveNew(entry("   ")));
    EXPECT_EQ(list.current().Terminal, QString());
    EXPECT_EQ(rowCount(), 1);
}

TEST_F(TerminalRegistryTest, AfterAnAdditionTheFirstTerminalIsCurrent) {
    registry.saveNew(entry("M"));
    registry.saveNew(entry("Z"));
    EXPECT_EQ(list.current().Terminal, QStringLiteral("M"));
    list.setCurrentRow(1);
    registry.saveNew(entry("T"));
    EXPECT_EQ(names(), QStringList({"M", "T", "Z"}));
    EXPECT_EQ(list.currentRow(), 0);
}

TEST_F(TerminalRegistryTest, AChangeKeepsTheChangedTerminalCurrentWhereverItMoves) {
    addRow("B");
    addRow("C");
    const qint64 d = addRow("D");
    list.open();
    list.setCurrentRow(2);
    ASSERT_TRUE(registry.saveChanged(entry("A")));
    EXPECT_EQ(names(), QStringList({"A", "B", "C"}));
    EXPECT_EQ(list.current().id, d);
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(rowCount(), 3);
}

TEST_F(TerminalRegistryTest, AChangeWithoutATipKeepsTheStoredTip) {
    addRow("A", "Com");
    list.open();
    TerminalEntry e = entry("A2");
    e.Tip.reset();
    ASSERT_TRUE(registry.saveChanged(e));
    EXPECT_EQ(list.current().Tip, QStringLiteral("Com"));
    EXPECT_EQ(list.current().Terminal, QStringLiteral("A2"));
}

TEST_F(TerminalRegistryTest, AChangeOfATerminalDeletedMeanwhileFailsAndAddsNothing) {
    const qint64 a = addRow("A");
    list.open();
    execSql(db(), "delete from Terminal where id = ?", {a});
    EXPECT_THROW(registry.saveChanged(entry("A")), DatabaseError);
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(TerminalRegistryTest, AChangeWithABadNumberLeavesTheRowAsItWas) {
    addRow("A", "com", 4);
    list.open();
    EXPECT_THROW(registry.saveChanged(entry("B", "dört")), ConversionError);
    list.open();
    EXPECT_EQ(list.current().Terminal, QStringLiteral("A"));
    EXPECT_EQ(list.current().TerminalNo, QStringLiteral("4"));
}

TEST_F(TerminalRegistryTest, LookUpFindsTheCurrentRowOnlyWhileTheTableHasIt) {
    EXPECT_THROW(registry.lookUpCurrent(), DatabaseError);
    const qint64 a = addRow("A");
    list.open();
    ASSERT_TRUE(registry.lookUpCurrent().has_value());
    EXPECT_EQ(registry.lookUpCurrent()->id, a);
    execSql(db(), "delete from Terminal where id = ?", {a});
    EXPECT_FALSE(registry.lookUpCurrent().has_value());
}

TEST_F(TerminalRegistryTest, DeleteAsksAndNoChangesNothing) {
    addRow("A");
    addRow("B");
    list.open();
    list.setCurrentRow(1);
    ui.answers = {Button::No};
    EXPECT_EQ(registry.deleteCurrent(), TerminalRegistry::Deletion::Declined);
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("Seçili kaydı Silmek İstiyor musunuz...?"));
    EXPECT_EQ(ui.shown[0].caption, QStringLiteral("UYARI"));
    EXPECT_EQ(ui.shown[0].buttons, Button::Yes | Button::No);
    EXPECT_EQ(rowCount(), 2);
    EXPECT_EQ(list.currentRow(), 1);
}

TEST_F(TerminalRegistryTest, DeleteOnYesRemovesTheCurrentTerminalAndGoesToTheFirst) {
    addRow("A");
    addRow("B");
    addRow("C");
    list.open();
    list.setCurrentRow(1);
    ui.answers = {Button::Yes};
    EXPECT_EQ(registry.deleteCurrent(), TerminalRegistry::Deletion::Deleted);
    EXPECT_EQ(names(), QStringList({"A", "C"}));
    EXPECT_EQ(list.currentRow(), 0);
}

TEST_F(TerminalRegistryTest, DeleteOnAnEmptyListAsksNothing) {
    EXPECT_EQ(registry.deleteCurrent(), TerminalRegistry::Deletion::EmptyList);
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST_F(TerminalRegistryTest, DeleteOfATerminalGoneMeanwhileReReadsTheList) {
    const qint64 a = addRow("A");
    addRow("B");
    list.open();
    execSql(db(), "delete from Terminal where id = ?", {a});
    ui.answers = {Button::Yes};
    EXPECT_EQ(registry.deleteCurrent(), TerminalRegistry::Deletion::AlreadyGone);
    EXPECT_EQ(names(), QStringList({"B"}));
}

TEST_F(TerminalRegistryTest, TwoTerminalsMayShareNameAndMachineNumber) {
    registry.saveNew(entry("A", "3"));
    registry.saveNew(entry("A", "3"));
    EXPECT_EQ(rowCount(), 2);
}
