#include "AttendanceCli.h"

#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QThread>

#include <algorithm>

// Several terminals downloaded side by side into one data folder (`download --jobs N`), and the
// downloads' status that every download records.
class SiteDownloads : public AttendanceCli {
protected:
    // Terminal k punches with enroll numbers k*1000 + 1 ...: every terminal's lines differ, also
    // between terminals that share a machine number.
    static QJsonArray punches(int k, int count) {
        QJsonArray logs;
        for (int i = 1; i <= count; ++i)
            logs.append(
                SimulatorFixture::record(k * 1000 + i, 1, 2012, 3, 1 + i % 28, i % 24, i % 60));
        return logs;
    }
    static QStringList expectedPunches(int k, int count, int machine) {
        QStringList out;
        for (int i = 1; i <= count; ++i)
            out << expectedLine(k * 1000 + i, 1 + i % 28, 3, 2012, i % 24, i % 60, machine, 1);
        return out;
    }
    static int terminalOf(const QString& line) {
        return line.left(line.indexOf(' ')).toInt() / 1000;
    }
    static QStringList ofTerminal(const QStringList& lines, int k) {
        QStringList out;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(out),
                     [k](const QString& l) { return terminalOf(l) == k; });
        return out;
    }
    SimulatorFixture& site(int k, int count, int machine, const QJsonObject& faults = {}) {
        QJsonObject state =
            SimulatorFixture::state({{"logs", punches(k, count)}, {"machine", machine}});
        if (!faults.isEmpty())
            state["faults"] = faults;
        SimulatorFixture& sim = startSimulator(state);
        addTcpTerminal(QStringLiteral("T%1").arg(k), sim, machine);
        return sim;
    }
    // Every terminal's records once, in its own order, and nothing else.
    void expectEachOnce(const QStringList& lines, const QList<std::pair<int, int>>& terminals,
                        const QList<int>& machines) {
        qsizetype total = 0;
        for (int i = 0; i < terminals.size(); ++i) {
            const auto [k, count] = terminals[i];
            EXPECT_EQ(ofTerminal(lines, k), expectedPunches(k, count, machines[i])) << "T" << k;
            total += count;
        }
        EXPECT_EQ(lines.size(), total);
    }
    QStringList statusLines() {
        const Result r = run({"status"});
        QStringList l = r.out.split('\n', Qt::SkipEmptyParts);
        lastStatusExit = r.status;
        return l;
    }
    int lastStatusExit = -1;
    // A side-by-side run of every terminal, killed at `point`; it must not end well.
    void killedAt(const char* point) {
        environment.insert("SELVENOR_ATTENDANCE_BATCH", "100");
        environment.insert("SELVENOR_TEST_CRASH_AT", QString::fromLatin1(point));
        const Result killed = run({"download", "--all", "--jobs", "3"});
        environment.remove("SELVENOR_TEST_CRASH_AT");
        EXPECT_NE(killed.status, 0) << killed.out.toStdString();
    }
};

TEST_F(SiteDownloads, EachTerminalsBatchesStandWholeAndEveryRecordOnce) {
    environment.insert("SELVENOR_ATTENDANCE_BATCH", "7");
    const QList<std::pair<int, int>> terminals{{1, 60}, {2, 45}, {3, 80}, {4, 33}};
    const QList<int> machines{1, 1, 2, 1}; // three of them share machine number 1
    // Replies a little late, so the terminals' batches really arrive in turns.
    for (int i = 0; i < terminals.size(); ++i)
        site(terminals[i].first, terminals[i].second, machines[i], {{"delayMs", 5}});
    const Result r = run({"download", "--all", "--jobs", "4", "--second-file"});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, "T1: 60 kayıt yazıldı\nT2: 45 kayıt yazıldı\nT3: 80 kayıt yazıldı\n"
                     "T4: 33 kayıt yazıldı\n");
    const QStringList veri = lines("veri.txt");
    expectEachOnce(veri, terminals, machines);
    EXPECT_EQ(lines("veri2.txt"), veri);
    EXPECT_EQ(lines(backupName()), veri);

    // A terminal's lines come in runs of whole batches of 7; only its last batch may be short.
    QMap<int, int> left;
    int runs = 0;
    for (const auto& [k, count] : terminals)
        left[k] = count;
    for (qsizetype at = 0; at < veri.size();) {
        const int k = terminalOf(veri[at]);
        qsizetype end = at;
        while (end < veri.size() && terminalOf(veri[end]) == k)
            ++end;
        const int run = int(end - at);
        left[k] -= run;
        EXPECT_TRUE(run % 7 == 0 || left[k] == 0) << "a batch of T" << k << " was split";
        at = end;
        ++runs;
    }
    EXPECT_GT(runs, 4) << "the terminals' batches came in turns";
    const Result again = run({"download", "--all"});
    EXPECT_EQ(again.out.count("0 kayıt yazıldı (yeni kayıt yok)"), 4) << again.out.toStdString();
    EXPECT_EQ(lines("veri.txt"), veri);
}

TEST_F(SiteDownloads, KilledSideBySideRunsWriteEveryRecordOncePerTerminal) {
    // A side-by-side run killed at each moment of a batch (inside a line of veri.txt, between
    // veri.txt and the backup, half way into the backup...), the attendance program importing
    // between runs; then a run to the end. Batches of 100, so each terminal needs several.
    const QList<std::pair<int, int>> terminals{{1, 450}, {2, 300}, {3, 520}};
    const QList<int> machines{1, 1, 3};
    for (const char* point :
         {"begun:2", "cut0:3", "done0:4", "file1:2", "cut1:5", "written:4", "acknowledged:3"}) {
        SCOPED_TRACE(point);
        freshDataFolder();
        QList<SimulatorFixture*> sims;
        for (int i = 0; i < terminals.size(); ++i)
            sims << &site(terminals[i].first, terminals[i].second, machines[i]);
        QStringList imported;
        killedAt(point);
        imported += importVeri();
        killedAt(point);
        const Result last = run({"download", "--all", "--jobs", "3"});
        EXPECT_EQ(last.status, 0) << last.out.toStdString() << last.err.toStdString();
        imported += lines("veri.txt");
        expectEachOnce(imported, terminals, machines);
        expectEachOnce(lines(backupName()), terminals, machines);
        for (int i = 0; i < terminals.size(); ++i)
            EXPECT_EQ(readFlags(*sims[i]), terminals[i].second);
    }
}

TEST_F(SiteDownloads, FailingAndSilentTerminalsDoNotStopTheOthers) {
    site(1, 40, 1, {{"fail", QJsonArray{QJsonObject{{"op", "ReadLogBuffer"}, {"code", 5}}}}});
    site(2, 25, 1);
    // A terminal that takes the connection and never answers, and one nobody listens for.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    ASSERT_EQ(run({"add-terminal", "T3", "--number", "1", "--tcp",
                   QStringLiteral("127.0.0.1:%1").arg(silent.serverPort())})
                  .status,
              0);
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 closedPort = closed.serverPort();
    closed.close();
    ASSERT_EQ(run({"add-terminal", "T4", "--number", "1", "--tcp",
                   QStringLiteral("127.0.0.1:%1").arg(closedPort)})
                  .status,
              0);
    site(5, 30, 2);

    const Result r = run({"download", "--all", "--jobs", "2"});
    EXPECT_EQ(r.status, 1);
    const QStringList out = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(out.size(), 5) << r.out.toStdString();
    EXPECT_EQ(out[0], "T1: HATA kayıtlar yüklenemedi (ReadLogBuffer: ERR_NON_CARRYOUT)");
    EXPECT_EQ(out[1], "T2: 25 kayıt yazıldı");
    EXPECT_TRUE(out[2].startsWith("T3: HATA bağlanılamadı: ERR_")) << out[2].toStdString();
    EXPECT_TRUE(out[3].startsWith("T4: HATA bağlanılamadı: ERR_")) << out[3].toStdString();
    EXPECT_EQ(out[4], "T5: 30 kayıt yazıldı");
    expectEachOnce(lines("veri.txt"), {{2, 25}, {5, 30}}, {1, 2});
}

TEST_F(SiteDownloads, StatusTellsTheLastAttemptSuccessAndErrorOfEachTerminal) {
    const QStringList never = statusLines();
    EXPECT_EQ(never, QStringList{"Kayıtlı terminal yok"});

    SimulatorFixture& good = site(1, 12, 1);
    site(2, 5, 1, {{"fail", QJsonArray{QJsonObject{{"op", "ReadLogBuffer"}, {"code", 5}}}}});
    QStringList s = statusLines();
    EXPECT_EQ(lastStatusExit, 0) << "no download has failed yet";
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(s[0], "Terminal\tSon deneme\tSon başarı\tKayıt\tSon hata");
    EXPECT_EQ(s[1], "T1\t-\t-\t-\t-");

    EXPECT_EQ(run({"download", "--all"}).status, 1);
    s = statusLines();
    EXPECT_EQ(lastStatusExit, 1);
    ASSERT_EQ(s.size(), 3);
    QStringList t1 = s[1].split('\t');
    QStringList t2 = s[2].split('\t');
    ASSERT_EQ(t1.size(), 5);
    ASSERT_EQ(t2.size(), 5);
    EXPECT_EQ(t1[1], t1[2]) << "T1 succeeded at its attempt";
    EXPECT_TRUE(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$")
                    .match(t1[1])
                    .hasMatch())
        << t1[1].toStdString();
    EXPECT_EQ(t1[3], "12");
    EXPECT_EQ(t1[4], "-");
    EXPECT_EQ(t2[2], "-") << "T2 never succeeded";
    EXPECT_EQ(t2[4], "HATA kayıtlar yüklenemedi (ReadLogBuffer: ERR_NON_CARRYOUT)");

    // T2 repaired: its next download succeeds and the status says so.
    query("update Terminal set NetPort = " + QString::number(good.port()) +
          " where Terminal = 'T2'");
    EXPECT_EQ(run({"download", "T2"}).status, 0);
    s = statusLines();
    EXPECT_EQ(lastStatusExit, 0);
    t2 = s[2].split('\t');
    EXPECT_EQ(t2[1], t2[2]);
    EXPECT_EQ(t2[3], "0");
    EXPECT_EQ(t2[4], "-");

    // --check: who answers now.
    good.stop();
    const Result checked = run({"status", "--check"});
    EXPECT_EQ(checked.status, 1);
    const QStringList c = checked.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(c.size(), 3);
    EXPECT_TRUE(c[0].endsWith("\tŞimdi"));
    EXPECT_TRUE(c[1].endsWith("\tcevap vermiyor (ERR_COMPORT_ERROR)")) << c[1].toStdString();
}

TEST_F(SiteDownloads, StatusCheckAsksEveryTerminalSideBySide) {
    SimulatorFixture& a = site(1, 1, 1);
    site(2, 1, 4);
    const Result r = run({"status", "--check"});
    EXPECT_EQ(r.status, 0) << r.out.toStdString();
    const QStringList c = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(c.size(), 3);
    EXPECT_TRUE(c[1].endsWith(
        QStringLiteral("\tcevap veriyor (seri no %1)").arg(a.state()["serial"].toString())))
        << c[1].toStdString();
    EXPECT_EQ(readFlags(a), 0) << "the check changes nothing";
}

// The waits themselves are ScheduledDownload's; here, that a refused run is recorded.
TEST_F(SiteDownloads, ARunRefusedByABusyDataFolderIsRecordedForEveryTerminal) {
    site(1, 10, 1);
    QLockFile held(temp.file("aktarim.lock"));
    ASSERT_TRUE(held.tryLock(0));
    const Result refused = run({"download", "--all", "--wait", "0"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.startsWith("T1: HATA Bu veri klasörüne başka bir aktarım yazıyor"))
        << refused.out.toStdString();
    EXPECT_TRUE(lines("veri.txt").isEmpty());
    EXPECT_TRUE(statusLines()[1].contains("başka bir aktarım yazıyor"));
}

TEST_F(SiteDownloads, BadJobsAndWaitValuesAreRefusedBeforeAnything) {
    site(1, 3, 1);
    for (const QStringList& args :
         {QStringList{"--jobs", "0"}, QStringList{"--jobs", "x"}, QStringList{"--wait", "-1"}}) {
        const Result r = run(QStringList{"download", "--all"} + args);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(args[0])) << r.err.toStdString();
    }
    EXPECT_TRUE(lines("veri.txt").isEmpty());
    EXPECT_EQ(statusLines()[1], "T1\t-\t-\t-\t-");
}
