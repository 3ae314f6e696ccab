#include "CliRunner.h"

namespace {

const char kColumns[] = "select Terminal, TerminalNo, Tip, ComPort, ComBaud, Ip, NetPort, Sifre "
                        "from Terminal order by id";

} // namespace

// The main window's "Değiştir" and "Sil" on the command line.
class RegistryCommands : public CliRunner {
protected:
    void addUnreachable(const QString& name) {
        const Result r =
            run({"add-terminal", name, "--number", "3", "--tcp", "127.0.0.1:1", "--password", "8"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
    }
};

TEST_F(RegistryCommands, ChangeWritesTheGivenFieldsAndKeepsTheHiddenOnes) {
    addUnreachable("Kapı");
    addUnreachable("Depo");
    Result r = run({"change-terminal", "Kapı", "--number", "7"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Terminal değiştirildi: Kapı (id 1)\n"));
    EXPECT_EQ(query(kColumns),
              QStringList({"Kapı|7|ethernet|||127.0.0.1|1|8", "Depo|3|ethernet|||127.0.0.1|1|8"}));
    // Serial: the TCP/IP fields stay written, hidden, as the editor writes every field.
    ASSERT_EQ(run({"change-terminal", "Kapı", "--com", "4", "--baud", "19200"}).status, 0);
    EXPECT_EQ(query(kColumns).first(), QStringLiteral("Kapı|7|com|4|19200|127.0.0.1|1|8"));
    ASSERT_EQ(run({"change-terminal", "Kapı", "--baud", "38400"}).status, 0);
    EXPECT_EQ(query(kColumns).first(), QStringLiteral("Kapı|7|com|4|38400|127.0.0.1|1|8"));
    // Choosing tcp/ip or usb sets the password to 0, as the editor's selector does.
    ASSERT_EQ(run({"change-terminal", "Kapı", "--usb"}).status, 0);
    EXPECT_EQ(query(kColumns).first(), QStringLiteral("Kapı|7|usb|4|38400|127.0.0.1|1|0"));
    ASSERT_EQ(
        run({"change-terminal", "Kapı", "--tcp", "192.0.2.9:5005", "--name", " Ön Kapı "}).status,
        0);
    EXPECT_EQ(query(kColumns).first(),
              QStringLiteral("Ön Kapı|7|ethernet|4|38400|192.0.2.9|5005|0"));
    ASSERT_EQ(run({"change-terminal", "Ön Kapı", "--password", "1234"}).status, 0);
    EXPECT_EQ(query(kColumns).first(),
              QStringLiteral("Ön Kapı|7|ethernet|4|38400|192.0.2.9|5005|1234"));
    ASSERT_EQ(run({"change-terminal", "Ön Kapı", "--tcp", "192.0.2.9:5006"}).status, 0);
    EXPECT_EQ(query(kColumns).first(),
              QStringLiteral("Ön Kapı|7|ethernet|4|38400|192.0.2.9|5006|0"))
        << "choosing tcp/ip again starts with the password 0";
    EXPECT_EQ(query(kColumns).last(), QStringLiteral("Depo|3|ethernet|||127.0.0.1|1|8"));
}

TEST_F(RegistryCommands, ATipNamingNoLinkKindStaysAsItWas) {
    addUnreachable("Eski");
    query("update Terminal set Tip = 'Com'");
    ASSERT_EQ(run({"change-terminal", "Eski", "--number", "2"}).status, 0);
    EXPECT_EQ(query("select Tip, TerminalNo from Terminal"), QStringList{"Com|2"});
}

TEST_F(RegistryCommands, BadChangesChangeNothingAndSayWhy) {
    addUnreachable("Kapı");
    addUnreachable("Depo");
    const QStringList before = query(kColumns);

    Result r = run({"change-terminal", "Kapı", "--name", ""});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("UYARI: Terminal Adını Giriniz.\n"));
    EXPECT_TRUE(r.err.contains("Terminal değiştirme: kaydedilmedi")) << r.err.toStdString();

    r = run({"change-terminal", "Kapı", "--number", "yedi"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        r.err.contains("Terminal değiştirme: Cihaz No: 'yedi' is not a valid integer value"))
        << r.err.toStdString();
    r = run({"change-terminal", "Kapı", "--tcp", "127.0.0.1:port"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("tcp port: 'port' is not a valid integer value"))
        << r.err.toStdString();

    r = run({"change-terminal", "Kapı", "--name", "Depo"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("'Depo' adlı terminal zaten kayıtlı")) << r.err.toStdString();

    for (const QStringList& usage : QList<QStringList>{
             {"change-terminal", "Kapı"},                             // nothing to change
             {"change-terminal", "Kapı", "--baud", "9600"},           // not a serial terminal
             {"change-terminal", "Kapı", "--usb", "--com", "1"},      // two link kinds
             {"change-terminal", "Kapı", "--tcp", "127.0.0.1"},       // no port
             {"change-terminal", "Kapı", "--usb", "--password", "1"}, // no password on usb
             {"change-terminal", "Yok", "--number", "1"},             // unknown terminal
             {"change-terminal", "--number", "1"},                    // no name
             {"change-terminal", "Kapı", "--hızlı"}}) {               // unknown option
        r = run(usage);
        EXPECT_NE(r.status, 0) << usage.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("Kullanım: selvenor-cli [--data-dir KLASÖR] change-terminal"))
            << usage.join(' ').toStdString() << ": " << r.err.toStdString();
    }
    EXPECT_EQ(query(kColumns), before);
}

TEST_F(RegistryCommands, AChangedLinkReachesTheTerminal) {
    SimulatorFixture& sim = startSimulator(SimulatorFixture::state(
        {{"machine", 7}, {"password", 99}, {"clock", "2012-03-07T09:05:00"}}));
    addUnreachable("Kapı");
    Result r = run({"time-get", "Kapı"});
    EXPECT_EQ(r.status, 1);
    r = run({"change-terminal", "Kapı", "--number", "7", "--tcp",
             QStringLiteral("%1:%2").arg(sim.host()).arg(sim.port()), "--password", "99"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = run({"time-get", "Kapı"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Tarih = 07/03/2012\nSaat = 09:05\n"));
}

TEST_F(RegistryCommands, DeleteAsksAndOnlyAYesDeletes) {
    SimulatorFixture& sim = startSimulator(SimulatorFixture::state({}));
    addTcpTerminal("Kapı", sim);
    addUnreachable("Depo");
    for (const char* input : {"", "h\n", "\n", "evt\n"}) {
        const Result no = run({"delete-terminal", "Kapı"}, QString::fromUtf8(input));
        EXPECT_EQ(no.status, 1) << input;
        EXPECT_EQ(no.out, QStringLiteral("UYARI: Seçili kaydı Silmek İstiyor musunuz...? [e/h] "));
        EXPECT_TRUE(no.err.contains("Terminal silme: vazgeçildi, hiçbir kayıt silinmedi"))
            << no.err.toStdString();
    }
    EXPECT_EQ(query("select Terminal from Terminal order by id"), QStringList({"Kapı", "Depo"}));
    EXPECT_TRUE(sim.logLines().isEmpty()) << "the registry alone is touched";

    const Result yes = run({"delete-terminal", "Kapı"}, "e\n");
    EXPECT_EQ(yes.status, 0) << yes.err.toStdString();
    EXPECT_TRUE(yes.out.endsWith("Terminal silindi: Kapı (id 1)\n")) << yes.out.toStdString();
    EXPECT_EQ(query("select Terminal from Terminal"), QStringList{"Depo"});
    const Result gone = run({"time-get", "Kapı"});
    EXPECT_NE(gone.status, 0);
    EXPECT_TRUE(gone.err.contains("Bilinmeyen terminal: 'Kapı'"));

    const Result script = run({"delete-terminal", "Depo", "--yes"});
    EXPECT_EQ(script.status, 0) << script.err.toStdString();
    EXPECT_FALSE(script.out.contains("[e/h]")) << "--yes answers for scripts";
    EXPECT_TRUE(query("select * from Terminal").isEmpty());

    const Result unknown = run({"delete-terminal", "Depo", "--yes"});
    EXPECT_NE(unknown.status, 0);
    EXPECT_TRUE(unknown.err.contains("Bilinmeyen terminal: 'Depo'")) << unknown.err.toStdString();
}

using TimeZonesCommand = CliRunner;

TEST_F(TimeZonesCommand, PrintsTheWindowsListOfDefaults) {
    const Result r = run({"time-zones"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 400);
    EXPECT_EQ(lines.first(), QStringLiteral("[Tz.] 01 - 1 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
    EXPECT_EQ(lines[9], QStringLiteral("[Tz.] 02 - 2 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
    EXPECT_EQ(lines.last(), QStringLiteral("[Tz.] 50 - 8 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
    EXPECT_NE(run({"time-zones", "fazla"}).status, 0);
}
