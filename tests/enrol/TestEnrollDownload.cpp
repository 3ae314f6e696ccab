#include "EnrolHarness.h"

#include "enrol/EnrollDownload.h"
#include "enrol/EnrollStoreState.h"
#include "enrol/TemplateText.h"
#include "terminal/ResultCode.h"

#include <gtest/gtest.h>

using namespace selvenor;
using B = OperatorInterface::Button;

namespace {

QJsonObject stateWith(const QJsonArray& users, const QJsonObject& names = {},
                      const QJsonObject& faults = {}) {
    return terminalState(users, names, faults);
}

QVector<qint32> elements(const QJsonArray& a) {
    QVector<qint32> v;
    for (const QJsonValue& x : a)
        v << qint32(x.toInteger());
    return v;
}

// `count` card entries, enroll numbers 1 to count: the user list comes in chunks of 1,024 over
// TCP.
QJsonArray cardUsers(int count) {
    QJsonArray users;
    for (int i = 1; i <= count; ++i)
        users.append(SimulatorFixture::user(i, 11, 0, 500000 + i));
    return users;
}

std::optional<QString> incompleteReason(const EnrolHarness& h) {
    return EnrollStoreState(h.dm->ADOConnection1()).incompleteReason();
}

} // namespace

TEST(EnrollDownload, UserWithTwoFingersCardAndPasswordGivesFourRowsEach) {
    const QJsonArray users = fourEntryUser(42, 2);
    EnrolHarness h(stateWith(users, {{"42", QStringLiteral("Ayşe Yılmaz")}}));
    EnrolContext ctx = h.context();
    const DownloadResult r = downloadEnrollData(ctx);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.stored, 4);

    const auto rows = h.enrollRows();
    ASSERT_EQ(rows.size(), 4);
    QList<int> fingers;
    for (const auto& row : rows) {
        fingers << row["FingerNumber"].toInt();
        EXPECT_EQ(row["EnrollNumber"].toInt(), 42);
        EXPECT_EQ(row["Privilige"].toInt(), 2);
    }
    EXPECT_EQ(fingers, (QList<int>{0, 1, 15, 11})) << "the terminal lists password as 10";
    for (int i = 0; i < 2; ++i) {
        QVector<qint32> buffer(kEnrollDataSize, 0);
        TextToTemplate(rows[i]["FPdata"].toString(), buffer);
        EXPECT_EQ(buffer.mid(0, 354),
                  elements(users[i].toObject()["template"].toArray()).mid(0, 354));
        EXPECT_TRUE(rows[i]["Password"].isNull());
    }
    EXPECT_EQ(rows[2]["Password"].toInt(), 0x432);
    EXPECT_EQ(rows[3]["Password"].toInt(), 7000042);

    const auto names = h.tempRows();
    ASSERT_EQ(names.size(), 4);
    for (const auto& n : names) {
        EXPECT_EQ(n["kartno"].toString(), QStringLiteral("00042"));
        EXPECT_EQ(n["isim"].toString(), QStringLiteral("Ayşe Yılmaz"));
    }
    EXPECT_EQ(h.view.userName, QStringLiteral("Ayşe Yılmaz"));
    EXPECT_EQ(h.view.status(), QStringLiteral("GetEnrollData OK"));
    EXPECT_EQ(h.view.statuses.first(), QStringLiteral("Alınıyor....."));
    EXPECT_TRUE(h.view.statuses.contains(QStringLiteral("ReadAllUserID OK")));
    EXPECT_TRUE(h.view.statuses.contains(QStringLiteral("001-0042-15")));
    EXPECT_EQ(h.view.buttonStates, (QList<bool>{false, true}));
    EXPECT_EQ(h.view.refreshes, 1);
    EXPECT_EQ(h.ui.busyDepth, 0);
    EXPECT_TRUE(h.sim->state()["enabled"].toBool(true)) << "terminal enabled again";
}

TEST(EnrollDownload, SixDigitEnrollNumberStaysWholeAndNamelessEntryGetsEmptyName) {
    EnrolHarness h(stateWith({SimulatorFixture::user(123456, 11, 0, 5)}));
    EnrolContext ctx = h.context();
    downloadEnrollData(ctx);
    const auto names = h.tempRows();
    ASSERT_EQ(names.size(), 1);
    EXPECT_EQ(names[0]["kartno"].toString(), QStringLiteral("123456"));
    EXPECT_EQ(names[0]["isim"].toString(), QString());
}

TEST(EnrollDownload, EmptyTerminalLeavesBothTablesEmpty) {
    EnrolHarness h(stateWith({SimulatorFixture::user(1, 0)}));
    EnrolContext ctx = h.context();
    downloadEnrollData(ctx);
    ASSERT_EQ(h.enrollRows().size(), 1);
    EnrolHarness empty;
    EnrolContext ctx2 = empty.context();
    const DownloadResult r = downloadEnrollData(ctx2);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(empty.enrollRows().isEmpty());
    EXPECT_TRUE(empty.tempRows().isEmpty());
    EXPECT_EQ(empty.view.status(), QStringLiteral("GetEnrollData OK"));
}

TEST(EnrollDownload, UnreachableTerminalStillEmptiesTheTables) {
    EnrolHarness h(stateWith(fourEntryUser(5)));
    EnrolContext ctx = h.context();
    downloadEnrollData(ctx);
    ASSERT_EQ(h.enrollRows().size(), 4);
    h.sim->stop();
    h.clock.setTimeoutMs(300);
    const DownloadResult r = downloadEnrollData(ctx);
    EXPECT_FALSE(r.started);
    EXPECT_TRUE(h.enrollRows().isEmpty());
    EXPECT_TRUE(h.tempRows().isEmpty());
    EXPECT_EQ(h.view.status(), QStringLiteral("Bağlanamadı..."));
    EXPECT_EQ(h.view.refreshes, 1) << "only the first run refreshed the lists";
    EXPECT_TRUE(incompleteReason(h).value_or(QString()).startsWith(
        "terminalden hiç kayıt alınamadı (SetTerminalEnabled: "));
}

TEST(EnrollDownload, FailedUserListShowsItsCodeAndEnablesTheTerminal) {
    EnrolHarness h(
        stateWith(fourEntryUser(5), {}, EnrolHarness::failing("ReadAllUserID", 3, "once")));
    EnrolContext ctx = h.context();
    const DownloadResult r = downloadEnrollData(ctx);
    EXPECT_FALSE(r.started);
    EXPECT_EQ(h.view.status(), QStringLiteral("ERR_READ_FAIL"));
    EXPECT_TRUE(h.enrollRows().isEmpty());
    EXPECT_EQ(incompleteReason(h),
              QStringLiteral("terminalden hiç kayıt alınamadı (ReadAllUserID: ERR_READ_FAIL)"));
    EXPECT_EQ(h.view.refreshes, 0);
    EXPECT_TRUE(h.sim->state()["enabled"].toBool(true));
}

TEST(EnrollDownload, AFailureWithOneOfThisSystemsOwnCodesShowsItsSymbol) {
    EnrolHarness h(
        stateWith(fourEntryUser(5), {}, EnrolHarness::failing("ReadAllUserID", 12, "once")));
    EnrolContext ctx = h.context();
    EXPECT_FALSE(downloadEnrollData(ctx).started);
    EXPECT_EQ(h.view.status(), QStringLiteral("ERR_WRONG_MACHINE"));
}

TEST(EnrollDownload, FailedReadAnsweredYesIsReadAgain) {
    EnrolHarness h(stateWith(fourEntryUser(8), {}, EnrolHarness::failing("GetEnrollData", 7, 2)));
    h.ui.answers = {B::Yes};
    EnrolContext ctx = h.context();
    const DownloadResult r = downloadEnrollData(ctx);
    ASSERT_EQ(h.ui.shown.size(), 1);
    EXPECT_EQ(h.ui.shown[0].caption, QStringLiteral("GetEnrollData"));
    EXPECT_EQ(h.ui.shown[0].text, QStringLiteral("ERR_MEMORY: Continue ?"));
    EXPECT_EQ(h.ui.shown[0].buttons, B::Yes | B::No | static_cast<int>(B::Cancel));
    EXPECT_EQ(r.stored, 4);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(h.enrollRows().size(), 4);
    EXPECT_EQ(h.view.status(), QStringLiteral("GetEnrollData OK"));
}

TEST(EnrollDownload, FailedReadAnsweredNoSkipsOnlyThatEntry) {
    EnrolHarness h(stateWith(fourEntryUser(8), {}, EnrolHarness::failing("GetEnrollData", 5, 2)));
    h.ui.answers = {B::No};
    EnrolContext ctx = h.context();
    const DownloadResult r = downloadEnrollData(ctx);
    EXPECT_EQ(r.skipped, 1);
    const auto rows = h.enrollRows();
    ASSERT_EQ(rows.size(), 3);
    // The second entry (finger 1) would otherwise carry the first finger's template.
    for (const auto& row : rows)
        EXPECT_NE(row["FingerNumber"].toInt(), 1);
    EXPECT_NE(rows[0]["FPdata"], QVariant());
    // A later successful read ends with OK: the flag reflects the last entry.
    EXPECT_EQ(h.view.status(), QStringLiteral("GetEnrollData OK"));
    EXPECT_EQ(h.tempRows().size(), 3);
}

TEST(EnrollDownload, FailedLastReadAnsweredNoEndsWithTheCode) {
    EnrolHarness h(stateWith(fourEntryUser(8), {}, EnrolHarness::failing("GetEnrollData", 5, 4)));
    h.ui.answers = {B::No};
    EnrolContext ctx = h.context();
    const DownloadResult r = downloadEnrollData(ctx);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(h.view.status(), QStringLiteral("GetEnrollData :ERR_NON_CARRYOUT"));
}

TEST(EnrollDownload, FailedReadAnsweredCancelEndsAtOnce) {
    EnrolHarness h(stateWith(fourEntryUser(8), {}, EnrolHarness::failing("GetEnrollData", 5, 2)));
    h.ui.answers = {B::Cancel};
    EnrolContext ctx = h.context();
    const DownloadResult r = downloadEnrollData(ctx);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.stored, 1);
    EXPECT_EQ(h.enrollRows().size(), 1);
    EXPECT_EQ(h.view.status(), QStringLiteral("GetEnrollData :ERR_NON_CARRYOUT"));
    EXPECT_EQ(h.view.refreshes, 1);
    EXPECT_TRUE(h.sim->state()["enabled"].toBool(true));
}

TEST(EnrollDownload, FailedNameReadShowsCodeAndKeepsTheEntry) {
    EnrolHarness h(stateWith({SimulatorFixture::user(3, 0)}, {{"3", QStringLiteral("Ali")}},
                             EnrolHarness::failing("GetUserName", 2, "always")));
    EnrolContext ctx = h.context();
    downloadEnrollData(ctx);
    EXPECT_TRUE(h.view.statuses.contains(QStringLiteral("ERR_WRITE_FAIL")));
    EXPECT_EQ(h.enrollRows().size(), 1);
    ASSERT_EQ(h.tempRows().size(), 1);
    EXPECT_EQ(h.tempRows()[0]["isim"].toString(), QString());
}

TEST(EnrollDownload, NamesWithQuotesAreStored) {
    EnrolHarness h(
        stateWith({SimulatorFixture::user(3, 11, 0, 1)}, {{"3", QStringLiteral("O'Neil")}}));
    EnrolContext ctx = h.context();
    downloadEnrollData(ctx);
    ASSERT_EQ(h.tempRows().size(), 1);
    EXPECT_EQ(h.tempRows()[0]["isim"].toString(), QStringLiteral("O'Neil"));
}

TEST(EnrollDownload, MissingTableIsReportedAndTheTerminalIsNotTouched) {
    EnrolHarness h(stateWith(fourEntryUser(5)));
    h.dm->ADOConnection2().close();
    EnrolContext ctx = h.context();
    EXPECT_THROW(downloadEnrollData(ctx), DatabaseError);
    EXPECT_TRUE(h.sim->state()["enabled"].toBool(true));
}

// Hello was answered when the harness connected; then SetTerminalEnabled, ReadAllUserID, the
// first chunk, and GetEnrollData and GetUserName for each of its 1,024 entries. The second
// chunk never comes.
TEST(EnrollDownload, ListBrokenOffAtTheSecondChunkEndsWithItsCodeAndLeavesTheStoreIncomplete) {
    EnrolHarness h(stateWith(cardUsers(3000), {}, {{"dropAfterFrames", 4 + 2 * 1024}}));
    EnrolContext ctx = h.context();
    const DownloadResult r = downloadEnrollData(ctx);
    EXPECT_EQ(r.entries, 1024);
    EXPECT_EQ(r.stored, 1024);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.listBrokeOff);
    EXPECT_EQ(r.listResultCode, ERR_READ_FAIL);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(h.view.status(), QStringLiteral("GetNextUserID :ERR_READ_FAIL"));
    EXPECT_EQ(h.enrollRows().size(), 1024);
    EXPECT_EQ(h.tempRows().size(), 1024);
    EXPECT_EQ(incompleteReason(h), QStringLiteral("kullanıcı listesi yarıda kesildi "
                                                  "(GetNextUserID: ERR_READ_FAIL), 1024 giriş "
                                                  "alındı"));
    EXPECT_EQ(h.view.refreshes, 1);
    EXPECT_EQ(h.view.buttonStates, (QList<bool>{false, true}));
    EXPECT_EQ(h.ui.busyDepth, 0);
}

TEST(EnrollDownload, RefusedFirstChunkStoresNothingAndTheNextWholeDownloadClearsTheMark) {
    EnrolHarness h(stateWith(cardUsers(3000), {}, EnrolHarness::failing("GetNextUserID", 5, 1)));
    EnrolContext ctx = h.context();
    const DownloadResult broken = downloadEnrollData(ctx);
    EXPECT_EQ(broken.entries, 0);
    EXPECT_TRUE(broken.listBrokeOff);
    EXPECT_EQ(h.view.status(), QStringLiteral("GetNextUserID :ERR_NON_CARRYOUT"));
    EXPECT_TRUE(h.enrollRows().isEmpty());
    EXPECT_TRUE(incompleteReason(h).has_value());
    EXPECT_TRUE(h.sim->state()["enabled"].toBool(false)) << "enabled again";

    const DownloadResult whole = downloadEnrollData(ctx);
    EXPECT_TRUE(whole.ok);
    EXPECT_TRUE(whole.complete);
    EXPECT_EQ(whole.stored, 3000);
    EXPECT_EQ(h.view.status(), QStringLiteral("GetEnrollData OK"));
    EXPECT_EQ(incompleteReason(h), std::nullopt);
}

// A run marks the store incomplete as it empties it, so a run killed half-way leaves the mark;
// a run that ends without storing every entry of the list keeps it too.
TEST(EnrollDownload, StoreIsIncompleteUntilEveryEntryOfTheListIsStored) {
    EnrolHarness h(stateWith(fourEntryUser(8), {}, EnrolHarness::failing("GetEnrollData", 5, 2)));
    std::optional<QString> duringTheRun;
    h.ui.onShown = [&](const RecordingOperator::Shown&) { duringTheRun = incompleteReason(h); };
    h.ui.answers = {B::Yes};
    EnrolContext ctx = h.context();
    EXPECT_TRUE(downloadEnrollData(ctx).complete);
    EXPECT_EQ(duringTheRun, QStringLiteral("son indirme tamamlanmadı"));
    EXPECT_EQ(incompleteReason(h), std::nullopt);

    EnrolHarness skipped(
        stateWith(fourEntryUser(8), {}, EnrolHarness::failing("GetEnrollData", 5, 2)));
    skipped.ui.answers = {B::No};
    EnrolContext skipCtx = skipped.context();
    EXPECT_FALSE(downloadEnrollData(skipCtx).complete);
    EXPECT_EQ(incompleteReason(skipped), QStringLiteral("1 giriş okunamadı ve atlandı"));

    EnrolHarness cancelled(
        stateWith(fourEntryUser(8), {}, EnrolHarness::failing("GetEnrollData", 5, 2)));
    cancelled.ui.answers = {B::Cancel};
    EnrolContext cancelCtx = cancelled.context();
    EXPECT_FALSE(downloadEnrollData(cancelCtx).complete);
    EXPECT_EQ(incompleteReason(cancelled),
              QStringLiteral("indirme 2. girişte durduruldu (GetEnrollData: ERR_NON_CARRYOUT)"));
}

// A link lost while a name is read loses the rest of the chunk in hand: the list broke off,
// it did not end.
TEST(EnrollDownload, LinkLostBetweenTwoEntriesIsABrokenList) {
    // Hello, SetTerminalEnabled, ReadAllUserID, the chunk, GetEnrollData and GetUserName of
    // the first entry and GetEnrollData of the second are answered.
    EnrolHarness h(stateWith(fourEntryUser(8), {}, {{"dropAfterFrames", 7}}));
    EnrolContext ctx = h.context();
    const DownloadResult r = downloadEnrollData(ctx);
    EXPECT_EQ(r.stored, 2);
    EXPECT_TRUE(r.listBrokeOff);
    EXPECT_EQ(r.listResultCode, ERR_NOT_OPEN);
    EXPECT_EQ(h.view.status(), QStringLiteral("GetNextUserID :ERR_NOT_OPEN"));
    EXPECT_TRUE(incompleteReason(h).has_value());
}
