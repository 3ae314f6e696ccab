#include "ControlHarness.h"
#include "support/LoopbackSockets.h"
#include "support/UnansweringHost.h"
#include "terminal/ResultCode.h"

#include <QElapsedTimer>
#include <QTcpServer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace selvenor;

TEST(TerminalConnection, OpensWithoutPasswordAndCloses) {
    ConnectedControl c(SimulatorFixture::state({}));
    EXPECT_FALSE(c.clock.isOpen());
    ASSERT_TRUE(c.connect());
    EXPECT_TRUE(c.clock.isOpen());
    c.clock.CloseConnection();
    EXPECT_FALSE(c.clock.isOpen());
    EXPECT_FALSE(c.clock.SetTerminalEnabled(1, false));
    EXPECT_EQ(c.lastError(), ERR_NOT_OPEN);
}

// A terminal that lost power or its cable leaves a connection that nobody closes; keepalive
// probes end it within a minute (the terminal ends its session on its own).
TEST(TerminalConnection, TheControlKeepsItsConnectionAlive) {
    ConnectedControl c(SimulatorFixture::state({}));
    ASSERT_TRUE(c.connect());
    const int fd = loopbackSocketBetween(0, c.sim.port());
    ASSERT_GE(fd, 0) << "the control's end of the connection";
    EXPECT_EQ(socketOption(fd, SOL_SOCKET, SO_KEEPALIVE), 1);
    const int idle = socketOption(fd, IPPROTO_TCP, TCP_KEEPIDLE);
    const int interval = socketOption(fd, IPPROTO_TCP, TCP_KEEPINTVL);
    const int probes = socketOption(fd, IPPROTO_TCP, TCP_KEEPCNT);
    EXPECT_GT(probes, 0);
    EXPECT_LE(idle + interval * probes, 60) << idle << " " << interval << " " << probes;
}

TEST(TerminalConnection, ChallengeResponseAcceptsTheRightPassword) {
    ConnectedControl c(SimulatorFixture::state({{"password", 1234}}), 1234);
    ASSERT_TRUE(c.connect());
    EXPECT_TRUE(c.clock.SetTerminalEnabled(1, true));
}

TEST(TerminalConnection, WrongPasswordIsRefused) {
    ConnectedControl c(SimulatorFixture::state({{"password", 1234}}), 4321);
    EXPECT_FALSE(c.connect());
    EXPECT_EQ(c.lastError(), ERR_AUTH_FAILED);
    EXPECT_FALSE(c.clock.isOpen());
}

TEST(TerminalConnection, MissingPasswordIsRefused) {
    ConnectedControl c(SimulatorFixture::state({{"password", 99}}), 0);
    EXPECT_FALSE(c.connect());
    EXPECT_EQ(c.lastError(), ERR_AUTH_FAILED);
}

TEST(TerminalConnection, WrongMachineNumberIsRefused) {
    ConnectedControl c(SimulatorFixture::state({{"machine", 7}}));
    EXPECT_FALSE(c.connect(1));
    EXPECT_EQ(c.lastError(), ERR_WRONG_MACHINE);
    ASSERT_TRUE(c.connect(7));
    EXPECT_FALSE(c.clock.SetTerminalEnabled(8, false)) << "every request carries the number";
    EXPECT_EQ(c.lastError(), ERR_WRONG_MACHINE);
}

TEST(TerminalConnection, APortAbove65535NeverWrapsToAPortBelow) {
    ConnectedControl c(SimulatorFixture::state({}));
    QString host = c.sim.host();
    EXPECT_FALSE(c.clock.ConfigureNetwork(host, c.sim.port() + 65536, 0));
    EXPECT_FALSE(c.clock.OpenConnection(1));
    EXPECT_EQ(c.lastError(), ERR_COMPORT_ERROR);
    EXPECT_TRUE(c.sim.logLines().isEmpty()) << c.sim.logLines().join('\n').toStdString();
}

TEST(TerminalConnection, ClosedPortFailsWithComportError) {
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    TFP_CLOCK clock;
    clock.setTimeoutMs(1000);
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, port, 0);
    EXPECT_FALSE(clock.OpenConnection(1));
    int code = 0;
    clock.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_COMPORT_ERROR);
}

TEST(TerminalConnection, UnreachableHostFailsWithinTheTimeout) {
    UnansweringHost host;
    TFP_CLOCK clock;
    clock.setTimeoutMs(300);
    QString address = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(address, host.port(), 0);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(clock.OpenConnection(1));
    EXPECT_LT(elapsed.elapsed(), 5000); // bounded by the timeout, not by the kernel's retries
    int code = 0;
    clock.GetLastErrorCode(code);
    // Whether the kernel drops the attempt before or after the handshake, the terminal is silent.
    EXPECT_TRUE(code == ERR_COMPORT_ERROR || code == ERR_READ_FAIL) << code;
}

TEST(TerminalConnection, SilentTerminalFailsWithReadFail) {
    QTcpServer silent; // accepts, never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    TFP_CLOCK clock;
    clock.setTimeoutMs(300);
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, silent.serverPort(), 0);
    EXPECT_FALSE(clock.OpenConnection(1));
    int code = 0;
    clock.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_READ_FAIL);
}

TEST(TerminalConnection, SecondClientGetsMultiuserRefusal) {
    ConnectedControl first(SimulatorFixture::state({}));
    ASSERT_TRUE(first.connect());
    TFP_CLOCK second;
    second.setTimeoutMs(1500);
    QString host = first.sim.host();
    second.ConfigureNetwork(host, first.sim.port(), 0);
    EXPECT_FALSE(second.OpenConnection(1));
    int code = 0;
    second.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_MULTIUSER);
    EXPECT_TRUE(first.clock.SetTerminalEnabled(1, true)) << "the first client keeps its session";
    first.clock.CloseConnection();
    EXPECT_TRUE(second.OpenConnection(1)) << "free again once the first client left";
}

TEST(TerminalConnection, ReconnectingToAnotherTerminalUsesTheNewOne) {
    ConnectedControl a(SimulatorFixture::state({{"machine", 1}}));
    SimulatorFixture b(SimulatorFixture::state({{"machine", 2}}));
    ASSERT_TRUE(a.connect(1));
    QString host = b.host();
    a.clock.ConfigureNetwork(host, b.port(), 0);
    ASSERT_TRUE(a.clock.OpenConnection(2));
    ASSERT_TRUE(a.clock.SetTerminalEnabled(2, false));
    EXPECT_FALSE(b.state()["enabled"].toBool());
    EXPECT_TRUE(a.sim.state()["enabled"].toBool(true));
}

TEST(TerminalConnection, DisablingIsKeptInTheStateAndUndoneWhenTheSessionEnds) {
    ConnectedControl c(SimulatorFixture::state({}));
    ASSERT_TRUE(c.connect());
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    EXPECT_FALSE(c.sim.state()["enabled"].toBool(true));
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, true));
    EXPECT_TRUE(c.sim.state()["enabled"].toBool(false));
    ASSERT_TRUE(c.clock.SetTerminalEnabled(1, false));
    c.clock.CloseConnection();
    c.sim.stop();
    EXPECT_TRUE(c.sim.state()["enabled"].toBool(false)) << "a lost session re-enables";
}

TEST(TerminalConnection, ClockReadsTheStateAndSyncSetsTheComputersTime) {
    ConnectedControl c(SimulatorFixture::state({{"clock", "2012-03-07T09:05:00"}}));
    ASSERT_TRUE(c.connect());
    int y, mo, d, h, mi, dow;
    ASSERT_TRUE(c.clock.GetTerminalTime(1, y, mo, d, h, mi, dow));
    EXPECT_EQ(y, 2012);
    EXPECT_EQ(mo, 3);
    EXPECT_EQ(d, 7);
    EXPECT_EQ(h, 9);
    EXPECT_EQ(dow, 3) << "7 March 2012 was a Wednesday";
    ASSERT_TRUE(c.clock.SyncTerminalTime(1));
    ASSERT_TRUE(c.clock.GetTerminalTime(1, y, mo, d, h, mi, dow));
    const QDateTime terminal(QDate(y, mo, d), QTime(h, mi));
    EXPECT_LT(qAbs(terminal.secsTo(QDateTime::currentDateTime())), 120);
    const QDateTime stored = QDateTime::fromString(c.sim.state()["clock"].toString(), Qt::ISODate);
    EXPECT_LT(qAbs(stored.secsTo(QDateTime::currentDateTime())), 120);
}

TEST(TerminalConnection, TimeoutComesFromTheEnvironment) {
    qputenv("SELVENOR_TERMINAL_TIMEOUT_MS", "1234");
    TFP_CLOCK configured;
    qputenv("SELVENOR_TERMINAL_TIMEOUT_MS", "garbage");
    TFP_CLOCK fallback;
    qunsetenv("SELVENOR_TERMINAL_TIMEOUT_MS");
    EXPECT_EQ(configured.timeoutMs(), 1234);
    EXPECT_EQ(fallback.timeoutMs(), 3000);
}
