#include "AttendanceRig.h"

#include "app/transfer/AttendanceWriter.h"
#include "app/transfer/DataFolderLock.h"
#include "app/transfer/TerminalIdentity.h"
#include "common/Errors.h"

#include <QDir>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

using namespace selvenor;
using Icon = OperatorInterface::Icon;

namespace {

const QString kVeri = QStringLiteral("veri.txt");
const QString kVeri2 = QStringLiteral("veri2.txt");
const QString kBackup = QStringLiteral("yedek_Q720/032012.txt");
const QString kFullBackup = QStringLiteral("yedek_V77/032012.txt");
const QString kNothing = QStringLiteral("Cihazdan Alınacak Veri Yok...");
const QString kDone = QStringLiteral("Bilgiler Dosyaya Aktarıldı....");

QJsonObject stateWith(const QJsonArray& logs, int machine = 1) {
    return SimulatorFixture::state({{"logs", logs}, {"machine", machine}});
}

// The verification values whose mode columns the three commands must get right.
const QList<int> kVerifyValues{0, 8, 1, 15, 264, 1025, 1281, 1032, 65536 + 1281, -1, -300};

QJsonArray recordsWithVerify() {
    QJsonArray logs;
    for (int i = 0; i < kVerifyValues.size(); ++i)
        logs.append(SimulatorFixture::record(100 + i, kVerifyValues[i], 2012, 3, 5, 8, i));
    return logs;
}

QStringList modeColumns(const QStringList& lines) {
    QStringList modes;
    for (const QString& l : lines)
        modes << l.section(QLatin1Char(' '), -1);
    return modes;
}

} // namespace

TEST(Transfer, WritesEveryNewRecordToVeriAndTheMonthsBackupAndAcknowledgesThem) {
    AttendanceRig rig(stateWith(recordsUpTo(40)));
    const DownloadOutcome outcome = rig.transfer();
    EXPECT_EQ(outcome.status, DownloadOutcome::Written);
    EXPECT_EQ(outcome.records, 40);
    EXPECT_EQ(rig.lines(kVeri), expectedTransferLines(1, 40));
    EXPECT_EQ(rig.lines(kBackup), expectedTransferLines(1, 40));
    EXPECT_FALSE(rig.exists(kVeri2));
    EXPECT_EQ(rig.ui.texts(), QStringList{kDone});
    EXPECT_TRUE(rig.ui.shown[0].plain);
    EXPECT_EQ(rig.readFlagCount(), 40);
    EXPECT_EQ(rig.view.positions.last(), 500);
    EXPECT_EQ(rig.view.transferEnabled, (QList<bool>{false, true}));
    EXPECT_EQ(rig.ui.busyDepth, 0);
    EXPECT_TRUE(rig.sim->state()["enabled"].toBool(true));
}

TEST(Transfer, ASecondRunFindsNothingNewAndWritesNothing) {
    AttendanceRig rig(stateWith(recordsUpTo(5)));
    rig.transfer();
    rig.ui.shown.clear();
    const DownloadOutcome outcome = rig.transfer();
    EXPECT_EQ(outcome.records, 0);
    ASSERT_EQ(rig.ui.shown.size(), 1);
    EXPECT_EQ(rig.ui.shown[0].text, kNothing);
    EXPECT_EQ(rig.ui.shown[0].caption, QStringLiteral("Terminal İşlemleri"));
    EXPECT_EQ(rig.ui.shown[0].icon, Icon::Information);
    EXPECT_EQ(rig.lines(kVeri), expectedTransferLines(1, 5));
}

TEST(Transfer, AppendsToWhatTheFilesHeldAndWritesTheSecondFileWhenAsked) {
    AttendanceRig rig(stateWith(recordsUpTo(3)));
    rig.write(kVeri, "eski satir\r\n");
    rig.transfer(true);
    EXPECT_EQ(rig.lines(kVeri), QStringList{"eski satir"} + expectedTransferLines(1, 3));
    EXPECT_EQ(rig.lines(kVeri2), expectedTransferLines(1, 3));
    EXPECT_EQ(rig.lines(kBackup), expectedTransferLines(1, 3));
}

TEST(Transfer, ModeColumnOfEveryVerificationValue) {
    AttendanceRig rig(stateWith(recordsWithVerify()));
    rig.transfer();
    EXPECT_EQ(modeColumns(rig.lines(kVeri)),
              QStringList({"01", "02", "01", "15", "02", "01", "01", "02", "01", "-1", "-44"}));
    EXPECT_EQ(rig.lines(kVeri).first(), "00100 05/03/2012 08:00:00 01 01");
}

TEST(FullLog, ModeColumnsOfBothCommands) {
    AttendanceRig rig(stateWith(recordsWithVerify()));
    rig.fullLog(LogDownload::AllRecords);
    EXPECT_EQ(modeColumns(rig.lines(kVeri)),
              QStringList({"00", "08", "01", "15", "08", "01", "01", "08", "01", "-1", "-44"}));
    AttendanceRig second(stateWith(recordsWithVerify()));
    second.fullLog(LogDownload::AllRecordsInOut);
    EXPECT_EQ(modeColumns(second.lines(kVeri)),
              QStringList({"00", "08", "01", "15", "08", "01", "02", "01", "02", "-1", "-44"}));
}

TEST(Transfer, WideEnrollAndMachineNumbersLengthenTheLine) {
    QJsonArray logs{SimulatorFixture::record(123456, 1, 2012, 3, 5, 8, 7)};
    AttendanceRig rig(stateWith(logs, 123), 123);
    rig.transfer();
    EXPECT_EQ(rig.lines(kVeri), QStringList{"123456 05/03/2012 08:07:00 123 01"});
    AttendanceRig five(stateWith(logs, 5), 5);
    five.transfer();
    EXPECT_EQ(five.lines(kVeri), QStringList{"123456 05/03/2012 08:07:00 05 01"});
}

TEST(Transfer, EmptyTerminalCreatesTheFilesEmptyAndSaysSo) {
    AttendanceRig rig(stateWith({}));
    const DownloadOutcome outcome = rig.transfer();
    EXPECT_EQ(outcome.status, DownloadOutcome::Written);
    EXPECT_EQ(outcome.records, 0);
    EXPECT_EQ(rig.ui.texts(), QStringList{kNothing});
    EXPECT_TRUE(rig.exists(kVeri));
    EXPECT_TRUE(rig.exists(kBackup));
    EXPECT_TRUE(rig.bytes(kVeri).isEmpty());
    EXPECT_TRUE(rig.bytes(kBackup).isEmpty());
}

TEST(Transfer, FailingReadLogBufferShowsTheCodeNameThenNothingToRead) {
    QJsonObject state = stateWith(recordsUpTo(3));
    state["faults"] =
        QJsonObject{{"fail", QJsonArray{QJsonObject{{"op", "ReadLogBuffer"}, {"code", 5}}}}};
    AttendanceRig rig(state);
    const DownloadOutcome outcome = rig.transfer();
    EXPECT_EQ(outcome.status, DownloadOutcome::ReadFailed);
    EXPECT_EQ(outcome.resultCode, 5);
    EXPECT_EQ(rig.ui.texts(), QStringList({"ERR_NON_CARRYOUT", kNothing}));
    EXPECT_TRUE(rig.ui.shown[0].plain);
    EXPECT_TRUE(rig.bytes(kVeri).isEmpty());
    EXPECT_EQ(rig.readFlagCount(), 0);
    EXPECT_TRUE(rig.sim->state()["enabled"].toBool(true)) << "enabled again";
}

TEST(Transfer, AFailureWithOneOfThisSystemsOwnCodesShowsItsSymbol) {
    // ResultCodeName has no name for codes from 10 on; the window shows their symbol, as every
    // window does, never a bare number or an empty box.
    QJsonObject state = stateWith(recordsUpTo(3));
    state["faults"] =
        QJsonObject{{"fail", QJsonArray{QJsonObject{{"op", "ReadLogBuffer"}, {"code", 12}}}}};
    AttendanceRig rig(state);
    EXPECT_EQ(rig.transfer().resultCode, 12);
    EXPECT_EQ(rig.ui.texts(), QStringList({"ERR_WRONG_MACHINE", kNothing}));
}

TEST(Transfer, TerminalRefusingToBeDisabledEndsSilentlyWithTheFilesCreated) {
    QJsonObject state = stateWith(recordsUpTo(3));
    state["faults"] = QJsonObject{{"refuseDisable", true}};
    AttendanceRig rig(state);
    const DownloadOutcome outcome = rig.transfer(true);
    EXPECT_EQ(outcome.status, DownloadOutcome::TerminalNotDisabled);
    EXPECT_TRUE(rig.ui.shown.isEmpty());
    EXPECT_TRUE(rig.exists(kVeri));
    EXPECT_TRUE(rig.exists(kVeri2));
    EXPECT_TRUE(rig.exists(kBackup));
    EXPECT_EQ(rig.readFlagCount(), 0);
    EXPECT_EQ(rig.view.transferEnabled.last(), true);
}

TEST(Transfer, BackupFileIsNamedByTheComputersDateNotTheRecords) {
    QJsonArray logs{SimulatorFixture::record(7, 1, 2012, 12, 31, 23, 59)};
    AttendanceRig rig(stateWith(logs));
    rig.today = QDate(2013, 1, 1);
    rig.transfer();
    EXPECT_EQ(rig.lines(QStringLiteral("yedek_Q720/012013.txt")),
              QStringList{"00007 31/12/2012 23:59:00 01 01"});
    EXPECT_FALSE(rig.exists(QStringLiteral("yedek_Q720/122012.txt")));
}

TEST(Transfer, ProgressFollowsTheCounterRuleAndWraps) {
    // With events running after every record the bar shows each position: 2, 2+3, 2+3+4, ...,
    // back to 0 when 500 is reached.
    AttendanceRig rig(stateWith(recordsUpTo(40)));
    rig.ui.onEvents = [] { QThread::msleep(31); };
    rig.transfer();
    QList<int> expected{0};
    int position = 0;
    for (int counter = 2; counter <= 41; ++counter) {
        position += counter;
        if (position >= 500)
            position = 0;
        expected << position;
    }
    QList<int> shown = rig.view.positions;
    shown.removeFirst(); // the reset to 0 before the walk
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.last(), 500);
    shown.removeLast();
    for (int p : shown)
        EXPECT_TRUE(expected.contains(p)) << p;
    EXPECT_TRUE(shown.contains(0) && shown.size() > 5);
}

TEST(Transfer, TheCheckBoxDecisionHoldsForTheWholeRun) {
    AttendanceRig rig(stateWith(recordsUpTo(30)));
    bool checkBox = false;
    rig.ui.onEvents = [&] { checkBox = true; };
    ScopedEnvironment batch("SELVENOR_ATTENDANCE_BATCH", "5");
    LogDownload(rig.context(), LogDownload::NewRecords).run(checkBox, {});
    EXPECT_TRUE(checkBox);
    EXPECT_FALSE(rig.exists(kVeri2));
    EXPECT_EQ(rig.lines(kVeri), expectedTransferLines(1, 30));
}

TEST(FullLog, WritesEveryRecordReadOrNotIntoVeriAndItsOwnBackupEveryRun) {
    QJsonArray logs = recordsUpTo(4);
    QJsonObject first = logs[0].toObject();
    first["read"] = true;
    logs[0] = first;
    AttendanceRig rig(stateWith(logs));
    rig.fullLog(LogDownload::AllRecords);
    rig.fullLog(LogDownload::AllRecords);
    QStringList once;
    for (int i = 1; i <= 4; ++i)
        once << expectedLine(i, 1 + i % 28, 3, 2012, i % 24, i % 60, 1, 1);
    EXPECT_EQ(rig.lines(kVeri), once + once);
    EXPECT_EQ(rig.lines(kFullBackup), once + once);
    EXPECT_FALSE(rig.exists(kBackup));
    EXPECT_EQ(rig.ui.texts(), QStringList({kDone, kDone}));
    EXPECT_EQ(rig.readFlagCount(), 1) << "a full-log command acknowledges nothing";
    EXPECT_EQ(rig.logCount(), 4);
}

TEST(FullLog, SecondFileBecomesACopyOfVeriWhenTheBoxIsTickedAtTheEnd) {
    AttendanceRig rig(stateWith(recordsUpTo(6)));
    rig.write(kVeri2, "yalniz veri2 de\r\n");
    rig.transfer(); // lines an earlier transfer put into veri.txt only
    bool checkBox = false;
    rig.ui.onEvents = [&] { checkBox = true; }; // ticked while the command runs
    rig.fullLog(LogDownload::AllRecords, [&] { return checkBox; });
    EXPECT_EQ(rig.bytes(kVeri2), rig.bytes(kVeri));
    EXPECT_EQ(rig.lines(kVeri2).size(), 12);
    EXPECT_EQ(rig.view.memo1, rig.lines(kVeri).join(QLatin1Char('\n')));
}

TEST(FullLog, SecondFileIsLeftAloneWhenTheBoxIsClearedAtTheEnd) {
    AttendanceRig rig(stateWith(recordsUpTo(2)));
    rig.write(kVeri2, "kalir\r\n");
    bool checkBox = true;
    rig.ui.onEvents = [&] { checkBox = false; };
    rig.fullLog(LogDownload::AllRecords, [&] { return checkBox; });
    EXPECT_EQ(rig.bytes(kVeri2), "kalir\r\n");
}

TEST(FullLog, SecondCommandErasesTheRecordsOnlyAfterWritingThemAndShowsNothing) {
    AttendanceRig rig(stateWith(recordsUpTo(25)));
    ScopedEnvironment batch("SELVENOR_ATTENDANCE_BATCH", "10");
    const DownloadOutcome outcome = rig.fullLog(LogDownload::AllRecordsInOut);
    EXPECT_EQ(outcome.status, DownloadOutcome::Written);
    EXPECT_EQ(rig.lines(kVeri).size(), 25);
    EXPECT_EQ(rig.lines(kFullBackup).size(), 25);
    EXPECT_TRUE(rig.ui.shown.isEmpty());
    EXPECT_EQ(rig.logCount(), 0);
    const QStringList requests = rig.sim->logLines();
    const qsizetype clear = requests.indexOf(QRegularExpression(".*ClearLogData.*"));
    const qsizetype lastFetch = requests.lastIndexOf(QRegularExpression(".*NextAllLogRecord.*"));
    EXPECT_GT(clear, lastFetch);
}

TEST(FullLog, SecondCommandKeepsTheRecordsWhenTheWalkBreaksOff) {
    QJsonObject state = stateWith(recordsUpTo(3000));
    state["faults"] = QJsonObject{
        {"fail", QJsonArray{QJsonObject{{"op", "NextAllLogRecord"}, {"code", 3}, {"when", 2}}}}};
    AttendanceRig rig(state);
    const DownloadOutcome outcome = rig.fullLog(LogDownload::AllRecordsInOut);
    EXPECT_EQ(outcome.status, DownloadOutcome::WalkFailed);
    EXPECT_EQ(rig.logCount(), 3000) << "nothing erased";
    EXPECT_EQ(rig.lines(kVeri).size(), 1024);
    EXPECT_EQ(rig.ui.texts(), QStringList{"ERR_READ_FAIL"});
}

TEST(Transfer, ASecondDownloadOfTheSameFolderIsRefusedWhileOneRuns) {
    AttendanceRig rig(stateWith(recordsUpTo(3)));
    DataFolderLock running(DataFolder(rig.data.path()));
    try {
        rig.transfer();
        FAIL() << "not refused";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("başka bir aktarım"))) << e.what();
    }
    EXPECT_FALSE(rig.exists(kVeri));
    EXPECT_EQ(rig.readFlagCount(), 0);
    EXPECT_EQ(rig.view.transferEnabled.last(), true);
    EXPECT_EQ(rig.ui.busyDepth, 0);
}

TEST(Transfer, OneWriterOfTheCallerServesTheDownloadsOfSeveralTerminals) {
    // Two terminals with the same machine number into one data folder, through one writer that
    // the caller opened once: each terminal's records whole and in order, each unit remembered
    // and acknowledged on its own.
    ScopedEnvironment batch("SELVENOR_ATTENDANCE_BATCH", "10");
    AttendanceRig gate(stateWith(recordsUpTo(25)));
    AttendanceRig store(stateWith(recordsUpTo(15)));
    store.folder = gate.folder;
    const DataFolder folder(gate.folder);
    {
        DataFolderLock lock(folder);
        AttendanceWriter writer(folder);
        writer.open(LogDownload::fileNames(LogDownload::NewRecords, true, gate.today));
        EXPECT_EQ(LogDownload(gate.context(), LogDownload::NewRecords).run(writer, {}).records, 25);
        EXPECT_EQ(LogDownload(store.context(), LogDownload::NewRecords).run(writer, {}).records,
                  15);
        EXPECT_EQ(writer.memoryOf(TerminalIdentity::of(gate.clock)).lastWritten, 25u);
        EXPECT_EQ(writer.memoryOf(TerminalIdentity::of(store.clock)).lastWritten, 15u);
        writer.close();
    }
    const QStringList expected = expectedTransferLines(1, 25) + expectedTransferLines(1, 15);
    EXPECT_EQ(gate.lines(kVeri), expected);
    EXPECT_EQ(gate.lines(kVeri2), expected);
    EXPECT_EQ(gate.lines(kBackup), expected);
    EXPECT_EQ(gate.readFlagCount(), 25);
    EXPECT_EQ(store.readFlagCount(), 15);
    EXPECT_EQ(gate.view.transferEnabled, (QList<bool>{false, true}));
}
