#include "app/transfer/AttendanceFile.h"
#include "app/transfer/AttendanceWriter.h"
#include "app/transfer/JournalFormat.h"
#include "app/transfer/TransferJournal.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace selvenor;

namespace {

const QByteArray kLines = "L0001 a\r\nL0002 b\r\nL0003 c\r\n";
const TerminalIdentity kTerminal{QStringLiteral("SIM-00000000000A"), 7};

// A data folder in which a run was killed while writing one batch: veri.txt and the backup
// both held "A\r\n" when the batch began; the test then leaves each file as the kill did.
class InterruptedRun : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(folder.path()).mkdir("yedek_Q720");
        write("veri.txt", "A\r\n");
        write("yedek_Q720/032012.txt", "A\r\n");
    }

    // Begins the batch; `filesDone` of its files are then noted as holding it whole.
    void beginBatch(bool acknowledges = true, int filesDone = 0) {
        JournalBatch batch{kTerminal, acknowledges, {7, 8, 9}};
        batch.setLines(kLines);
        for (const QString& name :
             {QStringLiteral("veri.txt"), QStringLiteral("yedek_Q720/032012.txt")}) {
            const AttendanceFile file(folder.file(name));
            batch.files.append({name, file.size(), file.identity(), file.tailBefore(file.size())});
        }
        TransferJournal journal(folder.file(AttendanceWriter::journalName()));
        journal.begin(batch);
        if (filesDone > 0)
            journal.filesDone(filesDone);
    }

    void write(const QString& name, const QByteArray& bytes,
               QIODevice::OpenMode mode = QIODevice::WriteOnly) {
        QFile f(folder.file(name));
        ASSERT_TRUE(f.open(mode));
        f.write(bytes);
    }
    void append(const QString& name, const QByteArray& bytes) {
        write(name, bytes, QIODevice::Append);
    }

    QByteArray read(const QString& name) const {
        QFile f(folder.file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    quint32 recoverAndOwed() {
        AttendanceWriter writer{DataFolder(folder.path())};
        return writer.memoryOf(kTerminal).owed();
    }

    TempFolder folder;
};

} // namespace

TEST_F(InterruptedRun, PartialLastLineIsCompletedNotRepeated) {
    beginBatch();
    append("veri.txt", kLines.left(13)); // killed in the middle of the second line
    EXPECT_EQ(recoverAndOwed(), 9u);
    EXPECT_EQ(read("veri.txt"), "A\r\n" + kLines);
    EXPECT_EQ(read("yedek_Q720/032012.txt"), "A\r\n" + kLines);
}

TEST_F(InterruptedRun, WholeBatchAlreadyWrittenIsLeftAsItIs) {
    beginBatch();
    append("veri.txt", kLines);
    append("yedek_Q720/032012.txt", kLines);
    EXPECT_EQ(recoverAndOwed(), 9u) << "written but not acknowledged";
    EXPECT_EQ(read("veri.txt"), "A\r\n" + kLines);
    EXPECT_EQ(read("yedek_Q720/032012.txt"), "A\r\n" + kLines);
}

TEST_F(InterruptedRun, VeriTakenAwayAfterTheBatchReachedTheBackupIsNotWrittenAgain) {
    beginBatch();
    append("veri.txt", kLines);
    append("yedek_Q720/032012.txt", kLines.left(5));
    ASSERT_TRUE(QFile::rename(folder.file("veri.txt"), folder.file("imported.txt")));
    recoverAndOwed();
    EXPECT_EQ(read("veri.txt"), "<missing>") << "the attendance program has these lines";
    EXPECT_EQ(read("yedek_Q720/032012.txt"), "A\r\n" + kLines);
}

TEST_F(InterruptedRun, VeriNotedWholeAndThenEmptiedIsNotGivenTheBatchAgain) {
    // Killed after veri.txt held the whole batch and the journal said so, before the backup got
    // a byte; the attendance program then took every line out of veri.txt.
    for (const bool emptied : {true, false}) {
        SCOPED_TRACE(emptied ? "emptied" : "left as it was");
        SetUp();
        beginBatch(true, 1);
        append("veri.txt", kLines);
        if (emptied)
            write("veri.txt", "");
        EXPECT_EQ(recoverAndOwed(), 9u);
        EXPECT_EQ(read("veri.txt"), emptied ? QByteArray() : "A\r\n" + kLines);
        EXPECT_EQ(read("yedek_Q720/032012.txt"), "A\r\n" + kLines);
    }
}

TEST_F(InterruptedRun, VeriEmptiedBeforeTheBatchReachedTheBackupGetsTheWholeBatch) {
    beginBatch();
    append("veri.txt", kLines.left(4));
    write("veri.txt", ""); // emptied in place by the attendance program
    recoverAndOwed();
    EXPECT_EQ(read("veri.txt"), kLines);
    EXPECT_EQ(read("yedek_Q720/032012.txt"), "A\r\n" + kLines);
}

TEST_F(InterruptedRun, VeriEmptiedAfterACutInALineGetsTheRestOfTheBatch) {
    beginBatch();
    append("veri.txt", kLines.left(14)); // killed inside the second line
    write("veri.txt", "L0002"); // the attendance program took the complete lines, left the cut one
    recoverAndOwed();
    EXPECT_EQ(read("veri.txt"), kLines.mid(9));
    EXPECT_EQ(read("yedek_Q720/032012.txt"), "A\r\n" + kLines);
}

TEST_F(InterruptedRun, VeriEmptiedAfterACutAtALineEndGetsTheWholeBatchAgain) {
    // Nothing tells whether the batch had reached veri.txt at all: a line the attendance program
    // took may stand twice, and none is lost.
    beginBatch();
    append("veri.txt", kLines.left(9));
    write("veri.txt", "");
    recoverAndOwed();
    EXPECT_EQ(read("veri.txt"), kLines);
}

TEST_F(InterruptedRun, VeriDeletedAndRecreatedIsANewFile) {
    beginBatch();
    ASSERT_TRUE(QFile::remove(folder.file("veri.txt")));
    write("veri.txt", "A\r\nZZZZZZZZZZZZZZZZZZZZZZZZZZZZ\r\n"); // longer, but not the same file
    recoverAndOwed();
    EXPECT_EQ(read("veri.txt").toStdString(),
              ("A\r\nZZZZZZZZZZZZZZZZZZZZZZZZZZZZ\r\n" + kLines).toStdString());
}

TEST_F(InterruptedRun, ForeignBytesAfterThePowerLossEndAsALineOfTheirOwn) {
    beginBatch();
    append("veri.txt", kLines.left(9) + QByteArray(4, '\0'));
    recoverAndOwed();
    EXPECT_EQ(read("veri.txt"),
              "A\r\n" + kLines.left(9) + QByteArray(4, '\0') + "\r\n" + kLines.mid(9));
}

TEST_F(InterruptedRun, FullLogBatchOwesNoAcknowledgement) {
    beginBatch(false);
    EXPECT_EQ(recoverAndOwed(), 0u);
    EXPECT_EQ(read("veri.txt"), "A\r\n" + kLines);
}

TEST_F(InterruptedRun, JournalIsSmallAgainAfterRecoveryAndRecoveryRunsOnce) {
    beginBatch();
    recoverAndOwed();
    EXPECT_FALSE(read(AttendanceWriter::journalName()).contains("L0001")) << "no lines kept";
    EXPECT_EQ(recoverAndOwed(), 9u);
    EXPECT_EQ(read("veri.txt"), "A\r\n" + kLines);
}

TEST_F(InterruptedRun, EntryCutShortByAKillWritesOnlyWhatItsCrcsProve) {
    // Killed while writing the batch's entry: no file was touched yet. Lines whose block CRC
    // is whole are written and owed their acknowledgement; a cut block writes nothing.
    const QString journal = folder.file(AttendanceWriter::journalName());
    for (const qint64 cut : {qint64(10), qint64(3)}) {
        SCOPED_TRACE(cut);
        SetUp();
        QFile::remove(journal);
        beginBatch();
        QFile f(journal);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.resize(f.size() - cut); // 10: into the last line; 3: into the entry's CRC
        f.close();
        const bool linesWhole = cut < 4;
        EXPECT_EQ(recoverAndOwed(), linesWhole ? 9u : 0u);
        EXPECT_EQ(read("veri.txt"), linesWhole ? "A\r\n" + kLines : QByteArray("A\r\n"));
        EXPECT_EQ(read("yedek_Q720/032012.txt"), read("veri.txt"));
    }
}

TEST_F(InterruptedRun, AcknowledgedBatchOwesNothing) {
    {
        AttendanceWriter writer{DataFolder(folder.path())};
        writer.open({"veri.txt"});
        writer.writeBatch(kLines, {kTerminal, true, {7, 8, 9}});
        EXPECT_EQ(writer.memoryOf(kTerminal).owed(), 9u);
        writer.acknowledged(kTerminal, 9);
        EXPECT_EQ(writer.memoryOf(kTerminal).owed(), 0u);
        writer.close();
    }
    EXPECT_EQ(recoverAndOwed(), 0u);
    EXPECT_EQ(read("veri.txt"), "A\r\n" + kLines);
}

TEST_F(InterruptedRun, AJournalOfTheFirstVersionIsReadAndRewrittenInTheCurrentOne) {
    // Version 1 had no completion entries and no flags behind a unit's state.
    protocol::PayloadWriter state;
    state.u8(quint8(journal::EntryKind::State));
    journal::writeIdentity(state, kTerminal);
    state.u32(40).u32(30);
    protocol::PayloadWriter head;
    head.bytes(QByteArray(journal::kMagic, journal::kMagicSize)).u32(1);
    write(AttendanceWriter::journalName(), head.data() + journal::entry(state.data()));
    {
        AttendanceWriter writer{DataFolder(folder.path())};
        EXPECT_EQ(writer.memoryOf(kTerminal).lastWritten, 40u);
        EXPECT_EQ(writer.memoryOf(kTerminal).owed(), 40u);
    }
    const QByteArray now = read(AttendanceWriter::journalName());
    EXPECT_EQ(now.left(journal::kHeaderSize), journal::header());
    TransferJournal journal(folder.file(AttendanceWriter::journalName()));
    EXPECT_TRUE(journal.read().sound());
    EXPECT_EQ(journal.memoryOf(kTerminal).owed(), 40u);
}
