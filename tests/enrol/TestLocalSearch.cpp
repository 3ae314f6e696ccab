#include "EnrolHarness.h"

#include "enrol/NameList.h"
#include "enrol/RecordLists.h"

#include "data/LocalSearch.h"
#include "data/Sql.h"

#include <gtest/gtest.h>

using namespace selvenor;

namespace {

// The name list over a temp table holding Turkish names, searched as the operator types.
class LocalSearch : public ::testing::Test {
protected:
    void SetUp() override {
        int card = 1;
        for (const char* name : {"Gülşen Öztürk", "İsmail Işık", "ismet Kaya", "Ilgın Çelik",
                                 "Şükrü Çağlar", "Çağrı Ak", "Ayşe", "%50_indirim", "Ömer"})
            execSql(h.dm->ADOConnection2(), "INSERT INTO temp (kartno, isim) VALUES (?, ?)",
                    {QStringLiteral("%1").arg(card++, 5, 10, QLatin1Char('0')),
                     QString::fromUtf8(name)});
    }
    QStringList found(const QString& text) {
        list.refresh(h.dm->ADOConnection2(), text);
        QStringList names;
        for (int row = 0; row < list.rowCount(); ++row)
            names << list.value(row, "isim").toString();
        return names;
    }
    EnrolHarness h;
    NameList list;
};

} // namespace

TEST_F(LocalSearch, NamesMatchRegardlessOfTurkishCase) {
    EXPECT_EQ(found("GÜL"), QStringList{"Gülşen Öztürk"});
    EXPECT_EQ(found("gül"), QStringList{"Gülşen Öztürk"});
    EXPECT_EQ(found("şük"), QStringList{"Şükrü Çağlar"});
    EXPECT_EQ(found("ŞÜKRÜ ç"), QStringList{"Şükrü Çağlar"});
    EXPECT_EQ(found("ism"), (QStringList{"İsmail Işık", "ismet Kaya"}));
    EXPECT_EQ(found("İSM"), (QStringList{"İsmail Işık", "ismet Kaya"}));
    EXPECT_EQ(found("ıl"), QStringList{"Ilgın Çelik"});
    EXPECT_EQ(found("IL"), QStringList{"Ilgın Çelik"});
    EXPECT_EQ(found("çağ"), QStringList{"Çağrı Ak"});
    EXPECT_EQ(found("ö"), QStringList{"Ömer"});
}

TEST_F(LocalSearch, DottedAndDotlessIAreTwoLettersAsInTurkish) {
    EXPECT_TRUE(found("il").isEmpty()) << "il is İL, Ilgın begins with IL";
    EXPECT_TRUE(found("IS").isEmpty()) << "İsmail begins with İ, not I";
    EXPECT_EQ(found("  ay  "), QStringList{"Ayşe"}) << "outer blanks are dropped";
}

TEST_F(LocalSearch, TheTextIsTakenLetterForLetter) {
    EXPECT_EQ(found("%"), QStringList{"%50_indirim"});
    EXPECT_EQ(found("%50_"), QStringList{"%50_indirim"});
    EXPECT_TRUE(found("_").isEmpty());
    EXPECT_TRUE(found("Ay'").isEmpty()) << "a quote is a letter, not the end of a statement";
    EXPECT_EQ(found("").size(), 9);
}

TEST_F(LocalSearch, TheRecordListSearchesEnrollNumbersThroughTheSameHelper) {
    for (int number : {1, 2, 10, 19, 100, 21, 1000})
        execSql(h.dm->ADOConnection1(),
                "INSERT INTO tblEnroll (EnrollNumber, EMachineNumber, FingerNumber, Privilige) "
                "VALUES (?, 1, 0, 0)",
                {number});
    RecordLists records;
    records.refresh(h.dm->ADOConnection1(), "1");
    QStringList numbers;
    for (int row = 0; row < records.qryenroll.rowCount(); ++row)
        numbers << records.qryenroll.value(row, "EnrollNumber").toString();
    EXPECT_EQ(numbers, (QStringList{"1", "10", "19", "100", "1000"}));
}

TEST_F(LocalSearch, AClosedConnectionIsAClearError) {
    QSqlDatabase closed = QSqlDatabase::addDatabase("QSQLITE", "local-search-closed");
    EXPECT_THROW(localSearchCondition(closed, "isim"), DatabaseError);
    closed = QSqlDatabase();
    QSqlDatabase::removeDatabase("local-search-closed");
}
