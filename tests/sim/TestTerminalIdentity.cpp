#include "support/SimulatorFixture.h"
#include "support/SimulatorProcess.h"
#include "support/TempFolder.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

#include <QFile>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace selvenor;

namespace {

struct Identity {
    QString serial;
    quint32 generation = 0;
};

QString writeState(const QString& path, const QByteArray& json) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(json);
    return path;
}

QJsonObject readState(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

// Starts the real program on `statePath`, connects and reads the identity the control reports.
Identity identityOfARun(const QString& statePath, int password = 0) {
    SimulatorProcess sim;
    EXPECT_TRUE(sim.start(statePath)) << sim.output().toStdString();
    TFP_CLOCK clock;
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, sim.port(), password);
    EXPECT_TRUE(clock.OpenConnection(1));
    const Identity identity{clock.TerminalSerial(), clock.LogGeneration()};
    clock.CloseConnection();
    EXPECT_TRUE(clock.TerminalSerial().isEmpty()) << "nothing is reported without a connection";
    EXPECT_EQ(clock.LogGeneration(), 0u);
    return identity;
}

} // namespace

TEST(TerminalIdentity, CopiesOfAStateWithoutSerialBecomeTwoUnitsThatKeepTheirIdentity) {
    TempFolder folder;
    const QByteArray json = R"({"machine": 1, "password": 0})";
    const QString a = writeState(folder.file("a.json"), json);
    const QString b = writeState(folder.file("b.json"), json);

    const Identity firstA = identityOfARun(a);
    const Identity firstB = identityOfARun(b);
    EXPECT_FALSE(firstA.serial.isEmpty());
    EXPECT_NE(firstA.generation, 0u);
    EXPECT_NE(firstA.serial, firstB.serial) << "two units built from one state";
    EXPECT_NE(firstA.generation, firstB.generation);
    EXPECT_EQ(readState(a)["serial"].toString(), firstA.serial) << "written back at the start";
    EXPECT_EQ(quint32(readState(a)["logGeneration"].toDouble()), firstA.generation);

    const Identity againA = identityOfARun(a);
    const Identity againB = identityOfARun(b);
    EXPECT_EQ(againA.serial, firstA.serial) << "kept across restarts";
    EXPECT_EQ(againA.generation, firstA.generation);
    EXPECT_EQ(againB.serial, firstB.serial);
    EXPECT_EQ(againB.generation, firstB.generation);
}

TEST(TerminalIdentity, GivenIdentityIsReportedAfterTheChallenge) {
    SimulatorFixture sim(SimulatorFixture::state(
        {{"serial", "OGT-4471"}, {"logGeneration", 77}, {"nextSequence", 1}, {"password", 1234}}));
    ASSERT_TRUE(sim.isRunning()) << sim.error().toStdString();
    TFP_CLOCK clock;
    QString host = sim.host();
    clock.ConfigureNetwork(host, sim.port(), 4321);
    EXPECT_FALSE(clock.OpenConnection(1));
    EXPECT_TRUE(clock.TerminalSerial().isEmpty()) << "a refused password tells nothing";
    clock.ConfigureNetwork(host, sim.port(), 1234);
    ASSERT_TRUE(clock.OpenConnection(1));
    EXPECT_EQ(clock.TerminalSerial(), QStringLiteral("OGT-4471"));
    EXPECT_EQ(clock.LogGeneration(), 77u);
    EXPECT_EQ(sim.state()["serial"].toString(), QStringLiteral("OGT-4471")) << "never replaced";
}

TEST(TerminalIdentity, DemoTerminalHasAFixedSerial) {
    TempFolder folder;
    QFile demo(QStringLiteral(SELVENOR_DEMO_STATE));
    ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
    const QString path = writeState(folder.file("demo.json"), demo.readAll());
    const Identity identity = identityOfARun(path);
    EXPECT_EQ(identity.serial, QStringLiteral("SIM-DEMO-0001"));
    EXPECT_EQ(identity.generation, 20261101u);
}

TEST(TerminalIdentity, AStateWhoseNumberingStartsOverGetsANewLogGeneration) {
    // The simulator writes nextSequence back; a state without it numbers its records from its
    // log again, which is a new generation even when the old one is still written in it.
    TempFolder folder;
    const QString path = writeState(
        folder.file("unit.json"),
        R"({"logs": [{"enroll": 1, "year": 2012, "month": 3, "day": 5, "hour": 8, "minute": 7}]})");
    const Identity first = identityOfARun(path);
    QJsonObject state = readState(path);
    EXPECT_EQ(state["nextSequence"].toInteger(), 2);
    EXPECT_EQ(identityOfARun(path).generation, first.generation) << "kept with its numbering";
    state = readState(path);
    state.remove("nextSequence");
    writeState(path, QJsonDocument(state).toJson());
    const Identity restarted = identityOfARun(path);
    EXPECT_EQ(restarted.serial, first.serial);
    EXPECT_NE(restarted.generation, first.generation);
    EXPECT_EQ(quint32(readState(path)["logGeneration"].toInteger()), restarted.generation);
}

TEST(TerminalIdentity, BadSerialInTheStateIsRefused) {
    SimulatorFixture sim(SimulatorFixture::state({{"serial", "two words"}}));
    EXPECT_FALSE(sim.isRunning());
    EXPECT_TRUE(sim.error().contains("serial: expected a text of 1 to 32 printable ASCII"))
        << sim.error().toStdString();
    SimulatorFixture zero(SimulatorFixture::state({{"logGeneration", 0}}));
    EXPECT_FALSE(zero.isRunning());
    EXPECT_TRUE(zero.error().contains("logGeneration")) << zero.error().toStdString();
}
