#include "AttendanceCli.h"

#include "app/transfer/DataFolderLock.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>

using namespace selvenor;

using AttendanceCommands = AttendanceCli;

TEST_F(AttendanceCommands, DownloadWritesTheFilesAndSummarisesEachTerminal) {
    SimulatorFixture& a = terminal("Kapı", 30, 1);
    SimulatorFixture& b = terminal("Depo", 5, 2);
    const Result first = run({"download", "Kapı", "Depo", "--second-file"});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, "Kapı: 30 kayıt yazıldı\nDepo: 5 kayıt yazıldı\n");
    // Side by side, each terminal's lines stand in order, whichever terminal came first.
    const QStringList expected = lines("veri.txt");
    EXPECT_EQ(ofMachine(expected, 1), expectedTransferLines(1, 30, 1));
    EXPECT_EQ(ofMachine(expected, 2), expectedTransferLines(1, 5, 2));
    EXPECT_EQ(expected.size(), 35);
    EXPECT_EQ(lines("veri2.txt"), expected);
    EXPECT_EQ(lines(backupName()), expected);
    EXPECT_EQ(readFlags(a), 30);
    EXPECT_EQ(readFlags(b), 5);
    const Result again = run({"download", "--all"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "Depo: 0 kayıt yazıldı (yeni kayıt yok)\n"
                         "Kapı: 0 kayıt yazıldı (yeni kayıt yok)\n");
    EXPECT_EQ(lines("veri.txt"), expected);
}

TEST_F(AttendanceCommands, AFailingTerminalMakesTheExitStatusNonZero) {
    terminal("Kapı", 3, 1,
             {{"fail", QJsonArray{QJsonObject{{"op", "ReadLogBuffer"}, {"code", 5}}}}});
    terminal("Depo", 2, 2);
    const Result r = run({"download", "Kapı", "Depo"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Kapı: HATA kayıtlar yüklenemedi (ReadLogBuffer: ERR_NON_CARRYOUT)\n"
                     "Depo: 2 kayıt yazıldı\n");
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 2, 2));
}

TEST_F(AttendanceCommands, DownloadAllWritesEveryRecordAndInOutErasesThem) {
    SimulatorFixture& sim = terminal("Kapı", 4);
    EXPECT_EQ(run({"download-all", "Kapı"}).out, "Kapı: 4 kayıt yazıldı\n");
    EXPECT_EQ(sim.state()["logs"].toArray().size(), 4);
    EXPECT_EQ(run({"download-all", "Kapı", "--inout", "--second-file"}).out,
              "Kapı: 4 kayıt yazıldı\n");
    EXPECT_EQ(sim.state()["logs"].toArray().size(), 0);
    EXPECT_EQ(lines("veri.txt").size(), 8);
    EXPECT_EQ(bytes("veri2.txt"), bytes("veri.txt"));
    EXPECT_EQ(lines(QStringLiteral("yedek_V77/%1.txt").arg(QDate::currentDate().toString("MMyyyy")))
                  .size(),
              8);
}

TEST_F(AttendanceCommands, ConvertCardAppendsTheFilesLines) {
    QFile card(temp.file("kart.txt"));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write("baslik\r\n1\t1\t42\t0\t0\t0\t2012-03-05 08:07:30\r\n");
    card.close();
    const Result r = run({"convert-card", temp.file("kart.txt")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("1 satır")) << r.out.toStdString();
    EXPECT_EQ(bytes("veri.txt"), "00042 05/03/2012 08:07:30 01\r\n");
    EXPECT_NE(run({"convert-card", temp.file("yok.txt")}).status, 0);
}

// The command line shows no memos, so the conversion builds none: its memory stays far below
// the size of the file (the memos alone took about four times the file's size).
TEST_F(AttendanceCommands, ConvertCardMemoryDoesNotGrowWithTheFile) {
    constexpr int kLines = 1800000;
    constexpr qint64 kCeilingKb = 32 * 1024;
    QFile card(temp.file("kart.txt"));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    QByteArray piece = "No\tMachine\tEnrollNo\tName\tMode\tInOut\tDateTime\r\n";
    for (int i = 0; i < kLines; ++i) {
        piece += QByteArray::number(i) + "\t3\t" + QByteArray::number(i % 100000) +
                 "\t0\t0\t0\t2012-03-05 08:07:30\r\n";
        if (piece.size() > (1 << 20) || i == kLines - 1) {
            ASSERT_EQ(card.write(piece), piece.size());
            piece.clear();
        }
    }
    card.close();
    const qint64 fileKb = QFile(temp.file("kart.txt")).size() / 1024;
    ASSERT_GT(fileKb, 2 * kCeilingKb) << "the file must dwarf the ceiling";

    const qint64 peakKb = peakResidentKb({"convert-card", temp.file("kart.txt")});
    ASSERT_GT(peakKb, 0) << "convert-card failed";
    EXPECT_LT(peakKb, kCeilingKb) << "file " << fileKb << " KiB";

    const QByteArray written = bytes("veri.txt");
    EXPECT_EQ(written.count("\r\n"), kLines);
    EXPECT_TRUE(written.startsWith("00000 05/03/2012 08:07:30 03\r\n00001 "));
    EXPECT_TRUE(written.endsWith("\r\n99999 05/03/2012 08:07:30 03\r\n"));
    EXPECT_EQ(QDir(temp.path()).entryList({"*.tmp"}), QStringList()) << "no spool left behind";
}

TEST_F(AttendanceCommands, KilledAtEveryPointOfADownloadTheNextOneWritesEachRecordOnce) {
    for (const char* point : {"begun:2", "file0:2", "file1:3", "written:2", "acknowledged:1"}) {
        SCOPED_TRACE(point);
        freshDataFolder();
        SimulatorFixture& sim = terminal("Kapı", 450);
        downloadKilledAt(point);
        EXPECT_LT(lines("veri.txt").size(), 450);
        const Result fresh = run({"download", "Kapı"});
        EXPECT_EQ(fresh.status, 0) << fresh.out.toStdString() << fresh.err.toStdString();
        EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 450));
        EXPECT_EQ(lines(backupName()), expectedTransferLines(1, 450));
        EXPECT_EQ(readFlags(sim), 450);
    }
}

TEST_F(AttendanceCommands, VeriTakenAwayAfterAKillLosesNothingAndRepeatsNothing) {
    // Killed after the second batch stood in veri.txt (in the backup: whole, or in part); the
    // attendance program then takes veri.txt away. What it took and the new veri.txt together
    // hold every record once.
    for (const char* point : {"written:2", "file1:2"}) {
        SCOPED_TRACE(point);
        freshDataFolder();
        SimulatorFixture& sim = terminal("Kapı", 450);
        downloadKilledAt(point);
        const QStringList taken = lines("veri.txt");
        ASSERT_TRUE(QFile::rename(temp.file("veri.txt"), temp.file("aktarildi.txt")));
        EXPECT_EQ(run({"download", "Kapı"}).status, 0);
        EXPECT_EQ(taken + lines("veri.txt"), expectedTransferLines(1, 450));
        EXPECT_EQ(lines(backupName()), expectedTransferLines(1, 450));
        EXPECT_EQ(readFlags(sim), 450);
    }
}

TEST_F(AttendanceCommands, FileSizeLimitStopsTheDownloadAndTheNextOneCompletesIt) {
    SimulatorFixture& sim = terminal("Kapı", 300);
    // veri.txt holds years of lines already; `ulimit -f 64` leaves room for about 150 more.
    QFile old(temp.file("veri.txt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    const QByteArray history = QByteArray(64 * 1024 - 150 * 31 - 2, 'x') + "\r\n";
    old.write(history);
    old.close();
    environment.insert("SELVENOR_ATTENDANCE_BATCH", "40");
    QProcess shell;
    shell.setProcessEnvironment(environment);
    shell.start("bash",
                {"-c", QStringLiteral("ulimit -f 64; exec '%1' --data-dir '%2' download Kapı")
                           .arg(QStringLiteral(SELVENOR_CLI), temp.path())});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 1);
    EXPECT_TRUE(shell.readAllStandardOutput().contains("HATA")) << "reported, not killed";
    EXPECT_EQ(bytes("veri.txt").size(), 64 * 1024);
    const int acknowledged = readFlags(sim);
    EXPECT_GT(acknowledged, 0);
    EXPECT_LT(acknowledged, 300);
    EXPECT_EQ(run({"download", "Kapı"}).status, 0);
    EXPECT_EQ(lines("veri.txt"),
              QStringList{QString(history.size() - 2, 'x')} + expectedTransferLines(1, 300));
    EXPECT_EQ(lines(backupName()), expectedTransferLines(1, 300));
    EXPECT_EQ(readFlags(sim), 300);
}

TEST_F(AttendanceCommands, ASecondDownloadOfTheSameFolderWaitsThenRefuses) {
    SimulatorFixture& sim = terminal("Kapı", 3);
    DataFolderLock running{DataFolder(temp.path())};
    const Result r = run({"download", "Kapı"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains("başka bir aktarım yazıyor")) << r.out.toStdString();
    EXPECT_EQ(readFlags(sim), 0);
    EXPECT_TRUE(bytes("veri.txt").isEmpty());
}
