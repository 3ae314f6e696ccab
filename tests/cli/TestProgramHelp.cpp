#include "cli/CliCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int status = -1;
    QString out;
    QString err;
};

// One of the three programs of the build folder, run to its end without a display.
ProgramRun runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QDir(QCoreApplication::applicationDirPath()).filePath(program), arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(ProgramHelp, EveryCommandPrintsItsOwnUsageOnHelpAndExitsZero) {
    for (const selvenor::cli::Command& c : selvenor::cli::commands()) {
        const QString name = QString::fromUtf8(c.name);
        for (const char* flag : {"--help", "-h"}) {
            const ProgramRun r =
                runProgram("selvenor-cli", {"--data-dir", "/nonexistent", name, flag});
            EXPECT_EQ(r.status, 0) << c.name << ' ' << flag << ": " << r.err.toStdString();
            EXPECT_TRUE(r.out.startsWith("Kullanım: selvenor-cli [--data-dir KLASÖR] " + name +
                                         (*c.usage ? " " + QString::fromUtf8(c.usage) : "")))
                << r.out.toStdString();
            EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.summary))) << c.name;
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        }
    }
    // Help comes before the command's own argument checks: "AD" is missing here.
    const ProgramRun r = runProgram("selvenor-cli", {"time-get", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(r.out.contains("download-all")) << "only the command's own usage";
}

// The help's groups follow the windows: each title once, in order, each command once, under
// the title of its group.
TEST(ProgramHelp, TheHelpListsEveryCommandOnceUnderItsWindowsGroup) {
    using selvenor::cli::CommandGroup;
    const ProgramRun r = runProgram("selvenor-cli", {"--help"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    QList<qsizetype> titleAt;
    for (const CommandGroup group : selvenor::cli::kCommandGroups) {
        const QString title = selvenor::cli::groupTitle(group) + ':';
        EXPECT_EQ(lines.count(title), 1) << title.toStdString();
        titleAt << lines.indexOf(title);
    }
    for (qsizetype i = 1; i < titleAt.size(); ++i)
        EXPECT_LT(titleAt[i - 1], titleAt[i]) << "group " << i;
    titleAt << lines.size();

    QMap<QString, QString> groupOf;
    for (const selvenor::cli::Command& c : selvenor::cli::commands()) {
        const QString name = QString::fromUtf8(c.name);
        QList<qsizetype> at;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i] == "  " + name || lines[i].startsWith("  " + name + ' '))
                at << i;
        }
        ASSERT_EQ(at.size(), 1) << c.name;
        const qsizetype group =
            std::upper_bound(titleAt.begin(), titleAt.end(), at[0]) - titleAt.begin() - 1;
        ASSERT_GE(group, 0) << c.name;
        groupOf[name] = selvenor::cli::groupTitle(selvenor::cli::kCommandGroups[group]);
        EXPECT_EQ(selvenor::cli::kCommandGroups[group], c.group) << c.name;
    }
    const QMap<QString, QString> expected = {
        {"change-terminal", "Ana pencere: terminal listesi (Ekle, Değiştir, Sil)"},
        {"delete-terminal", "Ana pencere: terminal listesi (Ekle, Değiştir, Sil)"},
        {"convert-card", "Ana pencere: veri aktarımı"},
        {"remove-admins", "Ana pencere: terminal işlemleri"},
        {"enrol-upload", "Parmakizi penceresi: tüm data"},
        {"delete-entry", "Parmakizi penceresi: tek data(parmak)"},
        {"user-upload", "Parmakizi penceresi: Seçili Kayıt Yükleme(Parmak/Kart/Şifre)"},
        {"password-change", "Parmakizi penceresi: Kullanıcı / Admin (Yönetici) Şifre Değiştirme"},
        {"user-disable", "Parmakizi penceresi: Kullanıcı / Admin Aktif/Pasif Yapma"},
        {"members", "Parmakizi penceresi: Yetkilendir"},
        {"time-zones", "Zaman dilimleri (Time Zone)"},
        {"init", "Programın kendi komutları"},
        {"journal-check", "Programın kendi komutları"},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(groupOf.value(it.key()), it.value()) << it.key().toStdString();
}

const char* const kPrograms[] = {"selvenor", "selvenor-cli", "selvenor-sim"};

// The first line of each program's usage.
QString usageStart(const QString& program) {
    if (program == QLatin1String("selvenor-sim"))
        return QStringLiteral("usage: selvenor-sim --state FILE");
    return QStringLiteral("Kullanım: ") + program + QStringLiteral(" [--data-dir KLASÖR]");
}

TEST(ProgramHelp, AllThreeProgramsTellTheirVersion) {
    for (const char* program : kPrograms) {
        const ProgramRun r = runProgram(program, {"--version"});
        EXPECT_EQ(r.status, 0) << program << ": " << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), QString::fromLatin1(program) + " 1.0");
    }
}

TEST(ProgramHelp, AllThreeProgramsTakeHelpAndItsShortForm) {
    for (const char* program : kPrograms) {
        for (const char* flag : {"--help", "-h"}) {
            const ProgramRun r = runProgram(program, {flag});
            EXPECT_EQ(r.status, 0) << program << ' ' << flag << ": " << r.err.toStdString();
            EXPECT_TRUE(r.out.startsWith(usageStart(program)))
                << program << ' ' << flag << ": " << r.out.toStdString();
            EXPECT_TRUE(r.out.contains("--version")) << program;
        }
    }
}

// The words ask for the usage or the version wherever they stand, and nothing else runs: the
// data folder does not exist, the simulator's state folder neither, the terminal is unknown.
TEST(ProgramHelp, HelpAndVersionAfterOtherWordsRunNothing) {
    const QStringList missing = {"--data-dir", "/nonexistent/selvenor"};
    const std::pair<QString, QStringList> lines[] = {
        {"selvenor", missing},
        {"selvenor-cli", missing + QStringList{"time-get", "Yok"}},
        {"selvenor-cli", missing + QStringList{"download", "--all"}},
        {"selvenor-sim", {"--state", "/nonexistent/selvenor/state.json", "--listen", "bogus"}},
    };
    for (const auto& [program, words] : lines) {
        const ProgramRun version = runProgram(program, words + QStringList{"--version"});
        EXPECT_EQ(version.status, 0) << program.toStdString() << ": " << version.err.toStdString();
        EXPECT_EQ(version.out.trimmed(), program + " 1.0");
        EXPECT_TRUE(version.err.isEmpty()) << version.err.toStdString();

        const ProgramRun help = runProgram(program, words + QStringList{"-h"});
        EXPECT_EQ(help.status, 0) << program.toStdString() << ": " << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith(usageStart(program))) << help.out.toStdString();
        EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
    }
    EXPECT_EQ(runProgram("selvenor-sim", {"--bogus", "--help"}).status, 0)
        << "help comes before the options are checked";
    const ProgramRun both = runProgram("selvenor-cli", {"--version", "--help"});
    EXPECT_TRUE(both.out.startsWith(usageStart("selvenor-cli"))) << "help wins over version";
}

TEST(ProgramHelp, HelpForAnUnknownCommandIsAnError) {
    const ProgramRun r = runProgram("selvenor-cli", {"bogus", "--help"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith("Bilinmeyen komut: bogus")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(ProgramHelp, TheSimulatorAndTheWindowProgramPrintTheirUsage) {
    const ProgramRun sim = runProgram("selvenor-sim", {"--help"});
    EXPECT_EQ(sim.status, 0) << sim.err.toStdString();
    EXPECT_TRUE(sim.out.startsWith("usage: selvenor-sim --state FILE"));
    for (const char* option : {"--listen HOST:PORT", "--fail OP:CODE[:WHEN]", "--delay-ms MS"})
        EXPECT_TRUE(sim.out.contains(option)) << option;
    EXPECT_EQ(runProgram("selvenor-sim", {"--bogus"}).status, 2) << "an unknown option still fails";

    const ProgramRun window = runProgram("selvenor", {"--help"});
    EXPECT_EQ(window.status, 0) << window.err.toStdString();
    EXPECT_TRUE(window.out.contains("--data-dir KLASÖR"));
    EXPECT_TRUE(window.out.contains("--time-zones"));
}
