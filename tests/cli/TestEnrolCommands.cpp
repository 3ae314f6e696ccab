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

// --- the sheets of single users, the single delete and the member list ---

namespace {

// The rows of a store query as the command line prints them: columns joined by tabs.
QString tabbed(const QString& header, const QStringList& rows) {
    QString text = header + '\n';
    for (const QString& row : rows)
        text += QString(row).replace('|', '\t') + '\n';
    return text;
}

QList<TerminalEntry> entriesOf(const SimulatorFixture& sim, int enroll) {
    QList<TerminalEntry> entries;
    for (const TerminalEntry& e : EnrolHarness::entries(sim)) {
        if (e.enroll == enroll)
            entries << e;
    }
    return templateBodies(entries);
}

} // namespace

class UserSheets : public EnrolCommands {
protected:
    void SetUp() override {
        EnrolCommands::SetUp();
        SimulatorFixture& a = startSimulator(terminal(usersOfA()));
        addTcpTerminal("A", a);
        const Result down = run({"enrol-download", "A"});
        ASSERT_EQ(down.status, 0) << down.err.toStdString();
        source = &a;
    }
    // A terminal registered under `name` holding `users`, with `faults`.
    SimulatorFixture& target(const QString& name, const QJsonArray& users = {},
                             const QJsonObject& faults = {}) {
        SimulatorFixture& sim = startSimulator(terminal(users, {}, faults));
        addTcpTerminal(name, sim);
        return sim;
    }
    SimulatorFixture* source = nullptr;
};

TEST_F(UserSheets, ListsPrintTheStoreAsTheSheetsShowIt) {
    const QString header = QStringLiteral("KullanıcıNo(Kartno)\tTür\tKartID/Şifre");
    Result r = run({"record-list"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, tabbed(header, query("select EnrollNumber, FingerNumber, Password from "
                                          "tblEnroll order by EnrollNumber, id")));
    EXPECT_EQ(r.out.count('\n'), 10);
    r = run({"record-list", "--search", "4"});
    EXPECT_EQ(r.out, tabbed(header, query("select EnrollNumber, FingerNumber, Password from "
                                          "tblEnroll where EnrollNumber = 42 order by id")));
    r = run({"record-list", "--search", "1"});
    EXPECT_EQ(r.out, header + "\n15\t11\t99887766\n");

    // 0x432 is the password 1 2 3.
    EXPECT_EQ(run({"password-list"}).out, "KullanıcıNo(Kartno)\tTür\tEski Şifresi\n42\t15\t123\n");
    EXPECT_EQ(run({"password-list", "--users"}).out,
              "KullanıcıNo(Kartno)\tTür\tEski Şifresi\n7\t15\t123\n");
    EXPECT_EQ(run({"activation-list"}).out,
              tabbed("KullanıcıNo(Kartno)\tTür",
                     query("select EnrollNumber, FingerNumber from tblEnroll where Privilige = 2 "
                           "order by id")));
    r = run({"activation-list", "--users"});
    EXPECT_EQ(r.out.count('\n'), 6) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\n15\t11\n"));

    for (const QStringList& bad : QList<QStringList>{{"record-list", "fazla"},
                                                     {"password-list", "--users", "--admins"},
                                                     {"activation-list", "--kim"}}) {
        r = run(bad);
        EXPECT_NE(r.status, 0) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("Kullanım: selvenor-cli")) << r.err.toStdString();
    }
}

TEST_F(UserSheets, UserUploadWritesEveryEntryOfTheSelectedUser) {
    SimulatorFixture& b = target("B");
    const Result r = run({"user-upload", "B", "42"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("user-upload: 4 giriş, 4 yazıldı, 0 yazılamadı (EMachine = 001, "
                                 "ID = 0042, "))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(", Count = 4)\n")) << r.out.toStdString();
    EXPECT_EQ(entriesOf(b, 42), entriesOf(*source, 42));
    EXPECT_EQ(EnrolHarness::entries(b).size(), 4);
}

TEST_F(UserSheets, AUserNotInTheListOrNoNumberNeverReachesTheTerminal) {
    SimulatorFixture& b = target("B");
    Result r = run({"user-upload", "B", "99"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("user-upload: Kullanıcı 99 kayıt listesinde yok"))
        << r.err.toStdString();
    r = run({"user-upload", "B", "on"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("user-upload: 'on' is not a valid integer value"))
        << r.err.toStdString();
    r = run({"password-change", "B", "7", "111", "--admins"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Kullanıcı 7 şifre listesinde (admin(yönetici)) yok"))
        << r.err.toStdString();
    r = run({"password-change", "B", "15", "111"});
    EXPECT_TRUE(r.err.contains("Kullanıcı 15 şifre listesinde (admin(yönetici)) ve şifre "
                               "listesinde (kullanıcı) yok"))
        << r.err.toStdString();
    r = run({"user-disable", "B", "42", "--users"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Kullanıcı 42 aktif/pasif listesinde (kullanıcı) yok"))
        << r.err.toStdString();
    r = run({"user-upload", "Yok", "42"});
    EXPECT_TRUE(r.err.contains("Bilinmeyen terminal: 'Yok'")) << r.err.toStdString();
    EXPECT_TRUE(b.logLines().isEmpty()) << b.logLines().join('\n').toStdString();
}

TEST_F(UserSheets, PasswordChangeSendsTheNewPasswordAndKeepsTheStoredOne) {
    SimulatorFixture& b = target("B");
    Result r = run({"password-change", "B", "42", "   "});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("Şifre gir\n"));
    EXPECT_TRUE(r.err.contains("password-change: yeni şifre boş")) << r.err.toStdString();
    r = run({"password-change", "B", "42", "12x"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("password-change: ") && r.err.contains("is not a valid integer"))
        << r.err.toStdString();
    EXPECT_TRUE(b.logLines().isEmpty()) << "bad passwords never reach the terminal";

    r = run({"password-change", "B", "42", "65432198"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("password-change: 4 giriş, 4 yazıldı, 0 yazılamadı"))
        << r.out.toStdString();
    QList<TerminalEntry> expected = entriesOf(*source, 42);
    for (TerminalEntry& e : expected) {
        if (e.backup == 10)
            e.value = 0x234567; // the first six digits, each plus one, the first lowest
    }
    EXPECT_EQ(entriesOf(b, 42), expected);
    EXPECT_EQ(query("select Password from tblEnroll where EnrollNumber = 42 and FingerNumber = 15"),
              QStringList{QString::number(0x432)});
    r = run({"password-change", "B", "7", "5", "--users"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(EnrolHarness::entries(b).size(), 8);
}

TEST_F(UserSheets, DisableAndEnableEveryEntryOfTheUser) {
    SimulatorFixture& b = target("B", fourEntryUser(42, 2));
    Result r = run({"user-disable", "B", "42"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("user-disable: 4 giriş, 4 tamam, 0 başarısız (Success!)\n"));
    for (const TerminalEntry& e : EnrolHarness::entries(b))
        EXPECT_FALSE(e.enabled);
    r = run({"user-enable", "B", "42", "--admins"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    for (const TerminalEntry& e : EnrolHarness::entries(b))
        EXPECT_TRUE(e.enabled);
    EXPECT_TRUE(b.state()["enabled"].toBool(false));
}

TEST_F(UserSheets, FailuresOfTheTerminalExitNonZeroWithTheResultCodeName) {
    target("Bozuk", fourEntryUser(42, 2), EnrolHarness::failing("SetUserEnabled", 5, 2));
    Result r = run({"user-disable", "Bozuk", "42"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("user-disable: 4 giriş, 3 tamam, 1 başarısız (Success!)\n"));
    EXPECT_TRUE(r.err.contains("user-disable: SetUserEnabled başarısız: ERR_NON_CARRYOUT"))
        << r.err.toStdString();

    target("Kilitli", fourEntryUser(42, 2), QJsonObject{{"refuseDisable", true}});
    for (const char* command : {"user-enable", "user-upload"}) {
        r = run({command, "Kilitli", "42"});
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_TRUE(r.err.contains("terminal kilitlenemedi (SetTerminalEnabled): ERR_NON_CARRYOUT"))
            << command << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.contains("(No Device)")) << r.out.toStdString();
    }

    SimulatorFixture& full = target("Dolu", {}, EnrolHarness::failing("SetEnrollData", 7, 2));
    r = run({"user-upload", "Dolu", "42", "--on-error", "skip"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.startsWith("user-upload: 4 giriş, 3 yazıldı, 1 yazılamadı"))
        << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("SetEnrollData: ERR_MEMORY: Continue ? -> skip"))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("user-upload: SetEnrollData başarısız: ERR_MEMORY"))
        << r.err.toStdString();
    EXPECT_EQ(EnrolHarness::entries(full).size(), 3);
}

TEST_F(UserSheets, DeleteEntryAsksFirstAndDeletesTheOneItem) {
    SimulatorFixture& b = target("B", fourEntryUser(42, 2));
    for (const char* input : {"", "h\n"}) {
        const Result no = run({"delete-entry", "B", "42"}, QString::fromUtf8(input));
        EXPECT_EQ(no.status, 1);
        EXPECT_TRUE(no.out.startsWith("UYARI: Parmak Id 42, Cihaz No 1, Yedek No 0 kaydı "
                                      "terminalden silinsin mi...? [e/h]"))
            << no.out.toStdString();
        EXPECT_TRUE(no.err.contains("delete-entry: vazgeçildi")) << no.err.toStdString();
    }
    for (const QStringList& bad :
         QList<QStringList>{{"delete-entry", "B", "x", "--yes"},
                            {"delete-entry", "B", "42", "--backup", ""},
                            {"delete-entry", "B", "42", "--emachine", "bir", "--yes"}}) {
        const Result r = run(bad);
        EXPECT_EQ(r.status, 1) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("delete-entry: '") && r.err.contains("is not a valid integer"))
            << r.err.toStdString();
    }
    EXPECT_TRUE(b.logLines().isEmpty()) << "refused and bad input never reach the terminal";
    EXPECT_EQ(EnrolHarness::entries(b).size(), 4);

    Result r = run({"delete-entry", "B", "42"}, "e\n");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("delete-entry: DeleteEnrollData OK\n")) << r.out.toStdString();
    r = run({"delete-entry", "B", "42", "--backup", "11", "--yes"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QList<int> left;
    for (const TerminalEntry& e : EnrolHarness::entries(b))
        left << e.backup;
    EXPECT_EQ(left, (QList<int>{1, 10}));
    EXPECT_TRUE(b.state()["enabled"].toBool(false));
}

TEST_F(UserSheets, DeleteEntryFailuresNameTheResultCode) {
    target("Bozuk", fourEntryUser(42, 2), EnrolHarness::failing("DeleteEnrollData", 4, 1));
    Result r = run({"delete-entry", "Bozuk", "42", "--yes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("delete-entry: DeleteEnrollData başarısız: ERR_INVALID_PARAM"))
        << r.err.toStdString();
    target("Kilitli", fourEntryUser(42, 2), QJsonObject{{"refuseDisable", true}});
    r = run({"delete-entry", "Kilitli", "42", "--yes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("terminal kilitlenemedi (SetTerminalEnabled): ERR_NON_CARRYOUT"))
        << r.err.toStdString();
}

TEST_F(EnrolCommands, MembersListsThePersonnelTablesMembersWithTheirDates) {
    MariaDbFixture db;
    SKIP_WITHOUT_MARIADB(db);
    db.createPersonel();
    const QString uye = QStringLiteral("uye");
    db.add("11", "Ayhan", "Demir", "pasif", uye, "2025-01-01", "2025-06-30");
    db.add("10", "Ayşe", "Kaya", "Aktif", uye, "2026-01-01", "2026-12-31");
    db.add("12", "Şükrü", "Çelik", "Aktif", uye, "", "");
    db.add("13", "Ayla", "Personel", "Aktif", QStringLiteral("personel"), "", "");
    writeSettings(db.settings());
    const QString header = QStringLiteral("KartNo\tİsim\tÜye.Baş.Tarihi\tÜye.Bit.tarihi\n");

    Result r = run({"members"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, header + "10\tAyşe Kaya\t01.01.2026\t31.12.2026\n"
                              "11\tAyhan Demir\t01.01.2025\t30.06.2025\n"
                              "12\tŞükrü Çelik\t\t\n");
    r = run({"members", "--status", "aktif"});
    EXPECT_EQ(r.out, header + "10\tAyşe Kaya\t01.01.2026\t31.12.2026\n12\tŞükrü Çelik\t\t\n");
    r = run({"members", "--status", "Pasif", "--name", " Ay "});
    EXPECT_EQ(r.out, header + "11\tAyhan Demir\t01.01.2025\t30.06.2025\n");
    r = run({"members", "--name", "şük"});
    EXPECT_EQ(r.out, header + "12\tŞükrü Çelik\t\t\n") << "the server's Turkish comparison";

    r = run({"members", "--status", "hepsi"});
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(r.err.contains("--status")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());

    selvenor::MySqlSettings nowhere;
    nowhere.server = QStringLiteral("127.0.0.1");
    nowhere.port = QStringLiteral("1");
    writeSettings(nowhere);
    r = run({"members"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Personel veritabanı okunamadı")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << "no header without a list";
}
