#include "support/SimulatorFixture.h"
#include "support/SimulatorProcess.h"
#include "support/TempFolder.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace selvenor;

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
    clock.CloseConnection();
    sim.stop();
    EXPECT_EQ(sim.terminalState().names.value(4), QStringLiteral("Veli"));
    EXPECT_EQ(sim.terminalState().names.value(3), QStringLiteral("Ali"));
}

TEST(SimulatorFixture, RefusedStateIsReported) {
    SimulatorFixture sim(SimulatorFixture::state({{"machine", "x"}}));
    EXPECT_FALSE(sim.isRunning());
    EXPECT_TRUE(sim.error().contains("machine"));
}
