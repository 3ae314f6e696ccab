#include "AttendanceCli.h"

#include "app/transfer/DataFolderLock.h"
#include "support/SqliteWriteHolder.h"
#include "support/UmaskGuard.h"
#include "terminal/TFP_CLOCK.h"

#include <QDirIterator>
#include <QFile>
#include <QThread>

#include <optional>

#include <sys/stat.h>

using namespace selvenor;

namespace {

mode_t modeOf(const QString& path) {
    struct stat s {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &s), 0) << path.toStdString();
    return s.st_mode;
}

} // namespace

// What the scheduled download (the service's `download --all --wait N`) meets in the site's
// data folder: the window and downloads by hand at work in the same folder.
using ScheduledDownload = AttendanceCli;

TEST_F(ScheduledDownload, WaitsForAnotherProgramsWriteToDataMdb) {
    SimulatorFixture& sim = terminal("Kapı", 30);
    // Longer than the SQLite driver's own five seconds.
    SqliteWriteHolder holder(temp.file("Data.mdb"), 7000, true);
    ASSERT_TRUE(holder.holds());
    const Result r = run({"download", "--all"});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, "Kapı: 30 kayıt yazıldı\n");
    EXPECT_TRUE(holder.committed());
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 30));
    EXPECT_EQ(readFlags(sim), 30);
}

TEST_F(ScheduledDownload, WaitsAsLongAsItsWaitForADownloadByHand) {
    SimulatorFixture& sim = terminal("Kapı", 30);
    std::optional<DataFolderLock> byHand;
    byHand.emplace(DataFolder(temp.path()));
    QProcess scheduled;
    start(scheduled, {"download", "--all", "--wait", "120"});
    // Past the five seconds a download waits by default; then the download by hand ends.
    QThread::sleep(6);
    byHand.reset();
    const Result r = finish(scheduled);
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, "Kapı: 30 kayıt yazıldı\n");
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 30));
    EXPECT_EQ(readFlags(sim), 30);
}

// The window connected to a terminal: the terminal refuses every other client (ERR_MULTIUSER)
// until the window's session ends.
class WindowSession {
public:
    explicit WindowSession(const SimulatorFixture& sim) {
        QString host = sim.host();
        m_clock.ConfigureNetwork(host, sim.port(), 0);
        m_open = m_clock.OpenConnection(1);
    }
    bool isOpen() const { return m_open; }
    void end() { m_clock.CloseConnection(); }

private:
    TFP_CLOCK m_clock;
    bool m_open = false;
};

// How often the terminal refused a client because another one held it.
int refusedConnections(const SimulatorFixture& sim) {
    return int(sim.logLines().filter("another client holds the terminal").size());
}

TEST_F(ScheduledDownload, TriesATerminalHeldByTheWindowAgainWithinItsWait) {
    SimulatorFixture& sim = terminal("Kapı", 30);
    WindowSession window(sim);
    ASSERT_TRUE(window.isOpen());
    QProcess scheduled;
    start(scheduled, {"download", "--all", "--wait", "120"});
    while (refusedConnections(sim) == 0 && scheduled.state() != QProcess::NotRunning)
        QThread::msleep(50);
    window.end();
    const Result r = finish(scheduled);
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, "Kapı: 30 kayıt yazıldı\n");
    EXPECT_GE(refusedConnections(sim), 1);
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 30));
    EXPECT_EQ(readFlags(sim), 30);
}

TEST_F(ScheduledDownload, ATerminalStillHeldWhenTheWaitRunsOutFailsTheRun) {
    SimulatorFixture& held = terminal("Kapı", 3);
    terminal("Depo", 2, 2);
    WindowSession window(held);
    ASSERT_TRUE(window.isOpen());
    const Result r = run({"download", "--all", "--wait", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Depo: 2 kayıt yazıldı\nKapı: HATA bağlanılamadı: ERR_MULTIUSER\n");
    EXPECT_EQ(readFlags(held), 0);
    EXPECT_EQ(lines("veri.txt"), expectedTransferLines(1, 2, 2));
}

TEST_F(ScheduledDownload, AWaitThatRunsOutFailsLoudlyAndTouchesNothing) {
    SimulatorFixture& sim = terminal("Kapı", 3);
    terminal("Depo", 2, 2);
    const DataFolderLock byHand{DataFolder(temp.path())};
    const Result r = run({"download", "--all", "--wait", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.count("başka bir aktarım yazıyor"), 2) << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith("Depo: HATA")) << r.out.toStdString();
    EXPECT_EQ(readFlags(sim), 0);
    EXPECT_TRUE(bytes("veri.txt").isEmpty());
}

TEST_F(ScheduledDownload, ABadWaitIsAUsageErrorBeforeAnyTerminal) {
    SimulatorFixture& sim = terminal("Kapı", 3);
    for (const char* wait : {"x", "-1", "86401", "1.5"}) {
        SCOPED_TRACE(wait);
        const Result r = run({"download", "--all", "--wait", wait});
        EXPECT_NE(r.status, 0);
        EXPECT_TRUE(r.err.contains("--wait 0 ile 86400 arasında")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("Kullanım: selvenor-cli [--data-dir KLASÖR] download"));
    }
    const Result missing = run({"download", "--all", "--wait"});
    EXPECT_NE(missing.status, 0);
    EXPECT_TRUE(missing.err.contains("--wait bir değer ister")) << missing.err.toStdString();
    EXPECT_EQ(readFlags(sim), 0);
    EXPECT_TRUE(bytes("veri.txt").isEmpty());
}

TEST_F(ScheduledDownload, FilesMadeInASharedFolderStayWritableForItsGroup) {
    const UmaskGuard operatorsUmask(022);
    // The stores too are made in the shared folder, as the package's set-up makes them.
    for (const char* name : {"Data.mdb", "Log.mdb", "Settings.ini"})
        ASSERT_TRUE(QFile::remove(temp.file(name)));
    ASSERT_EQ(::chmod(QFile::encodeName(temp.path()).constData(), 02775), 0);
    ASSERT_EQ(run({"init"}).status, 0);
    terminal("Kapı", 5);
    const Result r = run({"download", "--all", "--second-file"});
    ASSERT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    QStringList made;
    for (QDirIterator it(temp.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        made << path.mid(temp.path().size() + 1);
        EXPECT_TRUE(modeOf(path) & S_IWGRP) << path.toStdString();
    }
    for (const char* name : {"Settings.ini", "veri.txt", "veri2.txt", "aktarim.journal"})
        EXPECT_TRUE(made.contains(name)) << name;
    EXPECT_TRUE(made.contains(backupName())) << made.join(' ').toStdString();
    // The same commands in an ordinary folder keep the operator's umask.
    ASSERT_EQ(::chmod(QFile::encodeName(temp.path()).constData(), 0755), 0);
    QFile::remove(temp.file("veri2.txt"));
    ASSERT_EQ(run({"download", "--all", "--second-file"}).status, 0);
    EXPECT_EQ(modeOf(temp.file("veri2.txt")) & 0777, mode_t(0644));
}
