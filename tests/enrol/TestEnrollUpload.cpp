#include "EnrolHarness.h"

#include "enrol/EnrollDownload.h"
#include "enrol/EnrollUpload.h"

#include <gtest/gtest.h>

using namespace selvenor;
using B = OperatorInterface::Button;

namespace {

QJsonObject stateWith(const QJsonArray& users, const QJsonObject& faults = {}) {
    return terminalState(users, {}, faults);
}

// Downloads terminal A's entries into the store, then connects to terminal B.
struct TwoTerminals {
    explicit TwoTerminals(const QJsonArray& usersOfA, const QJsonObject& faultsOfB = {},
                          const QJsonArray& usersOfB = {SimulatorFixture::user(900, 0)})
        : h(stateWith(usersOfA))
        , b(stateWith(usersOfB, faultsOfB)) {
        EnrolContext ctx = h.context();
        EXPECT_TRUE(downloadEnrollData(ctx).ok);
        h.connectTo(b);
        h.view = RecordingView();
    }
    UploadResult upload(QList<B> answers) {
        h.ui.answers = answers;
        EnrolContext ctx = h.context();
        return uploadEnrollData(ctx, false);
    }
    EnrolHarness h;
    SimulatorFixture b;
};

// Connects `h` to terminal `b` and uploads its store with these answers; the questions asked
// are then in h.ui.shown.
UploadResult uploadTo(EnrolHarness& h, SimulatorFixture& b, const QList<B>& answers) {
    h.connectTo(b);
    h.ui.shown.clear();
    h.ui.answers = answers;
    EnrolContext ctx = h.context();
    return uploadEnrollData(ctx, false);
}

QList<TerminalEntry> withoutTemplateTail(QList<TerminalEntry> entries) {
    // Element 354 travels with a template but is not part of it: the store keeps 0 to 353.
    for (TerminalEntry& e : entries) {
        if (e.data.size() == 355)
            e.data.removeLast();
    }
    return entries;
}

} // namespace

TEST(EnrollUpload, CopiesEveryEntryOfTerminalAOntoB) {
    QJsonArray users = fourEntryUser(42, 0);
    for (const QJsonValue& v : fourEntryUser(7, 2, 100))
        users << v;
    TwoTerminals t(users);
    const UploadResult r = t.upload({B::Yes});
    EXPECT_TRUE(r.cleared);
    EXPECT_EQ(r.send.sent, 8);
    EXPECT_EQ(withoutTemplateTail(EnrolHarness::entries(t.b)),
              withoutTemplateTail(EnrolHarness::entries(*t.h.sim)));
    EXPECT_EQ(t.h.ui.shown[0].caption, QStringLiteral("UYARI"));
    EXPECT_EQ(t.h.ui.shown[0].text,
              QStringLiteral("Seçili terminale parmakizi datası yüklensin mi...?"));
    EXPECT_EQ(t.h.ui.shown[0].buttons, B::Yes | B::No);
    EXPECT_EQ(t.h.view.memo.size(), 8);
    EXPECT_EQ(t.h.view.memo.count(QStringLiteral("00042")), 4);
    EXPECT_EQ(t.h.view.memo.count(QStringLiteral("00007")), 4);
    EXPECT_TRUE(t.h.view.statuses.contains(QStringLiteral("ClearKeeperData OK")));
    EXPECT_EQ(t.h.view.label2, QStringLiteral("8"));
    EXPECT_TRUE(t.b.state()["enabled"].toBool(true));
    EXPECT_EQ(t.h.ui.busyDepth, 0);
    EXPECT_EQ(t.h.view.buttonStates, (QList<bool>{false, true}));
}

TEST(EnrollUpload, ProgressCountsRowsOfTheStore) {
    QJsonArray users{SimulatorFixture::user(42, 0), SimulatorFixture::user(42, 11, 0, 5),
                     SimulatorFixture::user(42, 10, 0, 0x21)};
    TwoTerminals t(users);
    t.upload({B::Yes});
    EXPECT_EQ(t.h.view.statuses.filter(QStringLiteral("EMachine")),
              (QStringList{QStringLiteral("EMachine = 001, ID = 0042, FpNo = 0, Count = 1"),
                           QStringLiteral("EMachine = 001, ID = 0042, FpNo = 15, Count = 2"),
                           QStringLiteral("EMachine = 001, ID = 0042, FpNo = 11, Count = 3")}));
    EXPECT_EQ(t.h.view.memo, QStringList(3, QStringLiteral("00042")));
}

TEST(EnrollUpload, AnswerNoChangesNothing) {
    TwoTerminals t(fourEntryUser(42));
    const auto before = EnrolHarness::entries(t.b);
    const UploadResult r = t.upload({B::No});
    EXPECT_FALSE(r.confirmed);
    EXPECT_EQ(EnrolHarness::entries(t.b), before);
    EXPECT_TRUE(t.h.view.statuses.isEmpty());
}

TEST(EnrollUpload, EmptyStoreStillClearsTheTerminal) {
    EnrolHarness h;
    SimulatorFixture b(stateWith(fourEntryUser(3)));
    h.connectTo(b);
    h.ui.answers = {B::Yes};
    EnrolContext ctx = h.context();
    const UploadResult r = uploadEnrollData(ctx, false);
    EXPECT_EQ(r.send.rows, 0);
    EXPECT_TRUE(EnrolHarness::entries(b).isEmpty());
    EXPECT_EQ(h.view.status(), QStringLiteral("ClearKeeperData OK"));
}

TEST(EnrollUpload, TerminalThatCannotBeDisabledIsNoDevice) {
    TwoTerminals t(fourEntryUser(42), QJsonObject{{"refuseDisable", true}});
    const auto before = EnrolHarness::entries(t.b);
    const UploadResult r = t.upload({B::Yes});
    EXPECT_FALSE(r.started);
    EXPECT_EQ(t.h.view.status(), QStringLiteral("No Device"));
    EXPECT_EQ(EnrolHarness::entries(t.b), before);
    EXPECT_EQ(t.h.enrollRows().size(), 4);
}

TEST(EnrollUpload, FailedMiddleRowAnsweredNoGoesOnWithoutErrorText) {
    TwoTerminals t(fourEntryUser(42), EnrolHarness::failing("SetEnrollData", 7, 2));
    const UploadResult r = t.upload({B::Yes, B::No});
    ASSERT_EQ(t.h.ui.shown.size(), 2);
    EXPECT_EQ(t.h.ui.shown[1].caption, QStringLiteral("SetEnrollData"));
    EXPECT_EQ(t.h.ui.shown[1].text, QStringLiteral("ERR_MEMORY: Continue ?"));
    EXPECT_EQ(r.send.sent, 3);
    EXPECT_EQ(r.send.failed, 1);
    EXPECT_EQ(EnrolHarness::entries(t.b).size(), 3);
    EXPECT_EQ(t.h.view.status(), QStringLiteral("EMachine = 001, ID = 0042, FpNo = 11, Count = 4"));
    EXPECT_EQ(t.h.view.memo.size(), 4);
}

TEST(EnrollUpload, FailedLastRowEndsWithErrorText) {
    TwoTerminals t(fourEntryUser(42), EnrolHarness::failing("SetEnrollData", 7, 4));
    t.upload({B::Yes, B::No});
    EXPECT_EQ(t.h.view.status(), QStringLiteral("SetAllEnrollData Error : ERR_MEMORY"));
}

TEST(EnrollUpload, FailedRowAnsweredYesIsSentAgain) {
    TwoTerminals t(fourEntryUser(42), EnrolHarness::failing("SetEnrollData", 5, 3));
    const UploadResult r = t.upload({B::Yes, B::Yes});
    EXPECT_EQ(r.send.sent, 4);
    EXPECT_EQ(EnrolHarness::entries(t.b).size(), 4);
    EXPECT_EQ(t.h.view.memo.size(), 4);
}

TEST(EnrollUpload, FailedRowAnsweredCancelEndsTheRun) {
    TwoTerminals t(fourEntryUser(42), EnrolHarness::failing("SetEnrollData", 5, 2));
    const UploadResult r = t.upload({B::Yes, B::Cancel});
    EXPECT_TRUE(r.send.cancelled);
    EXPECT_EQ(EnrolHarness::entries(t.b).size(), 1);
    EXPECT_EQ(t.h.view.status(), QStringLiteral("SetAllEnrollData Error : ERR_NON_CARRYOUT"));
    EXPECT_TRUE(t.b.state()["enabled"].toBool(true));
}

TEST(EnrollUpload, TwoPlainUploadsKeepBothRunsInTheMemo) {
    TwoTerminals t({SimulatorFixture::user(5, 0)});
    t.upload({B::Yes});
    t.upload({B::Yes});
    EXPECT_EQ(t.h.view.memo, QStringList(2, QStringLiteral("00005")));
}

TEST(EnrollUpload, FailedClearIsShownAndTheUploadGoesOn) {
    TwoTerminals t({SimulatorFixture::user(5, 0)}, EnrolHarness::failing("ClearKeeperData", 9, 1));
    const UploadResult r = t.upload({B::Yes});
    EXPECT_FALSE(r.cleared);
    EXPECT_TRUE(t.h.view.statuses.contains(QStringLiteral("ERR_NOSUPPORT")));
    EXPECT_EQ(r.send.sent, 1);
}

// A download whose user list broke off at the second chunk leaves 1,024 of 3,000 entries:
// the upload asks a second time before it erases a terminal for them.
TEST(EnrollUpload, IncompleteStoreAsksAgainAndNoLeavesTheTerminalUntouched) {
    QJsonArray users;
    for (int i = 1; i <= 3000; ++i)
        users.append(SimulatorFixture::user(i, 11, 0, 500000 + i));
    EnrolHarness h(stateWith(users, {{"dropAfterFrames", 4 + 2 * 1024}}));
    EnrolContext download = h.context();
    ASSERT_TRUE(downloadEnrollData(download).listBrokeOff);
    SimulatorFixture b(stateWith(fourEntryUser(7)));
    const UploadResult no = uploadTo(h, b, {B::Yes, B::No});
    EXPECT_FALSE(no.confirmed);
    EXPECT_TRUE(no.storeIncomplete);
    EXPECT_FALSE(no.started);
    ASSERT_EQ(h.ui.shown.size(), 2);
    EXPECT_EQ(h.ui.shown[1].caption, QStringLiteral("UYARI"));
    EXPECT_EQ(h.ui.shown[1].text,
              QStringLiteral("Parmakizi datası eksik: kullanıcı listesi yarıda kesildi "
                             "(GetNextUserID: ERR_READ_FAIL), 1024 giriş alındı.\nTerminaldeki "
                             "tüm kayıtlar silinip yalnız eldeki 1024 kayıt yüklenecek. Yine de "
                             "yüklensin mi...?"));
    EXPECT_EQ(h.ui.shown[1].buttons, B::Yes | B::No);
    EXPECT_TRUE(b.logLines().filter("SetTerminalEnabled").isEmpty()) << "no exchange";
    EXPECT_EQ(EnrolHarness::entries(b).size(), 4);
}

// The operator may still want an incomplete store written: Yes to both questions.
TEST(EnrollUpload, IncompleteStoreAnsweredYesTwiceIsWritten) {
    EnrolHarness h(stateWith(fourEntryUser(42), EnrolHarness::failing("GetEnrollData", 5, 2)));
    h.ui.answers = {B::No};
    EnrolContext download = h.context();
    ASSERT_EQ(downloadEnrollData(download).skipped, 1);
    SimulatorFixture b(stateWith(fourEntryUser(7)));
    const UploadResult r = uploadTo(h, b, {B::Yes, B::Yes});
    EXPECT_TRUE(r.confirmed);
    EXPECT_TRUE(r.storeIncomplete);
    EXPECT_EQ(r.send.sent, 3);
    ASSERT_EQ(h.ui.shown.size(), 2);
    EXPECT_TRUE(h.ui.shown[1].text.startsWith(
        QStringLiteral("Parmakizi datası eksik: 1 giriş okunamadı ve atlandı.")));
    EXPECT_EQ(EnrolHarness::entries(b).size(), 3);
}

TEST(EnrollUpload, WholeStoreAsksOnlyTheFirstQuestion) {
    TwoTerminals t(fourEntryUser(42));
    const UploadResult r = t.upload({B::Yes});
    EXPECT_FALSE(r.storeIncomplete);
    EXPECT_EQ(t.h.ui.texts(),
              QStringList{QStringLiteral("Seçili terminale parmakizi datası yüklensin mi...?")});
}
