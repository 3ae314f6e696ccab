#include "AttendanceCli.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace selvenor;

// Downloads killed, their journal damaged, and the attendance program taking the lines out of
// veri.txt in between: afterwards every record stands exactly once.
using DownloadRecovery = AttendanceCli;

TEST_F(DownloadRecovery, KilledBetweenVeriAndTheBackupAfterTheImporterEmptiedVeri) {
    // done0: veri.txt holds the first batch, synced, and the backup nothing of it; file1: half
    // of it is in the backup. The importer then takes every line out of veri.txt.
    for (const QByteArray point : {"done0:1", "file1:1"}) {
        for (const bool veriHeldOldLines : {false, true}) {
            SCOPED_TRACE(point.toStdString() +
                         (veriHeldOldLines ? " veri.txt emptied by the importer" : " no veri.txt"));
            freshDataFolder();
            SimulatorFixture& sim = terminal("Kapı", 450);
            if (veriHeldOldLines) {
                overwrite("veri.txt", "00009 01/01/2012 08:00:00 01 01\r\n");
                EXPECT_EQ(importVeri().size(), 1);
            }
            downloadKilledAt(point);
            EXPECT_TRUE(bytes(backupName()).size() < 100 * 33);
            const QStringList imported = importVeri();
            EXPECT_EQ(imported, expectedTransferLines(1, 100));
            const Result next = run({"download", "Kapı"});
            EXPECT_EQ(next.status, 0) << next.out.toStdString() << next.err.toStdString();
            EXPECT_EQ(imported + lines("veri.txt"), expectedTransferLines(1, 450));
            EXPECT_EQ(lines(backupName()), expectedTransferLines(1, 450));
            EXPECT_EQ(readFlags(sim), 450);
        }
    }
}

TEST_F(DownloadRecovery, KilledBetweenTwoLinesOfVeriThenEmptiedWritesThatBatchAgainLosingNothing) {
    // The first batch's first 50 of 100 lines stand in veri.txt, and the importer takes them:
    // nothing then shows how far that batch had come (its next line could have been the first).
    // The whole batch goes into the new veri.txt: those 50 lines twice, no record lost.
    SimulatorFixture& sim = terminal("Kapı", 450);
    downloadKilledAt("file0:1");
    const QStringList imported = importVeri();
    EXPECT_EQ(imported, expectedTransferLines(1, 50)) << "exactly half the batch, whole lines";
    EXPECT_TRUE(bytes("veri.txt").isEmpty());
    const Result next = run({"download", "Kapı"});
    EXPECT_EQ(next.status, 0) << next.out.toStdString() << next.err.toStdString();
    EXPECT_EQ(imported + lines("veri.txt"),
              expectedTransferLines(1, 50) + expectedTransferLines(1, 450));
    EXPECT_EQ(lines(backupName()), expectedTransferLines(1, 450));
    EXPECT_EQ(readFlags(sim), 450);
}

TEST_F(DownloadRecovery, KilledAtSeveralMomentsWhileTheImporterTakesTheLinesBetweenRuns) {
    // Each sequence kills a few runs at different moments: the batch begun, a cut inside a line
    // of veri.txt, between veri.txt and the next file (veri2.txt or the backup), in the backup,
    // written, acknowledged. The attendance program imports between every two runs. What it
    // imported and what is left in veri.txt hold every record once, in order, and so do the
    // backup and veri2.txt.
    struct Sequence {
        QList<QByteArray> kills;
        bool secondFile;
    };
    const QList<Sequence> sequences{
        {{"begun:2", "cut0:1", "done0:2", "written:3"}, true},
        {{"file1:2", "acknowledged:1", "done1:1", "file2:1"}, true},
        {{"cut0:3", "cut2:2", "done0:1", "acknowledged:2", "begun:1"}, true},
        {{"done0:1", "cut1:2", "cut0:2", "file1:1", "done0:3", "written:1"}, false},
    };
    for (const Sequence& sequence : sequences) {
        SCOPED_TRACE(sequence.kills.join(' ').toStdString());
        freshDataFolder();
        SimulatorFixture& sim = terminal("Kapı", 1000);
        QStringList arguments{"Kapı"};
        if (sequence.secondFile)
            arguments << "--second-file";
        QStringList imported;
        for (const QByteArray& point : sequence.kills) {
            downloadKilledAt(point, arguments);
            imported += importVeri();
        }
        const Result last = run(QStringList{"download"} + arguments);
        EXPECT_EQ(last.status, 0) << last.out.toStdString() << last.err.toStdString();
        imported += importVeri();
        EXPECT_TRUE(bytes("veri.txt").isEmpty());
        EXPECT_EQ(imported, expectedTransferLines(1, 1000));
        if (sequence.secondFile)
            EXPECT_EQ(lines("veri2.txt"), expectedTransferLines(1, 1000));
        EXPECT_EQ(lines(backupName()), expectedTransferLines(1, 1000));
        EXPECT_EQ(readFlags(sim), 1000);
    }
}

TEST_F(DownloadRecovery, AWalkBrokenOffAfterWholeBatchesCountsEveryBatch) {
    environment.insert("SELVENOR_ATTENDANCE_BATCH", "1024");
    SimulatorFixture& sim = terminal(
        "Kapı", 3000, 1,
        {{"fail", QJsonArray{QJsonObject{{"op", "NextLogRecord"}, {"code", 3}, {"when", 3}}}}});
    const Result r = run({"download", "Kapı"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "Kapı: HATA kayıtlar okunurken (NextLogRecord: ERR_READ_FAIL; 2048 kayıt yazıldı)\n");
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 2048));
    EXPECT_EQ(readFlags(sim), 2048);
}

TEST_F(DownloadRecovery, AFullLogWalkBrokenOffNamesItsOperation) {
    environment.insert("SELVENOR_ATTENDANCE_BATCH", "1024");
    terminal(
        "Kapı", 3000, 1,
        {{"fail", QJsonArray{QJsonObject{{"op", "NextAllLogRecord"}, {"code", 3}, {"when", 2}}}}});
    const Result r = run({"download-all", "Kapı"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Kapı: HATA kayıtlar okunurken (NextAllLogRecord: ERR_READ_FAIL; 1024 kayıt "
                     "yazıldı)\n");
}

TEST_F(DownloadRecovery, ARefusedJournalLeavesVeri2AsItWas) {
    // The full-log command replaces veri2.txt by veri.txt when it ends, also after an error;
    // not while the journal refuses, when veri.txt may lack the rest of a batch.
    SimulatorFixture& sim = terminal("Kapı", 20);
    overwrite("veri.txt", "00009 01/01/2012 08:00:00 01 01\r\n");
    overwrite("veri2.txt", "eski\r\n");
    overwrite("aktarim.journal", "bu bir günlük değil\r\n");
    const Result refused = run({"download-all", "Kapı", "--second-file"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.contains("aktarim.journal")) << refused.out.toStdString();
    EXPECT_EQ(bytes("veri2.txt"), "eski\r\n");
    EXPECT_EQ(bytes("veri.txt"), "00009 01/01/2012 08:00:00 01 01\r\n");
    EXPECT_EQ(readFlags(sim), 0);
}

TEST_F(DownloadRecovery, DamagedJournalStopsEveryWriterUntilTheOperatorRepairsIt) {
    // Killed while the first batch was going into the backup; then one byte of the journal's
    // entry for that batch goes bad: in its lines, or in its description.
    for (const char* where : {"lines", "description"}) {
        SCOPED_TRACE(where);
        freshDataFolder();
        SimulatorFixture& sim = terminal("Kapı", 450);
        downloadKilledAt("file1:1");
        QByteArray journal = bytes("aktarim.journal");
        ASSERT_GT(journal.size(), 3000);
        const qsizetype at = QByteArray(where) == "lines" ? journal.size() / 2 : 40;
        journal[at] = char(journal[at] ^ 0x20);
        overwrite("aktarim.journal", journal);
        const QByteArray veri = bytes("veri.txt");
        const QByteArray backup = bytes(backupName());
        overwrite("kart.txt", "baslik\r\n1\t1\t42\t0\t0\t0\t2012-03-05 08:07:30\r\n");

        for (const QStringList& command :
             {QStringList{"download", "Kapı"}, QStringList{"download-all", "Kapı"},
              QStringList{"convert-card", temp.file("kart.txt")}}) {
            SCOPED_TRACE(command.join(' ').toStdString());
            const Result refused = run(command);
            EXPECT_NE(refused.status, 0);
            const QString said = refused.out + refused.err;
            EXPECT_TRUE(said.contains(temp.file("aktarim.journal"))) << said.toStdString();
            EXPECT_TRUE(said.contains("journal-check --repair")) << said.toStdString();
            EXPECT_FALSE(said.contains("kayıt yazıldı")) << said.toStdString();
        }
        EXPECT_EQ(bytes("veri.txt"), veri);
        EXPECT_EQ(bytes(backupName()), backup);
        EXPECT_EQ(readFlags(sim), 0);
        EXPECT_EQ(bytes("aktarim.journal"), journal) << "left for the operator to look at";

        const Result check = run({"journal-check"});
        EXPECT_EQ(check.status, 1) << check.out.toStdString() << check.err.toStdString();
        EXPECT_TRUE(check.out.contains("Durum: bozuk")) << check.out.toStdString();
        EXPECT_TRUE(check.out.contains("Yarım kalmış aktarım")) << check.out.toStdString();
        const Result repair = run({"journal-check", "--repair"});
        EXPECT_EQ(repair.status, 0) << repair.out.toStdString() << repair.err.toStdString();
        EXPECT_TRUE(repair.out.contains("Yarım kalmış aktarımın 100 satırı her dosyada"))
            << repair.out.toStdString();
        const QStringList kept = QDir(temp.path()).entryList({"aktarim.journal.bozuk-*"});
        ASSERT_EQ(kept.size(), 1);
        EXPECT_EQ(bytes(kept[0]), journal);
        EXPECT_EQ(run({"journal-check"}).status, 0);

        const Result next = run({"download", "Kapı"});
        EXPECT_EQ(next.status, 0) << next.out.toStdString() << next.err.toStdString();
        EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 450));
        EXPECT_EQ(lines(backupName()), expectedTransferLines(1, 450));
        EXPECT_EQ(readFlags(sim), 450);
    }
}

TEST_F(DownloadRecovery, AJournalOfAnotherKindIsRefusedAndSetAsideByTheRepair) {
    SimulatorFixture& sim = terminal("Kapı", 20);
    for (const QByteArray& foreign :
         {QByteArray("bu bir günlük değil\r\n"), QByteArray("SELVJRNL\0\0\0\x09", 12)}) {
        overwrite("aktarim.journal", foreign);
        const Result refused = run({"download", "Kapı"});
        EXPECT_EQ(refused.status, 1);
        EXPECT_TRUE(refused.out.contains("aktarim.journal")) << refused.out.toStdString();
        EXPECT_TRUE(refused.out.contains(foreign.startsWith("SELV") ? "tanımadığı bir sürümde (9)"
                                                                    : "aktarım günlüğü değil"))
            << refused.out.toStdString();
        EXPECT_EQ(readFlags(sim), 0);
        EXPECT_TRUE(run({"journal-check"}).out.contains("tanınmıyor"));
    }
    EXPECT_EQ(run({"journal-check", "--repair"}).status, 0);
    EXPECT_EQ(run({"download", "Kapı"}).status, 0);
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 20));
}

namespace {

// The calls a program made, as `strace -f` wrote them.
QStringList traced(const QProcessEnvironment& environment, const QStringList& arguments,
                   const QString& traceFile) {
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start("strace", QStringList{"-f", "-e", "trace=openat,mkdir,mkdirat,fsync", "-o", traceFile,
                                  SELVENOR_CLI} +
                          arguments);
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile f(traceFile);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromUtf8(f.readAll()).split('\n');
}

// An open that creates its file.
const QString kCreatingOpen = QStringLiteral("openat(?=.*O_CREAT)");

// True when the call that created `path` (matched by `creation`) is followed by an open of the
// folder holding it and a sync of that very descriptor, before anything else is created: the
// sync belongs to that creation, not to a later one (the journal's compaction, say).
bool folderSyncedAfter(const QStringList& calls, const QString& path, const QString& creation) {
    const QString folder = path.left(path.lastIndexOf('/'));
    const qsizetype created = calls.indexOf(QRegularExpression(
        ".*" + creation + "\\(.*\"" + QRegularExpression::escape(path) + "/?\".*\\) = \\d+.*"));
    if (created < 0)
        return false;
    const QRegularExpression anotherCreation("mkdir(at)?\\(|O_CREAT");
    const QRegularExpression openFolder("openat\\(.*\"" + QRegularExpression::escape(folder) +
                                        "/?\", [^)]*O_DIRECTORY[^)]*\\) = (\\d+)");
    QString folderDescriptor;
    for (qsizetype i = created + 1; i < calls.size(); ++i) {
        if (anotherCreation.match(calls[i]).hasMatch())
            return false;
        const QRegularExpressionMatch m = openFolder.match(calls[i]);
        if (m.hasMatch())
            folderDescriptor = m.captured(1);
        else if (!folderDescriptor.isEmpty() &&
                 calls[i].contains("fsync(" + folderDescriptor + ")"))
            return true;
    }
    return false;
}

} // namespace

TEST_F(DownloadRecovery, CreatingAnAttendanceFileOrTheBackupFolderSyncsTheFolderHoldingIt) {
    if (QStandardPaths::findExecutable("strace").isEmpty())
        GTEST_SKIP() << "strace is not installed";
    terminal("Kapı", 3);
    // A data folder that has held everything before (the journal included), from which the
    // attendance files and the backup folder were then taken away.
    ASSERT_EQ(run({"download", "Kapı", "--second-file"}).status, 0);
    for (const char* file : {"veri.txt", "veri2.txt"})
        ASSERT_TRUE(QFile::remove(temp.file(file)));
    ASSERT_TRUE(QDir(temp.file("yedek_Q720")).removeRecursively());
    const QString data = QDir(temp.path()).canonicalPath();
    const QStringList calls =
        traced(environment, {"--data-dir", data, "download", "Kapı", "--second-file"},
               temp.file("strace.txt"));
    const QString backup = data + '/' + backupName();
    EXPECT_TRUE(folderSyncedAfter(calls, data + "/veri.txt", kCreatingOpen)) << "veri.txt";
    EXPECT_TRUE(folderSyncedAfter(calls, data + "/veri2.txt", kCreatingOpen)) << "veri2.txt";
    EXPECT_TRUE(folderSyncedAfter(calls, data + "/yedek_Q720", "mkdir(at)?")) << "yedek_Q720";
    EXPECT_TRUE(folderSyncedAfter(calls, backup, kCreatingOpen)) << backup.toStdString();
}

namespace {

// 40 records, batches of 10; the terminal refuses the third acknowledgement: 30 lines stand in
// the files, 20 are acknowledged, 21 to 30 are owed.
QJsonObject refusingTheThirdAcknowledgement() {
    return {{"fail",
             QJsonArray{QJsonObject{{"op", "AcknowledgeLogRecords"}, {"code", 5}, {"when", 3}}}}};
}

} // namespace

TEST_F(DownloadRecovery, RepairOfAJournalWhoseHeaderWasOverwrittenKeepsWhatItRemembers) {
    environment.insert("SELVENOR_ATTENDANCE_BATCH", "10");
    SimulatorFixture& sim = terminal("Kapı", 40, 1, refusingTheThirdAcknowledgement());
    EXPECT_EQ(run({"download", "Kapı"}).status, 1);
    EXPECT_EQ(readFlags(sim), 20);
    QByteArray journal = bytes("aktarim.journal");
    journal.replace(0, 8, "XXXXXXXX");
    overwrite("aktarim.journal", journal);
    const Result refused = run({"download", "Kapı"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.contains("aktarım günlüğü değil")) << refused.out.toStdString();
    EXPECT_EQ(readFlags(sim), 20);

    const Result check = run({"journal-check"});
    EXPECT_EQ(check.status, 1);
    EXPECT_TRUE(check.out.contains("onay borcu: 30 numaralı kayda kadar"))
        << check.out.toStdString();
    const Result repair = run({"journal-check", "--repair"});
    EXPECT_EQ(repair.status, 0) << repair.out.toStdString() << repair.err.toStdString();
    EXPECT_FALSE(repair.out.contains("okunamadı")) << repair.out.toStdString();
    EXPECT_TRUE(run({"journal-check"}).out.contains("onay borcu: 30 numaralı kayda kadar"));

    const Result next = run({"download", "Kapı"});
    EXPECT_EQ(next.out, "Kapı: 10 kayıt yazıldı\n") << next.err.toStdString();
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 40));
    EXPECT_EQ(lines(backupName()), expectedTransferLines(1, 40));
    EXPECT_EQ(readFlags(sim), 40);
}

TEST_F(DownloadRecovery, RepairOfAJournalThatNoLongerReadsPassesOverWhatTheBackupHolds) {
    // Nothing of the journal reads: the owed acknowledgement of 21 to 30 is gone with it. The
    // backup's last lines of machine 1 are those records' lines: they are acknowledged without
    // being written again, and 31 to 40 are written.
    environment.insert("SELVENOR_ATTENDANCE_BATCH", "10");
    SimulatorFixture& sim = terminal("Kapı", 40, 1, refusingTheThirdAcknowledgement());
    terminal("Depo", 5, 2);
    EXPECT_EQ(run({"download", "Kapı"}).status, 1);
    EXPECT_EQ(run({"download", "Depo"}).status, 0) << "another machine's lines follow Kapı's";
    overwrite("aktarim.journal", QByteArray(bytes("aktarim.journal").size(), 'x'));
    EXPECT_EQ(run({"download", "Kapı"}).status, 1);

    const Result repair = run({"journal-check", "--repair"});
    EXPECT_EQ(repair.status, 0) << repair.out.toStdString() << repair.err.toStdString();
    EXPECT_TRUE(repair.out.contains("Günlüğün bir bölümü okunamadı")) << repair.out.toStdString();
    const Result check = run({"journal-check"});
    EXPECT_EQ(check.status, 0);
    EXPECT_TRUE(check.out.contains("Bellek yeniden kuruldu")) << check.out.toStdString();

    const Result next = run({"download", "Kapı"});
    EXPECT_EQ(next.status, 0) << next.out.toStdString() << next.err.toStdString();
    EXPECT_EQ(next.out, "Kapı: 10 kayıt yazıldı\n");
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 30) + expectedTransferLines(1, 5, 2) +
                                     expectedTransferLines(31, 40));
    EXPECT_EQ(lines(backupName()), lines("veri.txt"));
    EXPECT_EQ(readFlags(sim), 40);
}
