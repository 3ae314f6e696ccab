#include "AttendanceCli.h"

#include <functional>

using namespace selvenor;

// What the downloads remember between runs is kept by the unit's identity: two terminals that
// share a machine number, and a unit replaced behind its list entry, each get their own.
class DownloadMemory : public AttendanceCli {
protected:
    static QJsonObject refusingOneAcknowledgement() {
        return {{"fail", QJsonArray{QJsonObject{
                             {"op", "AcknowledgeLogRecords"}, {"code", 5}, {"when", 1}}}}};
    }
    // Stops `unit` and starts it again from its state with a new log of 10 records, without its
    // faults and with `adjust` applied, behind the list entry "Kapı".
    SimulatorFixture& restartedWithTenRecords(SimulatorFixture& unit,
                                              const std::function<void(QJsonObject&)>& adjust) {
        QJsonObject state = unit.state();
        state["logs"] = recordsUpTo(10);
        state.remove("faults");
        adjust(state);
        unit.stop();
        SimulatorFixture& restarted = startSimulator(state);
        pointEntryAt("Kapı", restarted);
        return restarted;
    }
    // Points the list entry `name` at the simulator `sim`.
    void pointEntryAt(const QString& name, const SimulatorFixture& sim) {
        query(QStringLiteral("update Terminal set NetPort = %1 where Terminal = '%2'")
                  .arg(sim.port())
                  .arg(name));
    }
};

TEST_F(DownloadMemory, TwoTerminalsNumberedOneKeepTheirOwnAcknowledgements) {
    SimulatorFixture& a = terminal("Kapı", 30, 1, refusingOneAcknowledgement());
    SimulatorFixture& b = terminal("Depo", 50, 1);
    const Result first = run({"download", "Kapı"});
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(first.out, "Kapı: HATA AcknowledgeLogRecords: ERR_NON_CARRYOUT (30 kayıt yazıldı; "
                         "sonraki aktarım onaylar)\n");
    EXPECT_EQ(readFlags(a), 0);

    const Result other = run({"download", "Depo"});
    EXPECT_EQ(other.status, 0) << other.out.toStdString() << other.err.toStdString();
    EXPECT_EQ(other.out, "Depo: 50 kayıt yazıldı\n") << "Kapı's acknowledgement is not Depo's";
    EXPECT_EQ(readFlags(b), 50);
    EXPECT_EQ(readFlags(a), 0) << "still owed to Kapı";

    const Result again = run({"download", "--all"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "Depo: 0 kayıt yazıldı (yeni kayıt yok)\n"
                         "Kapı: 0 kayıt yazıldı (yeni kayıt yok)\n");
    EXPECT_EQ(readFlags(a), 30);
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 30) + expectedTransferLines(1, 50));
    EXPECT_EQ(lines(backupName()), lines("veri.txt"));
}

TEST_F(DownloadMemory, AUnitReplacedBehindItsEntryIsWrittenFromItsFirstRecord) {
    // The old unit has 30 records and refused their acknowledgement; the new one has fewer or
    // more records than that.
    for (const int newRecords : {20, 50}) {
        SCOPED_TRACE(newRecords);
        freshDataFolder();
        SimulatorFixture& old = terminal("Kapı", 30, 1, refusingOneAcknowledgement());
        EXPECT_EQ(run({"download", "Kapı"}).status, 1);
        const QStringList written = lines("veri.txt");
        EXPECT_EQ(written, expectedTransferLines(1, 30));

        SimulatorFixture& replacement = startSimulator(
            SimulatorFixture::state({{"logs", recordsUpTo(newRecords)}, {"machine", 1}}));
        pointEntryAt("Kapı", replacement);
        const Result first = run({"download", "Kapı"});
        EXPECT_EQ(first.status, 0) << first.out.toStdString() << first.err.toStdString();
        EXPECT_EQ(first.out, QStringLiteral("Kapı: %1 kayıt yazıldı\n").arg(newRecords));
        const QString oldSerial = old.state()["serial"].toString();
        const QString newSerial = replacement.state()["serial"].toString();
        EXPECT_EQ(first.err.count("başka bir terminal cevap veriyor"), 1)
            << first.err.toStdString();
        EXPECT_TRUE(first.err.contains(oldSerial) && first.err.contains(newSerial))
            << first.err.toStdString();
        EXPECT_EQ(readFlags(replacement), newRecords);
        EXPECT_EQ(lines("veri.txt"), written + expectedTransferLines(1, newRecords));

        const Result second = run({"download", "Kapı"});
        EXPECT_EQ(second.out, "Kapı: 0 kayıt yazıldı (yeni kayıt yok)\n");
        EXPECT_FALSE(second.err.contains("cevap veriyor")) << "told once";

        // The old unit back behind the entry gets the acknowledgement it is owed, and nothing is
        // written twice.
        pointEntryAt("Kapı", old);
        const Result back = run({"download", "Kapı"});
        EXPECT_EQ(back.out, "Kapı: 0 kayıt yazıldı (yeni kayıt yok)\n");
        EXPECT_EQ(back.err.count("başka bir terminal cevap veriyor"), 1);
        EXPECT_EQ(readFlags(old), 30);
        EXPECT_EQ(lines("veri.txt"), written + expectedTransferLines(1, newRecords));
    }
}

TEST_F(DownloadMemory, ARestartedRecordNumberingIsToldAndWrittenFromTheFirstRecord) {
    SimulatorFixture& unit = terminal("Kapı", 30, 1, refusingOneAcknowledgement());
    EXPECT_EQ(run({"download", "Kapı"}).status, 1);
    // The same unit after a reset: same serial, a new log generation, its numbering from 1.
    restartedWithTenRecords(unit, [](QJsonObject& state) {
        state["logGeneration"] = state["logGeneration"].toInteger() + 1;
        state.remove("nextSequence");
    });
    const Result r = run({"download", "Kapı"});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, "Kapı: 10 kayıt yazıldı\n");
    EXPECT_TRUE(r.err.contains("kayıt numaralaması yeniden başlamış")) << r.err.toStdString();
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 30) + expectedTransferLines(1, 10));
}

TEST_F(DownloadMemory, ANumberingThatStartedOverUnderTheSameGenerationIsToldAndWritten) {
    // A terminal that does not keep the protocol: its numbering starts over, and its Hello still
    // tells the old log generation. Its records come with sequence numbers the journal has
    // already written; passing them over would lose them.
    SimulatorFixture& unit = terminal("Kapı", 30, 1);
    EXPECT_EQ(run({"download", "Kapı"}).out, "Kapı: 30 kayıt yazıldı\n");
    SimulatorFixture& restarted = restartedWithTenRecords(unit, [](QJsonObject& state) {
        state["nextSequence"] = 11; // the generation is kept with it
    });
    const Result r = run({"download", "Kapı"});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, "Kapı: 10 kayıt yazıldı\n");
    EXPECT_EQ(r.err.count("log kuşağı değişmeden yeniden başlamış"), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("30 numaralı kayda kadar yazılmıştı, şimdi 1 numaralı"))
        << r.err.toStdString();
    EXPECT_EQ(readFlags(restarted), 10);
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 30) + expectedTransferLines(1, 10));

    const Result again = run({"download", "Kapı"});
    EXPECT_EQ(again.out, "Kapı: 0 kayıt yazıldı (yeni kayıt yok)\n");
    EXPECT_FALSE(again.err.contains("yeniden başlamış")) << "told once";
}

TEST_F(DownloadMemory, ARunRefusedByTheJournalDoesNotUseUpTheNoticeOfAReplacedUnit) {
    terminal("Kapı", 5, 1);
    EXPECT_EQ(run({"download", "Kapı"}).status, 0);
    const QString seen = "select Serial from TerminalIdentity";
    const QStringList before = query(seen);
    SimulatorFixture& replacement =
        startSimulator(SimulatorFixture::state({{"logs", recordsUpTo(3)}, {"machine", 1}}));
    pointEntryAt("Kapı", replacement);
    const QByteArray journal = bytes("aktarim.journal");
    overwrite("aktarim.journal", "bu bir günlük değil\r\n");

    const Result refused = run({"download", "Kapı"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(refused.err.contains("cevap veriyor")) << refused.err.toStdString();
    EXPECT_EQ(query(seen), before) << "nothing is written while the journal refuses";
    EXPECT_EQ(readFlags(replacement), 0);

    overwrite("aktarim.journal", journal);
    const Result next = run({"download", "Kapı"});
    EXPECT_EQ(next.out, "Kapı: 3 kayıt yazıldı\n");
    EXPECT_EQ(next.err.count("başka bir terminal cevap veriyor"), 1) << next.err.toStdString();
}

TEST_F(DownloadMemory, AnAcknowledgementOwedBeyondARestartedNumberingIsToldNotRepeatedForever) {
    // The owed acknowledgement of 30 goes to a unit whose numbering started over at 10 records
    // under the same generation: the terminal refuses it (ERR_INVALID_PARAM, docs/protocol.md),
    // since it never numbered a record that far.
    SimulatorFixture& unit = terminal("Kapı", 30, 1, refusingOneAcknowledgement());
    EXPECT_EQ(run({"download", "Kapı"}).status, 1);
    SimulatorFixture& restarted =
        restartedWithTenRecords(unit, [](QJsonObject& state) { state["nextSequence"] = 11; });
    const Result r = run({"download", "Kapı"});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, "Kapı: 10 kayıt yazıldı\n");
    EXPECT_EQ(r.err.count("terminal o numaraya hiç varmamış"), 1) << r.err.toStdString();
    EXPECT_EQ(readFlags(restarted), 10);
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 30) + expectedTransferLines(1, 10));
    EXPECT_EQ(run({"download", "Kapı"}).out, "Kapı: 0 kayıt yazıldı (yeni kayıt yok)\n");
}
