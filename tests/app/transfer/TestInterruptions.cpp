#include "AttendanceRig.h"

#include "common/Errors.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace selvenor;

namespace {

const QString kVeri = QStringLiteral("veri.txt");
const QString kBackup = QStringLiteral("yedek_Q720/032012.txt");

QJsonObject stateWithFaults(int records, const QJsonObject& faults) {
    return SimulatorFixture::state({{"logs", recordsUpTo(records)}, {"faults", faults}});
}

// After the interruption and one fresh download: every record once, in order, in both files,
// and every record acknowledged.
void expectEveryRecordOnce(AttendanceRig& rig, int records, const QStringList& before = {}) {
    rig.restartWithoutFaults();
    rig.ui.shown.clear();
    rig.transfer();
    EXPECT_EQ(rig.lines(kVeri), before + expectedTransferLines(1, records));
    EXPECT_EQ(rig.lines(kBackup), expectedTransferLines(1, records));
    EXPECT_EQ(rig.readFlagCount(), records);
}

bool run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A file-size limit for this process (what `ulimit -f` sets), lifted again at the end.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

} // namespace

TEST(Interruption, LinkDroppedInTheMiddleOfTheRecords) {
    ScopedEnvironment batch("SELVENOR_ATTENDANCE_BATCH", "100");
    AttendanceRig rig(stateWithFaults(3000, {{"dropAfterFrames", 20}}));
    const DownloadOutcome outcome = rig.transfer();
    EXPECT_TRUE(outcome.failed());
    EXPECT_GT(outcome.records, 0);
    EXPECT_LT(outcome.records, 3000);
    EXPECT_EQ(rig.ui.texts().first(), "ERR_READ_FAIL");
    EXPECT_EQ(rig.ui.texts().last(), "Bilgiler Dosyaya Aktarıldı....");
    EXPECT_EQ(rig.lines(kVeri), expectedTransferLines(1, outcome.records));
    expectEveryRecordOnce(rig, 3000);
}

TEST(Interruption, TerminalRefusingALaterAcknowledgement) {
    ScopedEnvironment batch("SELVENOR_ATTENDANCE_BATCH", "50");
    QJsonObject faults{{"fail", QJsonArray{QJsonObject{
                                    {"op", "AcknowledgeLogRecords"}, {"code", 5}, {"when", 3}}}}};
    AttendanceRig rig(stateWithFaults(400, faults));
    const DownloadOutcome outcome = rig.transfer();
    EXPECT_EQ(outcome.status, DownloadOutcome::AcknowledgeFailed);
    EXPECT_EQ(outcome.records, 150) << "the third batch is written but not acknowledged";
    EXPECT_EQ(rig.readFlagCount(), 100);
    EXPECT_EQ(rig.lines(kVeri), expectedTransferLines(1, 150));
    expectEveryRecordOnce(rig, 400);
}

TEST(Interruption, TerminalRefusingALaterChunk) {
    QJsonObject faults{
        {"fail", QJsonArray{QJsonObject{{"op", "NextLogRecord"}, {"code", 3}, {"when", 2}}}}};
    AttendanceRig rig(stateWithFaults(2500, faults));
    const DownloadOutcome outcome = rig.transfer();
    EXPECT_EQ(outcome.status, DownloadOutcome::WalkFailed);
    EXPECT_EQ(outcome.records, 1024);
    EXPECT_EQ(rig.readFlagCount(), 1024);
    expectEveryRecordOnce(rig, 2500);
}

TEST(Interruption, FileSizeLimitReachedInTheMiddleOfABatch) {
    ScopedEnvironment batch("SELVENOR_ATTENDANCE_BATCH", "10");
    AttendanceRig rig(SimulatorFixture::state({{"logs", recordsUpTo(50)}}));
    // veri.txt has years of lines already; the limit lets two batches and half a line more in.
    const qint64 lineSize = expectedTransferLines(1, 1).first().size() + 2;
    const qint64 limit = 256 * 1024;
    const QByteArray old((limit - 20 * lineSize - lineSize / 2) - 2, 'x');
    rig.write(kVeri, old + "\r\n");
    {
        FileSizeLimit fsize(limit);
        EXPECT_THROW(rig.transfer(), FileError);
    }
    EXPECT_EQ(rig.readFlagCount(), 20) << "the two batches that stand in every file";
    EXPECT_EQ(rig.bytes(kVeri).size(), limit);
    expectEveryRecordOnce(rig, 50, {QString::fromLatin1(old)});
}

TEST(Interruption, FullDiskOnASmallTmpfs) {
    TempFolder mountPoint;
    if (!run("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint.path()}))
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        QString path;
        ~Unmount() { run("umount", {path}); }
    } unmount{mountPoint.path()};
    ScopedEnvironment batch("SELVENOR_ATTENDANCE_BATCH", "200");
    AttendanceRig rig(SimulatorFixture::state({{"logs", recordsUpTo(3000)}}));
    rig.folder = mountPoint.path();
    EXPECT_THROW(rig.transfer(), FileError);
    const int acknowledged = rig.readFlagCount();
    EXPECT_GT(acknowledged, 0);
    EXPECT_LT(acknowledged, 3000);
    ASSERT_TRUE(run("mount", {"-o", "remount,size=4m", rig.folder}));
    expectEveryRecordOnce(rig, 3000);
}

TEST(Interruption, ReadOnlyDataFolder) {
    AttendanceRig rig(SimulatorFixture::state({{"logs", recordsUpTo(30)}}));
    rig.write(kVeri, "onceki\r\n");
    if (!run("mount", {"--bind", rig.data.path(), rig.data.path()}))
        GTEST_SKIP() << "cannot bind-mount here";
    struct Unmount {
        QString path;
        ~Unmount() { run("umount", {path}); }
    } unmount{rig.data.path()};
    ASSERT_TRUE(run("mount", {"-o", "remount,bind,ro", rig.data.path()}));
    EXPECT_THROW(rig.transfer(), FileError);
    EXPECT_EQ(rig.readFlagCount(), 0);
    EXPECT_EQ(rig.view.transferEnabled.last(), true);
    ASSERT_TRUE(run("umount", {rig.data.path()}));
    expectEveryRecordOnce(rig, 30, {"onceki"});
}

namespace {

// Calls `act` once, between two records, as soon as veri.txt holds a line: the attendance
// program at work while a download runs. Events then run before every record (so set
// SELVENOR_ATTENDANCE_BATCH_MS high: batches then close by their number of records only).
void actOnceVeriHasLines(AttendanceRig& rig, std::function<void()> act) {
    rig.ui.onEvents = [&rig, act, done = false]() mutable {
        QThread::msleep(31);
        if (!done && !rig.bytes(kVeri).isEmpty()) {
            done = true;
            act();
        }
    };
}

} // namespace

TEST(Interruption, VeriEmptiedDuringTheRunThenAFailureIsRecoveredByTheNextRun) {
    // The importer empties veri.txt in place after the first batch; the second batch then stops
    // in the middle of the backup (file-size limit). The next run must recover, not refuse.
    ScopedEnvironment batch("SELVENOR_ATTENDANCE_BATCH", "10");
    ScopedEnvironment byRecordsOnly("SELVENOR_ATTENDANCE_BATCH_MS", "600000");
    AttendanceRig rig(SimulatorFixture::state({{"logs", recordsUpTo(40)}}));
    const qint64 lineSize = expectedTransferLines(1, 1).first().size() + 2;
    const qint64 limit = 256 * 1024;
    QDir(rig.folder).mkdir("yedek_Q720");
    const QByteArray old(limit - 10 * lineSize - 5 * lineSize - lineSize / 2 - 2, 'x');
    rig.write(kBackup, old + "\r\n");
    QStringList imported;
    actOnceVeriHasLines(rig, [&] { imported = importCompleteLines(rig.file(kVeri)); });
    {
        FileSizeLimit fsize(limit);
        EXPECT_THROW(rig.transfer(), FileError);
    }
    rig.ui.onEvents = {};
    EXPECT_EQ(imported, expectedTransferLines(1, 10));
    rig.restartWithoutFaults();
    const DownloadOutcome next = rig.transfer();
    EXPECT_EQ(next.status, DownloadOutcome::Written);
    EXPECT_EQ(imported + rig.lines(kVeri), expectedTransferLines(1, 40));
    EXPECT_EQ(rig.lines(kBackup),
              QStringList{QString::fromLatin1(old)} + expectedTransferLines(1, 40));
    EXPECT_EQ(rig.readFlagCount(), 40);
}

TEST(Interruption, VeriTakenAwayDuringTheRunGetsTheLaterBatchesInANewFile) {
    ScopedEnvironment batch("SELVENOR_ATTENDANCE_BATCH", "10");
    ScopedEnvironment byRecordsOnly("SELVENOR_ATTENDANCE_BATCH_MS", "600000");
    const QString moved = QStringLiteral("aktarildi.txt");
    const QList<std::pair<const char*, std::function<void(AttendanceRig&)>>> ways{
        {"moved", [&](AttendanceRig& rig) { QFile::rename(rig.file(kVeri), rig.file(moved)); }},
        {"moved and a new empty one made",
         [&](AttendanceRig& rig) {
             QFile::rename(rig.file(kVeri), rig.file(moved));
             rig.write(kVeri, {});
         }},
        {"deleted",
         [&](AttendanceRig& rig) {
             QFile::copy(rig.file(kVeri), rig.file(moved));
             QFile::remove(rig.file(kVeri));
         }},
    };
    for (const auto& [way, takeAway] : ways) {
        SCOPED_TRACE(way);
        AttendanceRig rig(SimulatorFixture::state({{"logs", recordsUpTo(40)}}));
        actOnceVeriHasLines(rig, [&] { takeAway(rig); });
        EXPECT_EQ(rig.transfer().records, 40);
        EXPECT_EQ(rig.lines(moved), expectedTransferLines(1, 10));
        EXPECT_EQ(rig.lines(kVeri), expectedTransferLines(11, 40));
        EXPECT_EQ(rig.lines(kBackup), expectedTransferLines(1, 40));
    }
}

TEST(Interruption, AWalkBrokenOffAfterWholeBatchesReportsTheLinesWritten) {
    ScopedEnvironment batch("SELVENOR_ATTENDANCE_BATCH", "1024");
    QJsonObject faults{
        {"fail", QJsonArray{QJsonObject{{"op", "NextLogRecord"}, {"code", 3}, {"when", 3}}}}};
    AttendanceRig rig(stateWithFaults(3000, faults));
    const DownloadOutcome outcome = rig.transfer();
    EXPECT_EQ(outcome.status, DownloadOutcome::WalkFailed);
    EXPECT_EQ(outcome.records, 2048);
    EXPECT_EQ(rig.ui.texts(), QStringList({"ERR_READ_FAIL", "Bilgiler Dosyaya Aktarıldı...."}));
    EXPECT_EQ(rig.lines(kVeri), expectedTransferLines(1, 2048));
    EXPECT_EQ(rig.readFlagCount(), 2048);
}
