#include "RawClient.h"
#include "support/SimulatorFixture.h"
#include "support/SimulatorProcess.h"
#include "support/TempFolder.h"
#include "terminal/Messages.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace selvenor;
using namespace selvenor::protocol;

namespace {

QString writeState(const TempFolder& folder, const QByteArray& json) {
    const QString path = folder.file(QStringLiteral("state.json"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(json);
    return path;
}

} // namespace

TEST(SimulatorProgram, BadStateFileStopsTheStartWithAClearError) {
    TempFolder folder;
    const QString path = writeState(folder, R"({"users": [{"enroll": 1, "backup": 0}]})");
    SimulatorProcess sim;
    EXPECT_EQ(sim.runToEnd({"--state", path}), 2);
    EXPECT_TRUE(sim.output().contains(QStringLiteral("state file '%1'").arg(path)));
    EXPECT_TRUE(sim.output().contains("users[0].template"));
}

TEST(SimulatorProgram, MissingStateFileIsNamed) {
    SimulatorProcess sim;
    EXPECT_EQ(sim.runToEnd({"--state", "/nonexistent/state.json"}), 2);
    EXPECT_TRUE(sim.output().contains("/nonexistent/state.json"));
}

TEST(SimulatorProgram, ServesTheControlAndLogsOneLinePerRequest) {
    TempFolder folder;
    const QJsonObject state =
        SimulatorFixture::state({{"users", QJsonArray{SimulatorFixture::user(1, 11, 2, 77)}}});
    const QString path = writeState(folder, QJsonDocument(state).toJson());
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start(path, {"--machine", "5", "--password", "31"}))
        << sim.output().toStdString();

    TFP_CLOCK clock;
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, sim.port(), 31);
    ASSERT_TRUE(clock.OpenConnection(5));
    ASSERT_TRUE(clock.SetTerminalEnabled(5, false));
    ASSERT_TRUE(clock.DeleteEnrollData(5, 1, 1, 11));
    ASSERT_TRUE(clock.SetTerminalEnabled(5, true));
    clock.CloseConnection();
    sim.stop();

    const QStringList lines = sim.output().split(QLatin1Char('\n'));
    EXPECT_EQ(lines.filter(QStringLiteral("DeleteEnrollData machine=5 -> SUCCESS")).size(), 1);
    EXPECT_EQ(lines.filter(QStringLiteral("SetTerminalEnabled")).size(), 2);
    EXPECT_EQ(lines.filter(QStringLiteral("Authenticate")).size(), 1);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject after = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_TRUE(after["users"].toArray().isEmpty()) << "the state file was rewritten";
    EXPECT_EQ(after["machine"].toInt(), 5);
}

TEST(SimulatorProgram, FaultOptionsReachTheTerminal) {
    TempFolder folder;
    const QString path = writeState(folder, "{}");
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start(path, {"--refuse-disable", "--fail", "GetTerminalTime:9:always"}));
    TFP_CLOCK clock;
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, sim.port(), 0);
    ASSERT_TRUE(clock.OpenConnection(1));
    EXPECT_FALSE(clock.SetTerminalEnabled(1, false));
    int y, mo, d, h, mi, dow, code = 0;
    EXPECT_FALSE(clock.GetTerminalTime(1, y, mo, d, h, mi, dow));
    clock.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_NOSUPPORT);
}

TEST(SimulatorProgram, SerialPseudoTerminalOfTheProgram) {
    TempFolder folder;
    const QString path = writeState(folder, R"({"clock": "2012-03-07T09:05:00"})");
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start(path, {"--serial", "pty"})) << sim.output().toStdString();
    ASSERT_FALSE(sim.serialPath().isEmpty());
    qputenv("SELVENOR_COM2", sim.serialPath().toLocal8Bit());
    TFP_CLOCK clock;
    clock.setCommPort(2);
    clock.setBaudrate(115200);
    ASSERT_TRUE(clock.OpenConnection(1));
    int y, mo, d, h, mi, dow;
    ASSERT_TRUE(clock.GetTerminalTime(1, y, mo, d, h, mi, dow));
    EXPECT_EQ(mi, 5);
    qunsetenv("SELVENOR_COM2");
}

TEST(SimulatorFixture, StateCanBeInspectedAfterTheRun) {
    SimulatorFixture sim(SimulatorFixture::state({{"names", QJsonObject{{"3", "Ali"}}}}));
    ASSERT_TRUE(sim.isRunning());
    TFP_CLOCK clock;
    QString host = sim.host();
    clock.ConfigureNetwork(host, sim.port(), 0);
    ASSERT_TRUE(clock.OpenConnection(1));
    QString name = QStringLiteral("Veli");
    ASSERT_TRUE(clock.SetUserName(0, 1, 4, 1, name));
    EXPECT_EQ(sim.state()["names"].toObject()["4"].toString(), QStringLiteral("Veli"))
        << "the running terminal's state";
    clock.CloseConnection();
    sim.stop();
    EXPECT_EQ(sim.terminalState().names.value(4), QStringLiteral("Veli")) << "the state file";
    EXPECT_EQ(sim.terminalState().names.value(3), QStringLiteral("Ali"));
}

TEST(SimulatorFixture, RefusedStateIsReported) {
    SimulatorFixture sim(SimulatorFixture::state({{"machine", "x"}}));
    EXPECT_FALSE(sim.isRunning());
    EXPECT_TRUE(sim.error().contains("machine"));
}

TEST(SimulatorProgram, FaultOptionsApplyToThatRunOnly) {
    TempFolder folder;
    const QString path = writeState(
        folder, R"({"faults": {"fail": [{"op": "SetUserName", "code": 7, "when": "always"}]}})");
    TFP_CLOCK clock;
    QString host = QStringLiteral("127.0.0.1");
    {
        SimulatorProcess sim;
        ASSERT_TRUE(sim.start(
            path, {"--refuse-disable", "--fail", "GetTerminalTime:9:always", "--delay-ms", "5"}));
        clock.ConfigureNetwork(host, sim.port(), 0);
        ASSERT_TRUE(clock.OpenConnection(1));
        EXPECT_FALSE(clock.SetTerminalEnabled(1, false)) << "the option is in force";
        ASSERT_TRUE(clock.SyncTerminalTime(1)); // a change the state file keeps
        clock.CloseConnection();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject fileRule{{"op", "SetUserName"}, {"code", 7}, {"when", "always"}};
    EXPECT_EQ(saved["faults"].toObject(), (QJsonObject{{"fail", QJsonArray{fileRule}}}))
        << "only the state file's own rule is kept";

    SimulatorProcess second;
    ASSERT_TRUE(second.start(path));
    clock.ConfigureNetwork(host, second.port(), 0);
    ASSERT_TRUE(clock.OpenConnection(1));
    EXPECT_TRUE(clock.SetTerminalEnabled(1, false));
    int y, mo, d, h, mi, dow;
    EXPECT_TRUE(clock.GetTerminalTime(1, y, mo, d, h, mi, dow));
    QString name = QStringLiteral("Ali");
    EXPECT_FALSE(clock.SetUserName(0, 1, 5, 1, name)) << "the state file's rule stays";
    int code = 0;
    clock.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_MEMORY);
}

namespace {

qint64 residentKb(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

TEST(SimulatorProgram, ClientThatDoesNotReadIsNotBufferedForWithoutLimit) {
    TempFolder folder;
    QJsonArray logs;
    for (int i = 0; i < 1100; ++i)
        logs.append(SimulatorFixture::record(i, 0, 2012, 3, 1, 8, 0));
    const QString path =
        writeState(folder, QJsonDocument(SimulatorFixture::state({{"logs", logs}})).toJson());
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start(path, {"--quiet"}));
    RawClient client;
    ASSERT_TRUE(client.connectTo(sim.port()));
    client.send(RawClient::request(Command::Hello, 1));
    ASSERT_EQ(client.reply().result, SUCCESS);

    const qint64 before = residentKb(sim.processId());
    // 4,000 requests for a full chunk each (about 15 kB of reply), and not one byte read.
    const QByteArray query = encodeLogQuery(LogQuery{LogMode::All, 0, 0xFFFFFFFFu, 1024});
    QByteArray burst;
    for (int i = 0; i < 4000; ++i)
        burst += RawClient::request(Command::FetchLogChunk, quint16(2 + i), query);
    client.socket.write(burst);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 3000)
        client.socket.waitForBytesWritten(100);
    const qint64 grownKb = residentKb(sim.processId()) - before;
    EXPECT_LT(grownKb, 16 * 1024) << "the replies of 4,000 requests are about 60 MB";

    EXPECT_EQ(client.countReplies(4000, 60000), 4000) << "every request is answered once read";
}
