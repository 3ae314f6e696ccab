#include "CliRunner.h"

#include "support/SimulatorProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

namespace {

using U = SimulatorFixture;

QJsonObject withFaults(std::initializer_list<std::pair<QString, QJsonValue>> keys,
                       const QJsonObject& faults) {
    QJsonObject state = SimulatorFixture::state(keys);
    state.insert("faults", faults);
    return state;
}

} // namespace

class TerminalCommands : public CliRunner {};

TEST_F(TerminalCommands, AddTerminalStoresEachLinkKindAndTerminalsListsThem) {
    EXPECT_EQ(run({"terminals"}).out, QStringLiteral("Kayıtlı terminal yok\n"));
    EXPECT_EQ(run({"add-terminal", "Şube", "--number", "2", "--tcp", "192.0.2.7:5005", "--password",
                   "1234"})
                  .status,
              0);
    EXPECT_EQ(
        run({"add-terminal", "Atölye", "--number", "3", "--com", "4", "--baud", "19200"}).status,
        0);
    EXPECT_EQ(run({"add-terminal", "Kapı", "--number", "5", "--com", "1"}).status, 0);
    EXPECT_EQ(run({"add-terminal", "Depo", "--number", "6", "--usb"}).status, 0);
    EXPECT_EQ(query("select Terminal, TerminalNo, Tip, ComPort, ComBaud, Ip, NetPort, Sifre "
                    "from Terminal order by id"),
              QStringList({"Şube|2|ethernet|||192.0.2.7|5005|1234", "Atölye|3|com|4|19200|||",
                           "Kapı|5|com|1|9600|||", "Depo|6|usb|||||0"}));
    const Result list = run({"terminals"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, QStringLiteral("Atölye\t3\tcom\tport 4, 19200 baud\n"
                                       "Depo\t6\tusb\t\n"
                                       "Kapı\t5\tcom\tport 1, 9600 baud\n"
                                       "Şube\t2\tethernet\t192.0.2.7:5005\n"));
}

TEST_F(TerminalCommands, BadAddTerminalOptionsAddNothing) {
    const QList<QStringList> bad = {
        {"add-terminal", "A", "--tcp", "127.0.0.1:4370"},                        // no number
        {"add-terminal", "A", "--number", "1"},                                  // no link
        {"add-terminal", "A", "--number", "1", "--usb", "--com", "1"},           // two links
        {"add-terminal", "A", "--number", "1", "--tcp", "127.0.0.1"},            // no port
        {"add-terminal", "A", "--number", "1", "--com", "1", "--password", "3"}, // mixed
        {"add-terminal", "A", "--number", "1", "--usb", "--hizli"},              // unknown
        {"add-terminal", "--number", "1", "--usb"},                              // no name
        {"add-terminal", "A", "--number"},                                       // no value
    };
    for (const QStringList& arguments : bad) {
        const Result r = run(arguments);
        EXPECT_NE(r.status, 0) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("Kullanım: selvenor-cli")) << r.err.toStdString();
    }
    const Result number = run({"add-terminal", "A", "--number", "bir", "--usb"});
    EXPECT_NE(number.status, 0);
    EXPECT_TRUE(number.err.contains("'bir' is not a valid integer value"))
        << number.err.toStdString();
    EXPECT_TRUE(query("select * from Terminal").isEmpty());

    EXPECT_EQ(run({"add-terminal", "A", "--number", "1", "--usb"}).status, 0);
    const Result twice = run({"add-terminal", "A", "--number", "2", "--usb"});
    EXPECT_NE(twice.status, 0);
    EXPECT_TRUE(twice.err.contains("'A' adlı terminal zaten kayıtlı"));
    EXPECT_EQ(query("select TerminalNo from Terminal"), QStringList{"1"});
}

TEST_F(TerminalCommands, TimeGetPrintsTheClockOnTwoLines) {
    SimulatorFixture& sim = startSimulator(
        U::state({{"machine", 7}, {"password", 99}, {"clock", "2012-03-07T09:05:00"}}));
    addTcpTerminal("Demo", sim, 7, 99);
    const Result r = run({"time-get", "Demo"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Tarih = 07/03/2012\nSaat = 09:05\n"));
}

TEST_F(TerminalCommands, TimeSetSetsTheTerminalsClock) {
    SimulatorFixture& sim = startSimulator(U::state({{"clock", "2001-01-01T00:00:00"}}));
    addTcpTerminal("Demo", sim);
    const Result r = run({"time-set", "Demo"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("cihaz tarih saati ayarlandı..\n"));
    EXPECT_FALSE(sim.state()["clock"].toString().startsWith("2001"));
}

// Port p + 65536 must never reach the terminal listening on port p.
TEST_F(TerminalCommands, APortOutsideOneTo65535IsRefusedWhereTypedAndWhereStored) {
    SimulatorFixture& sim = startSimulator(U::state({}));
    const QString wrapped = QString::number(sim.port() + 65536);
    for (const QString& port : {wrapped, QStringLiteral("0"), QStringLiteral("-5")}) {
        const Result typed =
            run({"add-terminal", "Taşan", "--number", "1", "--tcp", "127.0.0.1:" + port});
        EXPECT_NE(typed.status, 0) << port.toStdString();
        EXPECT_TRUE(typed.err.contains("tcp port: " + port)) << typed.err.toStdString();
    }
    EXPECT_TRUE(query("select * from Terminal").isEmpty());

    addTcpTerminal("Taşan", sim);
    query("update Terminal set NetPort = " + wrapped + " where Terminal = 'Taşan'");
    const Result stored = run({"time-get", "Taşan"});
    EXPECT_NE(stored.status, 0);
    EXPECT_TRUE(stored.err.contains("tcp port: " + wrapped)) << stored.err.toStdString();
    EXPECT_TRUE(sim.logLines().isEmpty()) << sim.logLines().join('\n').toStdString();
}

// The goodbye goes to the terminal of the session, so the terminal ends the session at once
// rather than refusing it and keeping the session until its idle time.
TEST_F(TerminalCommands, ASessionEndsWithAByeTheTerminalAccepts) {
    const QString statePath = temp.file(QStringLiteral("terminal7.json"));
    ASSERT_TRUE(SimulatorProcess::writeState(
        statePath, U::state({{"machine", 7}, {"clock", "2012-03-07T09:05:00"}})));
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start(statePath)) << sim.output().toStdString();
    const QString address = QStringLiteral("127.0.0.1:%1").arg(sim.port());
    ASSERT_EQ(run({"add-terminal", "Yedi", "--number", "7", "--tcp", address}).status, 0);
    const Result r = run({"time-get", "Yedi"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();

    // The control does not wait for the reply to its goodbye: wait for the line in the log.
    const QDeadlineTimer patience(10000);
    while (!sim.settledOutput().contains("CloseConnection") && !patience.hasExpired()) {
    }
    const QString log = sim.output();
    EXPECT_TRUE(log.contains("CloseConnection machine=7 -> SUCCESS")) << log.toStdString();
    EXPECT_FALSE(log.contains("ERR_WRONG_MACHINE")) << log.toStdString();
}

TEST_F(TerminalCommands, FailuresExitNonZeroWithTheResultCodeName) {
    SimulatorFixture& locked =
        startSimulator(withFaults({{"clock", "2012-03-07T09:05:00"}}, {{"refuseDisable", true}}));
    SimulatorFixture& failing = startSimulator(withFaults(
        {}, {{"fail", QJsonArray{QJsonObject{
                          {"op", "SyncTerminalTime"}, {"code", 4}, {"when", "always"}}}}}));
    SimulatorFixture& secret = startSimulator(U::state({{"password", 1234}}));
    addTcpTerminal("Kilitli", locked);
    addTcpTerminal("Bozuk", failing);
    addTcpTerminal("Şifreli", secret, 1, 4321);
    addTcpTerminal("Numara", secret, 2, 1234);

    Result r = run({"time-get", "Kilitli"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("terminal kilitlenemedi (SetTerminalEnabled): ERR_NON_CARRYOUT"))
        << r.err.toStdString();

    r = run({"time-set", "Bozuk"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("HATA...tarih saat ayarlanamadı..\n"));
    EXPECT_TRUE(r.err.contains("SyncTerminalTime başarısız: ERR_INVALID_PARAM"));

    r = run({"time-get", "Şifreli"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("Hata..Bağlantı Kurulamadı....\n"));
    EXPECT_TRUE(r.err.contains("'Şifreli' terminaline bağlanılamadı: ERR_AUTH_FAILED"));

    r = run({"time-get", "Numara"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("ERR_WRONG_MACHINE"));
}

TEST_F(TerminalCommands, UnknownTerminalOrArgumentsGiveTheUsageLine) {
    for (const QStringList& arguments : QList<QStringList>{{"time-get", "Yok"},
                                                           {"time-set"},
                                                           {"remove-admins", "A", "B"},
                                                           {"wipe-fingerprints", "Yok", "--yes"},
                                                           {"time-get", "A", "--yes"}}) {
        const Result r = run(arguments);
        EXPECT_NE(r.status, 0);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Kullanım: selvenor-cli [--data-dir KLASÖR] ") +
                                   arguments[0]))
            << r.err.toStdString();
    }
    EXPECT_TRUE(run({"time-get", "Yok"}).err.contains("Bilinmeyen terminal: 'Yok'"));
}

TEST_F(TerminalCommands, ATipThatNamesNoLinkKindIsReported) {
    EXPECT_EQ(run({"add-terminal", "Eski", "--number", "1", "--com", "1"}).status, 0);
    query("update Terminal set Tip = 'Com'");
    const Result r = run({"time-get", "Eski"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("Hata..Bağlantı Kurulamadı....\n"));
    EXPECT_TRUE(r.err.contains("bağlantı türü tanınmıyor: 'Com'")) << r.err.toStdString();
}

TEST_F(TerminalCommands, SerialTerminalThroughAPseudoTerminal) {
    SimulatorFixture& sim =
        startSimulator(U::state({{"clock", "2012-03-07T09:05:00"}}), {.serial = true});
    environment.insert("SELVENOR_COM4", sim.serialPath());
    EXPECT_EQ(run({"add-terminal", "Seri", "--number", "1", "--com", "4", "--baud", "9600"}).status,
              0);
    const Result r = run({"time-get", "Seri"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Tarih = 07/03/2012\nSaat = 09:05\n"));
}

TEST_F(TerminalCommands, RemoveAdminsReportsAFailedDeletion) {
    SimulatorFixture& sim = startSimulator(
        withFaults({{"users", QJsonArray{U::user(5, 0, 2), U::user(5, 1, 2), U::user(6, 0, 0),
                                         U::user(7, 11, 1, 445566)}}},
                   {{"fail", QJsonArray{QJsonObject{{"op", "DeleteEnrollData"}, {"when", 2}}}}}));
    addTcpTerminal("Demo", sim);
    const Result r = run({"remove-admins", "Demo", "--yes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("Tüm Yöneticiler İptal Edildi....\n"
                                    "4 kayıt listelendi (ENROLLINFO), 3 yönetici kaydı, 2 "
                                    "silindi, 1 silinemedi\n"));
    EXPECT_TRUE(r.err.contains("Yönetici silme başarısız: ERR_NON_CARRYOUT"));
    EXPECT_EQ(query("select No, EnNo, EMNo, Fp, Priv, Enable from ENROLLINFO order by No"),
              QStringList({"000|00005|001|00|2|1", "001|00005|001|01|2|1", "002|00006|001|00|0|1",
                           "003|00007|001|11|1|1"}));
    QStringList left;
    for (const QJsonValue& u : sim.state()["users"].toArray())
        left << QStringLiteral("%1/%2:%3")
                    .arg(u["enroll"].toInt())
                    .arg(u["backup"].toInt())
                    .arg(u["privilege"].toInt());
    EXPECT_EQ(left, QStringList({"5/1:0", "6/0:0"}));

    const Result again = run({"remove-admins", "Demo"}, "e\n");
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.endsWith("2 kayıt listelendi (ENROLLINFO), 0 yönetici kaydı, 0 "
                                   "silindi, 0 silinemedi\n"))
        << again.out.toStdString();
}

TEST_F(TerminalCommands, RemoveAdminsAsksFirstAndWithoutAYesTouchesNothing) {
    SimulatorFixture& sim =
        startSimulator(U::state({{"users", QJsonArray{U::user(5, 0, 2), U::user(6, 0, 0)}}}));
    addTcpTerminal("Demo", sim);
    for (const char* input : {"", "h\n", "x\n"}) {
        const Result no = run({"remove-admins", "Demo"}, QString::fromUtf8(input));
        EXPECT_EQ(no.status, 1) << input;
        EXPECT_TRUE(
            no.out.startsWith("UYARI: Seçili Terminaldeki Tüm Yöneticileri Silmek İstiyor musunuz"))
            << no.out.toStdString();
        EXPECT_TRUE(no.err.contains("Yönetici silme: vazgeçildi")) << no.err.toStdString();
    }
    EXPECT_TRUE(sim.logLines().isEmpty()) << "a refusal never connects";
    EXPECT_TRUE(query("select * from ENROLLINFO").isEmpty());

    const Result yes = run({"remove-admins", "Demo"}, "e\n");
    EXPECT_EQ(yes.status, 0) << yes.err.toStdString();
    EXPECT_TRUE(yes.out.contains("Tüm Yöneticiler İptal Edildi....")) << yes.out.toStdString();
    EXPECT_EQ(sim.state()["users"].toArray().size(), 1);
}

// 3,000 entries: the list comes in chunks of 1,024; administrators in the first and the third.
TEST_F(TerminalCommands, RemoveAdminsWhoseListBrokeOffRemovesNothing) {
    QJsonArray users;
    for (int i = 1; i <= 3000; ++i)
        users.append(U::user(i, 11, i == 5 || i == 2900 ? 2 : 0, 100000 + i));
    const QList<QJsonObject> faults = {
        {{"dropAfterFrames", 4}}, // Hello, disable, ReadAllUserID, first chunk
        {{"fail", QJsonArray{QJsonObject{{"op", "GetNextUserID"}, {"code", 5}, {"when", 1}}}}}};
    const QStringList codes = {"ERR_READ_FAIL", "ERR_NON_CARRYOUT"};
    for (int i = 0; i < faults.size(); ++i) {
        SimulatorFixture& sim = startSimulator(withFaults({{"users", users}}, faults[i]));
        const QString name = QStringLiteral("Kesik%1").arg(i);
        addTcpTerminal(name, sim);
        const Result r = run({"remove-admins", name, "--yes"});
        EXPECT_EQ(r.status, 1) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("Kullanıcı listesi yarıda kesildi "
                                                  "(GetNextUserID: %1); hiçbir yönetici "
                                                  "silinmedi....")
                                       .arg(codes[i])))
            << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("GetNextUserID) başarısız: %1").arg(codes[i])))
            << r.err.toStdString();
        EXPECT_FALSE(r.out.contains("yönetici kaydı")) << r.out.toStdString();
        sim.stop();
        const QJsonArray after = sim.state()["users"].toArray();
        ASSERT_EQ(after.size(), 3000);
        EXPECT_EQ(after[4]["privilege"].toInt(), 2);
        EXPECT_EQ(after[2899]["privilege"].toInt(), 2);
        EXPECT_TRUE(sim.state()["enabled"].toBool(false));
        EXPECT_TRUE(query("select * from ENROLLINFO").isEmpty());
    }
}

TEST_F(TerminalCommands, WipeAsksFirstAndANoNeverReachesTheTerminal) {
    SimulatorFixture& sim =
        startSimulator(U::state({{"users", QJsonArray{U::user(42, 0), U::user(42, 11, 0, 9)}}}));
    addTcpTerminal("Demo", sim);
    const Result no = run({"wipe-fingerprints", "Demo"}, "h\n");
    EXPECT_EQ(no.status, 1);
    EXPECT_TRUE(no.out.startsWith(
        "UYARI: Seçili Terminaldeki Tüm Parmakizlerini Silmek İstiyor musunuz...?"));
    EXPECT_TRUE(no.err.contains("vazgeçildi"));
    EXPECT_TRUE(sim.logLines().isEmpty()) << sim.logLines().join('\n').toStdString();

    const Result yes = run({"wipe-fingerprints", "Demo", "--yes"});
    EXPECT_EQ(yes.status, 0) << yes.err.toStdString();
    EXPECT_EQ(yes.out, QStringLiteral("tamamlandı\n"));
    EXPECT_TRUE(sim.state()["users"].toArray().isEmpty());
}

// The state that scripts/run.sh gives the terminal "Demo".
TEST_F(TerminalCommands, BundledDemoStateServesTheCommands) {
    QFile file(QStringLiteral(SELVENOR_DEMO_STATE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject demo = QJsonDocument::fromJson(file.readAll()).object();
    ASSERT_FALSE(demo.isEmpty());
    QSet<int> backups;
    for (const QJsonValue& u : demo["users"].toArray())
        backups.insert(u["backup"].toInt());
    EXPECT_TRUE(backups.contains(0) && backups.contains(10) && backups.contains(11));
    EXPECT_EQ(demo["names"].toObject()["1003"].toString(), QStringLiteral("Şükrü Çelik"));
    EXPECT_GE(demo["logs"].toArray().size(), 200);

    SimulatorFixture& sim = startSimulator(demo);
    addTcpTerminal("Demo", sim);
    const Result r = run({"remove-admins", "Demo", "--yes"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("8 kayıt listelendi (ENROLLINFO), 2 yönetici kaydı, 2 silindi"))
        << r.out.toStdString();
}
