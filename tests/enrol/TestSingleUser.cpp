#include "EnrolHarness.h"

#include "enrol/EnrollDownload.h"
#include "enrol/NameFolding.h"
#include "enrol/NameList.h"
#include "enrol/PackedPassword.h"
#include "enrol/RecordLists.h"
#include "enrol/SingleDelete.h"
#include "enrol/UserCommands.h"
#include "terminal/ResultCode.h"

#include <gtest/gtest.h>

using namespace selvenor;
using B = OperatorInterface::Button;

namespace {

QJsonObject stateWith(const QJsonArray& users, const QJsonObject& names = {},
                      const QJsonObject& faults = {}) {
    return terminalState(users, names, faults);
}

// Fills the store from the harness's terminal, then points the control at `target`.
void downloadThenConnect(EnrolHarness& h, SimulatorFixture& target) {
    EnrolContext ctx = h.context();
    ASSERT_TRUE(downloadEnrollData(ctx).ok);
    h.connectTo(target);
    h.view = RecordingView();
}

QMap<int, QString> terminalNames(const SimulatorFixture& sim) {
    QMap<int, QString> names;
    const QJsonObject o = sim.state().value(QStringLiteral("names")).toObject();
    for (auto it = o.begin(); it != o.end(); ++it)
        names.insert(it.key().toInt(), it.value().toString());
    return names;
}

} // namespace

// --- passwords ---

TEST(PackedPassword, DigitsGoIntoFourBitGroupsPlusOneFirstDigitLowest) {
    EXPECT_EQ(PackPassword(QStringLiteral("1")), 0x2);
    EXPECT_EQ(PackPassword(QStringLiteral("123")), 0x432);
    EXPECT_EQ(PackPassword(QStringLiteral(" 907 ")), 0x81A);
    EXPECT_EQ(PackPassword(QStringLiteral("12345678")), PackPassword(QStringLiteral("123456")));
    EXPECT_EQ(PackPassword(QStringLiteral("999999")), 0xAAAAAA);
    EXPECT_EQ(PasswordDisplay(PackPassword(QStringLiteral("123456"))), QStringLiteral("123456"));
    EXPECT_EQ(PasswordDisplay(PackPassword(QStringLiteral("000"))), QStringLiteral("000"));
}

TEST(PackedPassword, DisplayOfZeroIsEmptyAndZeroGroupShowsMinusOne) {
    EXPECT_EQ(PasswordDisplay(0), QString());
    EXPECT_EQ(PasswordDisplay(0x402), QStringLiteral("1-13"));
    EXPECT_EQ(PasswordDisplay(-5), QString());
}

TEST(PackedPassword, NonDigitIsConversionError) {
    try {
        PackPassword(QStringLiteral("12a4"));
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("'a' is not a valid integer value"));
    }
    EXPECT_NO_THROW(PackPassword(QStringLiteral("123456x"))) << "after the sixth is ignored";
}

TEST(NameFolding, TurkishLettersBecomeLatinAndLengthStays) {
    EXPECT_EQ(FoldName(QStringLiteral("çğıöşüÇĞİÖŞÜ")), QStringLiteral("cgiosuCGIOSU"));
    EXPECT_EQ(FoldName(QStringLiteral("Mary-Ann O'Neil 42")), QStringLiteral("Mary-Ann O'Neil 42"));
    EXPECT_EQ(FoldName(QStringLiteral("Şükrü Çağlar")), QStringLiteral("Sukru Caglar"));
}

// --- single delete ---

TEST(SingleDelete, InitialFieldsDeleteItemZeroOfUserOne) {
    EnrolHarness h(stateWith({SimulatorFixture::user(1, 0), SimulatorFixture::user(1, 5),
                              SimulatorFixture::user(2, 0)}));
    EnrolContext ctx = h.context();
    EXPECT_TRUE(deleteSingleItem(ctx, {"1", "1", "0"}).deleted);
    EXPECT_EQ(h.view.status(), QStringLiteral("DeleteEnrollData OK"));
    EXPECT_TRUE(deleteSingleItem(ctx, {"1", "1", "5"}).deleted) << "a backup number off the list";
    QList<int> left;
    for (const TerminalEntry& e : EnrolHarness::entries(*h.sim))
        left << e.enroll;
    EXPECT_EQ(left, QList<int>{2});
    EXPECT_TRUE(h.sim->state()["enabled"].toBool(true));
}

TEST(SingleDelete, FieldThatIsNoIntegerLeavesTheTerminalEnabled) {
    EnrolHarness h(stateWith({SimulatorFixture::user(1, 0)}));
    EnrolContext ctx = h.context();
    try {
        deleteSingleItem(ctx, {"", "1", "0"});
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("'' is not a valid integer value"));
    }
    EXPECT_EQ(EnrolHarness::entries(*h.sim).size(), 1);
    EXPECT_TRUE(h.sim->state()["enabled"].toBool(true));
}

TEST(SingleDelete, FailureShowsCodeAndRefusedDisableIsNoDevice) {
    EnrolHarness h(stateWith({SimulatorFixture::user(1, 0)}, {},
                             EnrolHarness::failing("DeleteEnrollData", 4, "once")));
    EnrolContext ctx = h.context();
    const SingleDeleteResult refused = deleteSingleItem(ctx, {"1", "1", "0"});
    EXPECT_TRUE(refused.started);
    EXPECT_FALSE(refused.deleted);
    EXPECT_EQ(refused.resultCode, 4);
    EXPECT_EQ(h.view.status(), QStringLiteral("ERR_INVALID_PARAM"));
    SimulatorFixture refusing(
        stateWith({SimulatorFixture::user(1, 0)}, {}, QJsonObject{{"refuseDisable", true}}));
    h.connectTo(refusing);
    const SingleDeleteResult locked = deleteSingleItem(ctx, {"x", "1", "0"});
    EXPECT_FALSE(locked.started) << "no conversion before the terminal";
    EXPECT_FALSE(locked.deleted);
    EXPECT_EQ(ResultCodeName(locked.resultCode), QStringLiteral("ERR_NON_CARRYOUT"));
    EXPECT_EQ(h.view.status(), QStringLiteral("No Device"));
}

// --- names ---

TEST(NameList, SearchBeginsWithTheTextAndTakesQuotesAndWildcardsLiterally) {
    EnrolHarness h(
        stateWith({SimulatorFixture::user(1, 11, 0, 1), SimulatorFixture::user(2, 11, 0, 2),
                   SimulatorFixture::user(3, 11, 0, 3), SimulatorFixture::user(4, 11, 0, 4)},
                  {{"1", "Ayşe"}, {"2", "O'Neil"}, {"3", "Ali"}, {"4", "A_b"}}));
    EnrolContext ctx = h.context();
    downloadEnrollData(ctx);
    NameList list;
    EXPECT_FALSE(list.isOpen());
    list.refresh(h.dm->ADOConnection2(), QStringLiteral("  "));
    EXPECT_EQ(list.rowCount(), 4);
    list.refresh(h.dm->ADOConnection2(), QStringLiteral("Ay"));
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.value(0, "kartno").toString(), QStringLiteral("00001"));
    list.refresh(h.dm->ADOConnection2(), QStringLiteral("O'"));
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.value(0, "isim").toString(), QStringLiteral("O'Neil"));
    list.refresh(h.dm->ADOConnection2(), QStringLiteral("A_"));
    EXPECT_EQ(list.rowCount(), 1) << "_ is a letter of the search";
    list.refresh(h.dm->ADOConnection2(), QStringLiteral("%"));
    EXPECT_EQ(list.rowCount(), 0);
}

TEST(NameList, UploadAllSendsFoldedNamesSkipsEmptyOnesAndFollowsTheSearch) {
    const QString longName = QStringLiteral("Abdurrahmanğüşiöçİ12");
    EnrolHarness h(stateWith({SimulatorFixture::user(1, 0), SimulatorFixture::user(1, 1),
                              SimulatorFixture::user(2, 0), SimulatorFixture::user(3, 0)},
                             {{"1", "çğıöşüÇĞİÖŞÜ"}, {"2", longName}}));
    EnrolContext ctx = h.context();
    downloadEnrollData(ctx);
    SimulatorFixture b(stateWith({SimulatorFixture::user(1, 0), SimulatorFixture::user(2, 0),
                                  SimulatorFixture::user(3, 0)}));
    h.connectTo(b);
    h.view = RecordingView();
    NameList list;
    list.refresh(h.dm->ADOConnection2(), QString());
    // The entry of user 3 is read after user 2's and carries its name: the terminal had none.
    list.setData(list.index(3, 1), QString());
    const NameList::UploadCount count = list.uploadAllNames(ctx);
    EXPECT_EQ(count.sent, 3);
    EXPECT_EQ(count.empty, 1);
    const auto names = terminalNames(b);
    EXPECT_EQ(names[1], QStringLiteral("cgiosuCGIOSU"));
    EXPECT_EQ(names[2], QStringLiteral("AbdurrahmangusiocI12"));
    EXPECT_EQ(names[2].size(), 20);
    EXPECT_FALSE(names.contains(3));
    EXPECT_EQ(list.currentRow(), 3);
    EXPECT_EQ(h.view.status(), QStringLiteral("SetUserName OK"));
    EXPECT_EQ(h.view.buttonStates, (QList<bool>{false, true}));

    SimulatorFixture c(stateWith({SimulatorFixture::user(1, 0), SimulatorFixture::user(2, 0)}));
    h.connectTo(c);
    list.refresh(h.dm->ADOConnection2(), QStringLiteral("Abd"));
    EXPECT_EQ(list.uploadAllNames(ctx).sent, 1);
    EXPECT_EQ(terminalNames(c).keys(), QList<int>{2});
}

TEST(NameList, SelectedNameFailureShowsCodeAndClosedListIsAnError) {
    EnrolHarness h(stateWith({SimulatorFixture::user(5, 0)}, {{"5", "Ali"}},
                             EnrolHarness::failing("SetUserName", 3, "once")));
    EnrolContext ctx = h.context();
    NameList list;
    EXPECT_THROW(list.uploadSelectedName(ctx), DatabaseError);
    EXPECT_EQ(h.view.buttonStates, (QList<bool>{false, true}));
    EXPECT_EQ(h.ui.busyDepth, 0);
    downloadEnrollData(ctx);
    list.refresh(h.dm->ADOConnection2(), QString());
    EXPECT_FALSE(list.uploadSelectedName(ctx));
    EXPECT_EQ(h.view.status(), QStringLiteral("ERR_READ_FAIL"));
    EXPECT_TRUE(list.uploadSelectedName(ctx));
    EXPECT_EQ(h.view.status(), QStringLiteral("SetUserName OK"));
}

TEST(NameList, EditedNameIsStoredInItsRowOnly) {
    EnrolHarness h(
        stateWith({SimulatorFixture::user(5, 0), SimulatorFixture::user(5, 1)}, {{"5", "Ali"}}));
    EnrolContext ctx = h.context();
    downloadEnrollData(ctx);
    NameList list;
    list.refresh(h.dm->ADOConnection2(), QString());
    EXPECT_FALSE(list.flags(list.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(list.flags(list.index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(list.setData(list.index(1, 1), QStringLiteral("Ali'nin ikinci")));
    const auto rows = h.tempRows();
    EXPECT_EQ(rows[0]["isim"].toString(), QStringLiteral("Ali"));
    EXPECT_EQ(rows[1]["isim"].toString(), QStringLiteral("Ali'nin ikinci"));
}

// --- record lists, user upload, password change, activation ---

class SingleUser : public ::testing::Test {
protected:
    SingleUser()
        : h(stateWith([] {
            QJsonArray users = fourEntryUser(42, 2);
            users << SimulatorFixture::user(1, 0) << SimulatorFixture::user(10, 0)
                  << SimulatorFixture::user(100, 10, 0, 0x32) << SimulatorFixture::user(2, 0);
            return users;
        }())) {}
    EnrolHarness h;
};

TEST_F(SingleUser, RecordListSearchBeginsWithTheNumber) {
    EnrolContext ctx = h.context();
    downloadEnrollData(ctx);
    RecordLists lists;
    lists.refresh(h.dm->ADOConnection1(), QString());
    EXPECT_EQ(lists.qryenroll.rowCount(), 8);
    EXPECT_EQ(lists.qryenroll.value(0, "EnrollNumber").toInt(), 1);
    lists.refresh(h.dm->ADOConnection1(), QStringLiteral(" 1 "));
    QList<int> numbers;
    for (int r = 0; r < lists.qryenroll.rowCount(); ++r)
        numbers << lists.qryenroll.value(r, "EnrollNumber").toInt();
    EXPECT_EQ(numbers, (QList<int>{1, 10, 100}));
    lists.refresh(h.dm->ADOConnection1(), QStringLiteral("1'"));
    EXPECT_EQ(lists.qryenroll.rowCount(), 0);
    // Administrators' password entries first, then ordinary users'.
    EXPECT_EQ(lists.qryadmin.rowCount(), 1);
    EXPECT_EQ(lists.oldPasswordText(), QStringLiteral("123"));
    lists.refreshPasswordList(h.dm->ADOConnection1(), false);
    ASSERT_EQ(lists.qryadmin.rowCount(), 1);
    EXPECT_EQ(lists.oldPasswordText(), QStringLiteral("12"));
    EXPECT_EQ(lists.qryaktifpasif.rowCount(), 4) << "the other sheet's choice stays";
    lists.refreshActivationList(h.dm->ADOConnection1(), false);
    EXPECT_EQ(lists.qryaktifpasif.rowCount(), 4);
}

TEST_F(SingleUser, UserUploadWritesAllFourEntries) {
    SimulatorFixture b;
    downloadThenConnect(h, b);
    EnrolContext ctx = h.context();
    const UserCommandResult r = uploadUser(ctx, 42);
    EXPECT_EQ(r.send.sent, 4);
    QList<TerminalEntry> expected;
    for (TerminalEntry e : EnrolHarness::entries(*h.sim)) {
        if (e.enroll != 42)
            continue;
        if (!e.data.isEmpty())
            e.data.removeLast();
        expected << e;
    }
    QList<TerminalEntry> got = EnrolHarness::entries(b);
    for (TerminalEntry& e : got) {
        if (!e.data.isEmpty())
            e.data.removeLast();
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(h.view.memo, QStringList(4, QStringLiteral("00042")));
    EXPECT_EQ(h.view.statuses.filter("Count = ").size(), 4);
    EXPECT_TRUE(h.view.status().endsWith(QStringLiteral("Count = 4")));
    EXPECT_EQ(h.view.statuses.first(), QStringLiteral("Working..."));
}

TEST_F(SingleUser, UserUploadLastFailureAnsweredNoEndsWithErrorText) {
    SimulatorFixture b(stateWith({}, {}, EnrolHarness::failing("SetEnrollData", 2, 4)));
    downloadThenConnect(h, b);
    h.ui.answers = {B::No};
    EnrolContext ctx = h.context();
    const UserCommandResult r = uploadUser(ctx, 42);
    EXPECT_TRUE(r.send.lastFailed);
    EXPECT_EQ(ResultCodeName(r.send.lastErrorCode), QStringLiteral("ERR_WRITE_FAIL"));
    ASSERT_EQ(h.ui.shown.size(), 1);
    EXPECT_EQ(h.ui.shown[0].icon, OperatorInterface::Icon::Question);
    EXPECT_EQ(h.view.status(), QStringLiteral("SetAllEnrollData Error : ERR_WRITE_FAIL"));
}

TEST_F(SingleUser, PasswordChangeWritesTheFourEntriesWithTheNewPassword) {
    SimulatorFixture b;
    downloadThenConnect(h, b);
    EnrolContext ctx = h.context();
    const auto r = changePassword(ctx, 42, QStringLiteral("98765432"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->send.sent, 4);
    for (const TerminalEntry& e : EnrolHarness::entries(b)) {
        if (e.backup == 10) {
            EXPECT_EQ(e.value, PackPassword(QStringLiteral("987654")));
        } else if (e.backup == 11) {
            EXPECT_EQ(e.value, 7000042);
        }
    }
    for (const auto& row : h.enrollRows()) {
        if (row["EnrollNumber"].toInt() == 42 && row["FingerNumber"].toInt() == 15) {
            EXPECT_EQ(row["Password"].toInt(), 0x432) << "the store keeps the old one";
        }
    }
}

TEST_F(SingleUser, PasswordChangeRefusesEmptyAndBadPasswordsBeforeTheTerminal) {
    SimulatorFixture b;
    downloadThenConnect(h, b);
    EnrolContext ctx = h.context();
    EXPECT_FALSE(changePassword(ctx, 42, QStringLiteral("   ")));
    EXPECT_EQ(h.ui.texts(), QStringList{QStringLiteral("Şifre gir")});
    EXPECT_TRUE(h.ui.shown[0].plain);
    EXPECT_THROW(changePassword(ctx, 42, QStringLiteral("12x")), ConversionError);
    EXPECT_TRUE(EnrolHarness::entries(b).isEmpty());
}

TEST_F(SingleUser, DisableWithFailingMiddleEntryGoesOnAndEndsWithSuccess) {
    SimulatorFixture b(
        stateWith(fourEntryUser(42, 2), {}, EnrolHarness::failing("SetUserEnabled", 5, 2)));
    downloadThenConnect(h, b);
    EnrolContext ctx = h.context();
    const UserCommandResult r = setUserEnabled(ctx, 42, false);
    EXPECT_EQ(r.done, 3);
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(r.resultCode, 5);
    EXPECT_EQ(h.view.statuses,
              (QStringList{"Success!", "ERR_NON_CARRYOUT", "Success!", "Success!"}));
    QList<bool> enabled;
    for (const TerminalEntry& e : EnrolHarness::entries(b))
        enabled << e.enabled;
    EXPECT_EQ(enabled.count(false), 3);
    EXPECT_TRUE(b.state()["enabled"].toBool(true));

    const UserCommandResult on = setUserEnabled(ctx, 42, true);
    EXPECT_EQ(on.done, 4);
    for (const TerminalEntry& e : EnrolHarness::entries(b))
        EXPECT_TRUE(e.enabled);
}

TEST_F(SingleUser, EnableOnTerminalThatCannotBeDisabledIsNoDevice) {
    SimulatorFixture b(stateWith(fourEntryUser(42, 2), {}, QJsonObject{{"refuseDisable", true}}));
    downloadThenConnect(h, b);
    EnrolContext ctx = h.context();
    const UserCommandResult r = setUserEnabled(ctx, 42, false);
    EXPECT_EQ(r.done, 0);
    EXPECT_TRUE(r.notDisabled);
    EXPECT_EQ(ResultCodeName(r.resultCode), QStringLiteral("ERR_NON_CARRYOUT"));
    EXPECT_EQ(h.view.status(), QStringLiteral("No Device"));
    EXPECT_EQ(h.view.buttonStates, (QList<bool>{false, true}));
}
