#include "app/transfer/AttendanceWriter.h"
#include "app/transfer/JournalCheck.h"
#include "app/transfer/JournalFormat.h"
#include "app/transfer/TransferJournal.h"
#include "support/QtPrinters.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace selvenor;

namespace {

const TerminalIdentity kGate{QStringLiteral("SIM-00000000000A"), 7};
const TerminalIdentity kStore{QStringLiteral("SIM-00000000000B"), 9};

QByteArray linesOf(int from, int to) {
    QByteArray lines;
    for (int i = from; i <= to; ++i)
        lines += "L" + QByteArray::number(i) + "\r\n";
    return lines;
}

QList<quint32> sequences(int from, int to) {
    QList<quint32> s;
    for (int i = from; i <= to; ++i)
        s << quint32(i);
    return s;
}

// A data folder whose journal remembers two units: the gate wrote 1 to 30 and was acknowledged
// up to 20; the store wrote 1 to 5, all acknowledged.
class JournalRepair : public ::testing::Test {
protected:
    void SetUp() override {
        AttendanceWriter writer{data()};
        writer.open({"veri.txt", "yedek_Q720/032012.txt"});
        writer.writeBatch(linesOf(1, 20), {kGate, true, sequences(1, 20)});
        writer.acknowledged(kGate, 20);
        writer.writeBatch(linesOf(1, 5), {kStore, true, sequences(1, 5)});
        writer.acknowledged(kStore, 5);
        writer.writeBatch(linesOf(21, 30), {kGate, true, sequences(21, 30)});
        writer.close();
    }

    DataFolder data() const { return DataFolder(folder.path()); }
    QString journalPath() const { return folder.file(AttendanceWriter::journalName()); }
    QByteArray journalBytes() const {
        QFile f(journalPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void setJournal(const QByteArray& bytes) const {
        QFile f(journalPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    JournalContents journal() const {
        TransferJournal j(journalPath());
        return j.read();
    }

    TempFolder folder;
};

} // namespace

TEST_F(JournalRepair, HeaderOverwrittenIsShownAndRepairedWithEveryEntry) {
    QByteArray bytes = journalBytes();
    bytes.replace(0, 8, "XXXXXXXX");
    setJournal(bytes);
    JournalCheck check(data());
    const QStringList shown = check.describe();
    EXPECT_FALSE(check.sound());
    EXPECT_TRUE(shown.contains(QStringLiteral(
        "Terminal SIM-00000000000A / 7: son yazılan kayıt 30, onaylanan 20, onay borcu: 30 "
        "numaralı kayda kadar")))
        << shown.join('\n').toStdString();

    const QStringList said = check.repair();
    EXPECT_TRUE(check.sound());
    EXPECT_FALSE(said.join('\n').contains("okunamadı")) << said.join('\n').toStdString();
    const JournalContents after = journal();
    EXPECT_TRUE(after.sound());
    EXPECT_FALSE(after.rebuilt);
    EXPECT_EQ(after.memoryOf(kGate).lastWritten, 30u);
    EXPECT_EQ(after.memoryOf(kGate).acknowledged, 20u);
    EXPECT_EQ(after.memoryOf(kStore).acknowledged, 5u);
    EXPECT_FALSE(after.memoryOf(kGate).reconcile);
    EXPECT_EQ(QDir(folder.path()).entryList({"aktarim.journal.bozuk-*"}).size(), 1);
}

TEST_F(JournalRepair, AHeaderOfAnUnknownVersionDoesNotHideTheEntries) {
    QByteArray bytes = journalBytes();
    bytes[journal::kHeaderSize - 1] = 9;
    setJournal(bytes);
    JournalCheck check(data());
    check.repair();
    EXPECT_EQ(journal().memoryOf(kGate).owed(), 30u);
    EXPECT_FALSE(journal().rebuilt);
}

TEST_F(JournalRepair, AJournalWithNothingReadableIsRebuiltAndEveryUnitReconciled) {
    setJournal(QByteArray(journalBytes().size(), 'x'));
    JournalCheck check(data());
    const QStringList said = check.repair(QDate(2012, 3, 7));
    EXPECT_TRUE(said.join('\n').contains("Günlüğün bir bölümü okunamadı"))
        << said.join('\n').toStdString();
    const JournalContents after = journal();
    EXPECT_TRUE(after.sound());
    EXPECT_TRUE(after.rebuilt);
    EXPECT_TRUE(after.terminals.isEmpty());
    EXPECT_TRUE(after.memoryOf(kGate).reconcile) << "a unit it does not know";
    EXPECT_TRUE(check.describe().join('\n').contains("Bellek yeniden kuruldu"));
}

TEST_F(JournalRepair, ADamagedEntryAmongSoundOnesKeepsTheOthersAndReconcilesTheUnits) {
    // An entry behind the compacted states (the store's acknowledgement of a later batch) goes
    // bad: what it said is lost, so every unit is reconciled; the rest stays remembered.
    {
        AttendanceWriter writer{data()};
        writer.open({"veri.txt", "yedek_Q720/032012.txt"});
        writer.writeBatch(linesOf(6, 8), {kStore, true, sequences(6, 8)});
        writer.acknowledged(kStore, 8);
    } // no close(): the entries stay uncompacted
    QByteArray bytes = journalBytes();
    bytes[bytes.size() - 6] = char(bytes[bytes.size() - 6] ^ 0x01);
    setJournal(bytes);
    ASSERT_FALSE(journal().sound());

    JournalCheck check(data());
    check.repair(QDate(2012, 3, 7));
    const JournalContents after = journal();
    EXPECT_TRUE(after.sound());
    EXPECT_TRUE(after.rebuilt);
    EXPECT_EQ(after.memoryOf(kGate).owed(), 30u);
    EXPECT_EQ(after.memoryOf(kStore).lastWritten, 8u);
    EXPECT_EQ(after.memoryOf(kStore).acknowledged, 5u) << "the damaged acknowledgement";
    EXPECT_TRUE(after.memoryOf(kGate).reconcile);
    EXPECT_TRUE(after.memoryOf(kStore).reconcile);
}

TEST_F(JournalRepair, ASoundJournalIsLeftAsItIs) {
    const QByteArray before = journalBytes();
    JournalCheck check(data());
    check.describe();
    EXPECT_TRUE(check.sound());
    EXPECT_EQ(check.repair(), QStringList{"Günlük sağlam; onarılacak bir şey yok."});
    EXPECT_EQ(journalBytes(), before);
}
