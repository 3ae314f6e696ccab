#include "RawClient.h"
#include "common/Errors.h"
#include "sim/StateFile.h"
#include "support/LoopbackSockets.h"
#include "support/SimulatorFixture.h"
#include "terminal/Messages.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

using namespace selvenor;
using namespace selvenor::protocol;

namespace {

int lastError(TFP_CLOCK& clock) {
    int code = -1;
    clock.GetLastErrorCode(code);
    return code;
}

bool openTcp(TFP_CLOCK& clock, const SimulatorFixture& sim, int password = 0) {
    QString host = sim.host();
    clock.ConfigureNetwork(host, sim.port(), password);
    return clock.OpenConnection(1);
}

// A header that announces the largest payload, and then nothing: a frame cut short.
QByteArray cutHeader() {
    Frame f;
    f.command = quint8(Command::SetEnrollData);
    f.sequence = 9;
    f.machine = 1;
    f.payload = QByteArray(kMaxPayloadSize, '\0');
    return encodeFrame(f).left(kHeaderSize);
}

} // namespace

TEST(SessionLimits, SilentHolderLosesTheTerminalAfterTheIdleTimeout) {
    SimulatorFixture sim(SimulatorFixture::state({{"idleTimeoutS", 1}}));
    ASSERT_TRUE(sim.isRunning()) << sim.error().toStdString();
    TFP_CLOCK holder;
    ASSERT_TRUE(openTcp(holder, sim));
    ASSERT_TRUE(holder.SetTerminalEnabled(1, false));
    // The holder now goes silent, as a window left open over lunch or a PC that lost power.

    TFP_CLOCK other;
    other.setTimeoutMs(1000);
    EXPECT_FALSE(openTcp(other, sim));
    EXPECT_EQ(lastError(other), ERR_MULTIUSER);
    QThread::msleep(1300);
    ASSERT_TRUE(openTcp(other, sim)) << lastError(other);
    EXPECT_TRUE(sim.state()["enabled"].toBool()) << "the terminal enabled itself";
    EXPECT_EQ(sim.logLines().filter("session ended: no request for 1 s").size(), 1)
        << sim.logLines().join('\n').toStdString();

    EXPECT_FALSE(holder.SetTerminalEnabled(1, false)) << "its connection was closed";
}

TEST(SessionLimits, SilentHolderOnTheSerialLineLosesTheTerminalToo) {
    SimulatorFixture sim(SimulatorFixture::state({{"idleTimeoutS", 1}}), {.serial = true});
    ASSERT_TRUE(sim.isRunning()) << sim.error().toStdString();
    sim.exportComPort(7);
    TFP_CLOCK holder;
    holder.setCommPort(7);
    ASSERT_TRUE(holder.OpenConnection(1));
    ASSERT_TRUE(holder.SetTerminalEnabled(1, false));

    TFP_CLOCK other;
    QThread::msleep(1300);
    ASSERT_TRUE(openTcp(other, sim)) << lastError(other);
    EXPECT_TRUE(sim.state()["enabled"].toBool());
    EXPECT_FALSE(holder.SetTerminalEnabled(1, false)) << "the line stays, the session is gone";
    EXPECT_EQ(lastError(holder), ERR_MULTIUSER) << "and another client holds the terminal";
    other.CloseConnection();
    EXPECT_TRUE(holder.SetTerminalEnabled(1, false)) << "a new session once the terminal is free";
}

TEST(SessionLimits, ConnectionThatNeverSpeaksIsClosed) {
    SimulatorFixture sim(SimulatorFixture::state({{"idleTimeoutS", 1}}));
    RawClient idle;
    ASSERT_TRUE(idle.connectTo(sim.port()));
    EXPECT_TRUE(idle.closedByPeer(3000));
}

TEST(SessionLimits, DefaultsAreAMinuteOfSilenceAndThirtySecondsOfLockOut) {
    const sim::TerminalState s = sim::StateFile::fromJson("{}", QStringLiteral("t.json"));
    EXPECT_EQ(s.idleTimeoutS, 60);
    EXPECT_EQ(s.authLockoutS, 30);
    for (const char* bad : {R"({"idleTimeoutS": 0})", R"({"authLockoutS": -1})"}) {
        try {
            sim::StateFile::fromJson(bad, QStringLiteral("t.json"));
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_TRUE(e.text().contains("expected an integer from")) << e.text().toStdString();
        }
    }
}

TEST(SessionLimits, SlowTerminalWithPasswordAcceptsTheRightOne) {
    // The reply to Hello comes after the control has sent it again: both must carry one nonce.
    SimulatorFixture sim(
        SimulatorFixture::state({{"password", 1234}, {"faults", QJsonObject{{"delayMs", 1600}}}}));
    TFP_CLOCK clock;
    clock.setTimeoutMs(3000);
    ASSERT_TRUE(openTcp(clock, sim, 1234)) << lastError(clock);
    EXPECT_EQ(sim.logLines().filter("OpenConnection machine=1 -> SUCCESS (repeated)").size(), 1);
}

TEST(SessionLimits, FrameCutShortIsDroppedHalfASecondAfterItsFirstByte) {
    SimulatorFixture sim;
    RawClient client;
    ASSERT_TRUE(client.connectTo(sim.port()));
    client.send(cutHeader());
    QThread::msleep(700);
    EXPECT_EQ(sim.logLines().filter("dropped a frame cut short").size(), 1)
        << "dropped on time, not only when the next bytes come";
    client.send(RawClient::request(Command::Hello, 10));
    const Frame reply = client.reply();
    EXPECT_EQ(reply.result, SUCCESS);
    EXPECT_EQ(reply.sequence, 10);
}

TEST(SessionLimits, FrameCutShortOnTheSerialLineIsDroppedToo) {
    SimulatorFixture sim(SimulatorFixture::state({}), {.serial = true});
    QSerialPort line(sim.serialPath());
    ASSERT_TRUE(line.open(QIODevice::ReadWrite));
    line.write(cutHeader());
    line.waitForBytesWritten(500);
    QThread::msleep(700);
    line.write(RawClient::request(Command::Hello, 11));
    line.waitForBytesWritten(500);
    FrameDecoder decoder;
    Frame reply;
    QElapsedTimer timer;
    timer.start();
    while (decoder.take(reply) != FrameDecoder::Status::Frame && timer.elapsed() < 3000)
        if (line.waitForReadyRead(100))
            decoder.feed(line.readAll());
    EXPECT_EQ(reply.sequence, 11);
    EXPECT_EQ(reply.command, quint8(Command::Hello));
}

TEST(SessionLimits, PasswordGuessingIsLockedOutAfterFiveFailures) {
    SimulatorFixture sim(SimulatorFixture::state({{"password", 246810}, {"authLockoutS", 2}}));
    TFP_CLOCK clock;
    clock.setTimeoutMs(1000);
    for (int guess = 1; guess <= 6; ++guess) {
        EXPECT_FALSE(openTcp(clock, sim, guess));
        EXPECT_EQ(lastError(clock), ERR_AUTH_FAILED);
    }
    EXPECT_FALSE(openTcp(clock, sim, 246810)) << "locked out: the right password is refused";
    EXPECT_EQ(lastError(clock), ERR_AUTH_FAILED);
    EXPECT_EQ(sim.logLines().filter("locked out").size(), 2) << "the sixth guess and the right one";
    QThread::msleep(2100);
    EXPECT_TRUE(openTcp(clock, sim, 246810)) << "accepted after the lock-out";
    clock.CloseConnection();

    // The count starts again after a success: five more guesses before the next lock-out.
    for (int guess = 1; guess <= 4; ++guess)
        EXPECT_FALSE(openTcp(clock, sim, guess));
    EXPECT_TRUE(openTcp(clock, sim, 246810));
}

TEST(SessionLimits, AfterALockOutEveryFurtherFailureLocksAgain) {
    SimulatorFixture sim(SimulatorFixture::state({{"password", 5}, {"authLockoutS", 1}}));
    TFP_CLOCK clock;
    clock.setTimeoutMs(1000);
    for (int guess = 1; guess <= 5; ++guess)
        EXPECT_FALSE(openTcp(clock, sim, 100 + guess));
    QThread::msleep(1100);
    EXPECT_FALSE(openTcp(clock, sim, 99)) << "one guess per lock-out once five have failed";
    EXPECT_FALSE(openTcp(clock, sim, 5));
    QThread::msleep(1100);
    EXPECT_TRUE(openTcp(clock, sim, 5));
}

TEST(SessionLimits, ConnectionsAreKeptAliveSoAHalfOpenOneDiesWithinAMinute) {
    SimulatorFixture sim;
    RawClient client;
    ASSERT_TRUE(client.connectTo(sim.port()));
    client.send(RawClient::request(Command::Hello, 1));
    ASSERT_EQ(client.reply().result, SUCCESS);
    const int fd = loopbackSocketBetween(sim.port(), client.socket.localPort());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(socketOption(fd, SOL_SOCKET, SO_KEEPALIVE), 1);
    const int idle = socketOption(fd, IPPROTO_TCP, TCP_KEEPIDLE);
    const int interval = socketOption(fd, IPPROTO_TCP, TCP_KEEPINTVL);
    const int probes = socketOption(fd, IPPROTO_TCP, TCP_KEEPCNT);
    EXPECT_LE(idle + interval * probes, 60) << idle << " " << interval << " " << probes;
}
