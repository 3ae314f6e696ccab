#include "CliRunner.h"

#include "../enrol/EnrolHarness.h"
#include "../enrol/MariaDbFixture.h"

#include <QFile>
#include <QJsonArray>

namespace {

QJsonObject terminal(const QJsonArray& users, const QJsonObject& names = {},
                     const QJsonObject& faults = {}) {
    return terminalState(users, names, faults);
}

// `count` card entries, enroll numbers 1 to count: the user list comes in chunks of 1,024 over
// TCP.
QJsonArray cardUsers(int count) {
    QJsonArray users;
    for (int i = 1; i <= count; ++i)
        users.append(SimulatorFixture::user(i, 11, 0, 500000 + i));
    return users;
}

QList<TerminalEntry> templateBodies(QList<TerminalEntry> entries) {
    for (TerminalEntry& e : entries) {
        if (e.data.size() == 355)
            e.data.removeLast(); // element 354 is not part of the stored template
    }
    return entries;
}

} // namespace

class EnrolCommands : public CliRunner {
protected:
    void writeSettings(const selvenor::MySqlSettings& s) {
        QFile file(temp.file(QStringLiteral("Settings.ini")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[Login]\r\nServer=%1\r\nDatabase=%2\r\n[MySql]\r\nUser=%3\r\n"
                                  "Password=%4\r\nPort=%5\r\n")
                       .arg(s.server, s.database, s.user, s.password, s.port)
                       .toUtf8());
    }
    // Terminal A: user 42 (two fingers, card, password, administrator), user 7 who left and
    // user 15 with a card only.
    QJsonArray usersOfA() {
        QJsonArray users = fourEntryUser(42, 2);
        for (const QJsonValue& v : fourEntryUser(7, 0, 500))
            users << v;
        users << SimulatorFixture::user(15, 11, 0, 99887766);
        return users;
    }
};

TEST_F(EnrolCommands, CopiesUsersWithoutThePeopleWhoLeftAndWithTheirNames) {
    MariaDbFixture db;
    SKIP_WITHOUT_MARIADB(db);
    db.createPersonel();
    db.add("00042", "Şükrü", "Çağlar");
    db.add("00007", "İsmail", "Işık", "Pasif");
    db.add("00015", "Gülşen", "Öztürk");
    writeSettings(db.settings());

    SimulatorFixture& a = startSimulator(terminal(usersOfA(), {{"42", "X"}, {"7", "Y"}}));
    SimulatorFixture& b = startSimulator(terminal({SimulatorFixture::user(900, 0)}));
    addTcpTerminal("A", a);
    addTcpTerminal("B", b);

    const Result down = run({"enrol-download", "A"});
    ASSERT_EQ(down.status, 0) << down.err.toStdString();
    EXPECT_EQ(down.out, QStringLiteral("enrol-download: 9 giriş, 9 kayıt saklandı, 0 Double ID, "
                                       "0 atlandı (GetEnrollData OK)\n"));
    const Result names = run({"names-import"});
    ASSERT_EQ(names.status, 0) << names.err.toStdString();
    EXPECT_EQ(names.out, QStringLiteral("names-import: 9 satır, 9 isim değişti\n"));
    const Result up = run({"enrol-upload", "B", "--without-left", "--yes"});
    ASSERT_EQ(up.status, 0) << up.err.toStdString();
    EXPECT_TRUE(up.out.startsWith(
        QStringLiteral("enrol-upload: 5 satır, 5 yazıldı, 0 yazılamadı, 4 ayrılan kişi satırı")))
        << up.out.toStdString();
    const Result named = run({"names-upload", "B"});
    ASSERT_EQ(named.status, 0) << named.err.toStdString();

    QList<TerminalEntry> expected;
    for (const TerminalEntry& e : EnrolHarness::entries(a)) {
        if (e.enroll != 7)
            expected << e;
    }
    EXPECT_EQ(templateBodies(EnrolHarness::entries(b)), templateBodies(expected));
    const QJsonObject onB = b.state()["names"].toObject();
    EXPECT_EQ(onB["42"].toString(), QStringLiteral("Sukru Caglar"));
    EXPECT_EQ(onB["15"].toString(), QStringLiteral("Gulsen Ozturk"));
    EXPECT_EQ(onB["7"].toString(), QStringLiteral("Ismail Isik")) << "a name row stays in temp";
}

TEST_F(EnrolCommands, PlainUploadKeepsEveryoneAndUnreachableMySqlFailsClearly) {
    SimulatorFixture& a = startSimulator(terminal(usersOfA()));
    SimulatorFixture& b = startSimulator(terminal({}));
    addTcpTerminal("A", a);
    addTcpTerminal("B", b);
    ASSERT_EQ(run({"enrol-download", "A"}).status, 0);
    const Result up = run({"enrol-upload", "B"}, "e\n");
    ASSERT_EQ(up.status, 0) << up.err.toStdString();
    EXPECT_EQ(templateBodies(EnrolHarness::entries(b)), templateBodies(EnrolHarness::entries(a)));

    selvenor::MySqlSettings nowhere;
    nowhere.server = QStringLiteral("127.0.0.1");
    nowhere.port = QStringLiteral("1");
    writeSettings(nowhere);
    const auto before = EnrolHarness::entries(b);
    const Result left = run({"enrol-upload", "B", "--without-left", "--yes"});
    EXPECT_NE(left.status, 0);
    EXPECT_TRUE(left.err.contains(QStringLiteral("Personel veritabanı okunamadı")))
        << left.err.toStdString();
    EXPECT_EQ(EnrolHarness::entries(b), before);
    const Result names = run({"names-import"});
    EXPECT_NE(names.status, 0);
    EXPECT_EQ(query("select count(*) from tblEnroll"), QStringList{"9"});
}

TEST_F(EnrolCommands, FailedReadsFollowTheOnErrorOption) {
    SimulatorFixture& a = startSimulator(
        terminal(fourEntryUser(42), {}, EnrolHarness::failing("GetEnrollData", 5, 2)));
    addTcpTerminal("A", a);
    const Result stop = run({"enrol-download", "A"});
    EXPECT_EQ(stop.status, 1);
    EXPECT_TRUE(
        stop.err.contains(QStringLiteral("GetEnrollData: ERR_NON_CARRYOUT: Continue ? -> stop")))
        << stop.err.toStdString();
    EXPECT_TRUE(stop.out.contains(QStringLiteral("durduruldu"))) << stop.out.toStdString();
    EXPECT_EQ(query("select count(*) from tblEnroll"), QStringList{"1"});

    // The fault hit the second call of the simulator's life: this run reads everything.
    const Result retry = run({"enrol-download", "A", "--on-error", "retry"});
    EXPECT_EQ(retry.status, 0) << retry.out.toStdString();
    EXPECT_EQ(query("select count(*) from tblEnroll"), QStringList{"4"});
}

TEST_F(EnrolCommands, RetryGivesUpAndSkipReportsTheSkippedEntries) {
    SimulatorFixture& a = startSimulator(
        terminal(fourEntryUser(42), {}, EnrolHarness::failing("GetEnrollData", 7, "always")));
    addTcpTerminal("A", a);
    const Result retry = run({"enrol-download", "A", "--on-error", "retry"});
    EXPECT_EQ(retry.status, 1);
    EXPECT_EQ(retry.err.count(QStringLiteral("-> retry")), 3);
    EXPECT_TRUE(retry.err.contains(QStringLiteral("-> stop (3 deneme sonrası)")));
    const Result skip = run({"enrol-download", "A", "--on-error", "skip"});
    EXPECT_EQ(skip.status, 1);
    EXPECT_TRUE(skip.out.contains(QStringLiteral("4 atlandı"))) << skip.out.toStdString();
    EXPECT_EQ(query("select count(*) from tblEnroll"), QStringList{"0"});
    const Result bad = run({"enrol-download", "A", "--on-error", "maybe"});
    EXPECT_NE(bad.status, 0);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("--on-error"))) << bad.err.toStdString();
}

TEST_F(EnrolCommands, FailedMiddleWriteSkippedEndsNonZero) {
    SimulatorFixture& a = startSimulator(terminal(fourEntryUser(42)));
    SimulatorFixture& b =
        startSimulator(terminal({}, {}, EnrolHarness::failing("SetEnrollData", 7, 2)));
    addTcpTerminal("A", a);
    addTcpTerminal("B", b);
    ASSERT_EQ(run({"enrol-download", "A"}).status, 0);
    const Result up = run({"enrol-upload", "B", "--on-error", "skip", "--yes"});
    EXPECT_EQ(up.status, 1);
    EXPECT_TRUE(up.out.contains(QStringLiteral("4 satır, 3 yazıldı, 1 yazılamadı")))
        << up.out.toStdString();
    EXPECT_EQ(EnrolHarness::entries(b).size(), 3);
}

TEST_F(EnrolCommands, NamesUploadFollowsTheSearch) {
    SimulatorFixture& a = startSimulator(terminal(
        {SimulatorFixture::user(1, 0), SimulatorFixture::user(2, 0), SimulatorFixture::user(3, 0)},
        {{"1", "Ayşe"}, {"2", "Ayhan"}, {"3", "Veli"}}));
    SimulatorFixture& b =
        startSimulator(terminal({SimulatorFixture::user(1, 0), SimulatorFixture::user(2, 0),
                                 SimulatorFixture::user(3, 0)}));
    addTcpTerminal("A", a);
    addTcpTerminal("B", b);
    ASSERT_EQ(run({"enrol-download", "A"}).status, 0);
    const Result r = run({"names-upload", "B", "--search", "Ay"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("names-upload: 2 satır, 2 isim yazıldı, 0 yazılamadı, 0 boş "
                                    "isim (SetUserName OK)\n"));
    const QJsonObject names = b.state()["names"].toObject();
    EXPECT_EQ(names.keys(), (QStringList{"1", "2"}));
    EXPECT_EQ(names["1"].toString(), QStringLiteral("Ayse"));
}

TEST_F(EnrolCommands, NamesUploadSearchIgnoresTurkishCase) {
    const QJsonArray users{SimulatorFixture::user(1, 0), SimulatorFixture::user(2, 0),
                           SimulatorFixture::user(3, 0)};
    SimulatorFixture& a =
        startSimulator(terminal(users, {{"1", "Şükrü"}, {"2", "Gülşen"}, {"3", "İsmail"}}));
    SimulatorFixture& b = startSimulator(terminal(users));
    addTcpTerminal("A", a);
    addTcpTerminal("B", b);
    ASSERT_EQ(run({"enrol-download", "A"}).status, 0);
    for (const auto& [search, card, sent] :
         {std::tuple{"şük", "1", "Sukru"}, {"GÜL", "2", "Gulsen"}, {"ism", "3", "Ismail"}}) {
        const Result r = run({"names-upload", "B", "--search", QString::fromUtf8(search)});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("names-upload: 1 satır, 1 isim yazıldı")))
            << search << ": " << r.out.toStdString();
        EXPECT_EQ(b.state()["names"].toObject()[card].toString(), QString::fromUtf8(sent));
    }
}

TEST_F(EnrolCommands, UploadAsksFirstAndWithoutAYesTouchesNothing) {
    SimulatorFixture& a = startSimulator(terminal(fourEntryUser(42)));
    SimulatorFixture& b = startSimulator(terminal({SimulatorFixture::user(900, 0)}));
    addTcpTerminal("A", a);
    addTcpTerminal("B", b);
    ASSERT_EQ(run({"enrol-download", "A"}).status, 0);
    const auto before = EnrolHarness::entries(b);
    for (const char* input : {"", "h\n", "hayır\n", "\n", "evt\n"}) {
        const Result no = run({"enrol-upload", "B"}, QString::fromUtf8(input));
        EXPECT_EQ(no.status, 1) << input;
        EXPECT_TRUE(
            no.out.startsWith("UYARI: Seçili terminale parmakizi datası yüklensin mi...? [e/h]"))
            << no.out.toStdString();
        EXPECT_TRUE(no.err.contains("vazgeçildi, terminale dokunulmadı")) << no.err.toStdString();
    }
    EXPECT_TRUE(b.logLines().isEmpty()) << "a refusal never connects";
    EXPECT_EQ(EnrolHarness::entries(b), before);

    const Result yes = run({"enrol-upload", "B"}, "e\n");
    ASSERT_EQ(yes.status, 0) << yes.err.toStdString();
    EXPECT_EQ(templateBodies(EnrolHarness::entries(b)), templateBodies(EnrolHarness::entries(a)));

    SimulatorFixture& c = startSimulator(terminal({SimulatorFixture::user(900, 0)}));
    addTcpTerminal("C", c);
    const Result script = run({"enrol-upload", "C", "--yes"});
    ASSERT_EQ(script.status, 0) << script.err.toStdString();
    EXPECT_FALSE(script.out.contains("[e/h]")) << "--yes answers for scripts";
    EXPECT_EQ(EnrolHarness::entries(c).size(), 4);
}

// Hello, SetTerminalEnabled, ReadAllUserID and the first chunk, then GetEnrollData and
// GetUserName for each of its 1,024 entries are answered; the second chunk never is.
TEST_F(EnrolCommands, DownloadWhoseListBrokeOffFailsAndItsStoreIsNotUploaded) {
    SimulatorFixture& a =
        startSimulator(terminal(cardUsers(3000), {}, {{"dropAfterFrames", 4 + 2 * 1024}}));
    SimulatorFixture& b = startSimulator(terminal(cardUsers(3)));
    addTcpTerminal("A", a);
    addTcpTerminal("B", b);
    const Result down = run({"enrol-download", "A"});
    EXPECT_EQ(down.status, 1) << down.out.toStdString();
    EXPECT_TRUE(down.out.contains("1024 kayıt saklandı")) << down.out.toStdString();
    EXPECT_TRUE(down.out.contains("(GetNextUserID :ERR_READ_FAIL)")) << down.out.toStdString();
    EXPECT_TRUE(down.err.contains("GetNextUserID: ERR_READ_FAIL")) << down.err.toStdString();
    EXPECT_EQ(query("select count(*) from tblEnroll"), QStringList{"1024"});

    for (const char* input : {"", "e\n"}) {
        const Result up = run({"enrol-upload", "B"}, QString::fromUtf8(input));
        EXPECT_EQ(up.status, 1) << input;
        EXPECT_TRUE(up.err.contains("Parmakizi datası eksik: kullanıcı listesi yarıda kesildi"))
            << up.err.toStdString();
        EXPECT_TRUE(up.err.contains("--yes")) << up.err.toStdString();
    }
    EXPECT_TRUE(b.logLines().isEmpty()) << "the refusal never connects";
    EXPECT_EQ(EnrolHarness::entries(b).size(), 3);
}

TEST_F(EnrolCommands, RefusedFirstChunkStoresNothingUntilAWholeDownloadClearsTheMark) {
    SimulatorFixture& a =
        startSimulator(terminal(cardUsers(30), {}, EnrolHarness::failing("GetNextUserID", 5, 1)));
    SimulatorFixture& b = startSimulator(terminal(cardUsers(3)));
    addTcpTerminal("A", a);
    addTcpTerminal("B", b);
    const Result down = run({"enrol-download", "A"});
    EXPECT_EQ(down.status, 1);
    EXPECT_TRUE(down.out.startsWith("enrol-download: 0 giriş, 0 kayıt saklandı"))
        << down.out.toStdString();
    EXPECT_TRUE(down.out.contains("(GetNextUserID :ERR_NON_CARRYOUT)")) << down.out.toStdString();
    const Result refused = run({"enrol-upload", "B"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("GetNextUserID: ERR_NON_CARRYOUT"))
        << refused.err.toStdString();
    EXPECT_EQ(EnrolHarness::entries(b).size(), 3);
    EXPECT_TRUE(b.logLines().isEmpty());

    // The fault was the first call of the simulator's life: this download is whole.
    const Result again = run({"enrol-download", "A"});
    ASSERT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_EQ(query("select count(*) from tblEnroll"), QStringList{"30"});
    const Result up = run({"enrol-upload", "B"}, "e\n");
    ASSERT_EQ(up.status, 0) << up.err.toStdString();
    EXPECT_EQ(EnrolHarness::entries(b), EnrolHarness::entries(a));
}

TEST_F(EnrolCommands, YesUploadsAnIncompleteStoreAndSaysSo) {
    SimulatorFixture& a =
        startSimulator(terminal(cardUsers(5), {}, EnrolHarness::failing("GetEnrollData", 5, 3)));
    SimulatorFixture& b = startSimulator(terminal(cardUsers(5)));
    addTcpTerminal("A", a);
    addTcpTerminal("B", b);
    const Result down = run({"enrol-download", "A", "--on-error", "skip"});
    EXPECT_EQ(down.status, 1);
    EXPECT_TRUE(down.err.contains("1 giriş okunamadı ve atlandı")) << down.err.toStdString();
    const Result up = run({"enrol-upload", "B", "--yes"});
    ASSERT_EQ(up.status, 0) << up.err.toStdString();
    EXPECT_TRUE(up.err.contains("UYARI: Parmakizi datası eksik: 1 giriş okunamadı ve atlandı"))
        << up.err.toStdString();
    EXPECT_EQ(EnrolHarness::entries(b).size(), 4);
}
