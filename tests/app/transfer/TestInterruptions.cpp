#include "AttendanceRig.h"

#include "common/Errors.h"

#include <QDir>
#include <QFile>
#include <QProcess>

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
