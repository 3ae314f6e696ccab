// The link under stress, seen from the control: garbage on the line, replies cut short.
#include "ControlHarness.h"

#include "support/SimulatorProcess.h"
#include "support/TempFolder.h"
#include "terminal/ResultCode.h"

#include <QTcpSocket>

using namespace selvenor;

namespace {

QByteArray markerFlood(int bytes) {
    const QByteArray unit("\xA5\x5A\x00\x00\x00\x3F\xEE", 7);
    return unit.repeated(bytes / unit.size());
}

} // namespace

// Every marker of the burst announces the largest frame. Nobody needs a session to send it. The
// terminal answers the control, whose every request gives up after 5 s.
TEST(LinkUnderStress, AfterAMegabyteOfMarkersTheTerminalAnswersWithinFiveSeconds) {
    TempFolder folder;
    const QString statePath = folder.file(QStringLiteral("terminal.json"));
    ASSERT_TRUE(SimulatorProcess::writeState(statePath, SimulatorFixture::state({})));
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start(statePath, {QStringLiteral("--quiet")})) << sim.output().toStdString();

    QTcpSocket attacker;
    attacker.connectToHost(QStringLiteral("127.0.0.1"), sim.port());
    ASSERT_TRUE(attacker.waitForConnected(3000));
    attacker.write(markerFlood(1 << 20));
    while (attacker.bytesToWrite() > 0 && attacker.waitForBytesWritten(5000)) {
    }

    TFP_CLOCK clock;
    clock.setTimeoutMs(5000);
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, sim.port(), 0);
    ASSERT_TRUE(clock.OpenConnection(1));
    int year, month, day, hour, minute, dayOfWeek;
    EXPECT_TRUE(clock.GetTerminalTime(1, year, month, day, hour, minute, dayOfWeek))
        << "each request was answered within the control's 5 s";
}

// The first reply of the clock goes out cut in half; the retry gets the whole reply again.
TEST(LinkUnderStress, AReplyCutShortOnceStillCompletesTheOperation) {
    ConnectedControl c(SimulatorFixture::state(
        {{"faults", QJsonObject{{"corrupt", QJsonArray{QJsonObject{{"op", "GetTerminalTime"},
                                                                   {"when", "once"},
                                                                   {"kind", "truncate"}}}}}}}));
    ASSERT_TRUE(c.connect());
    int year, month, day, hour, minute, dayOfWeek;
    EXPECT_TRUE(c.clock.GetTerminalTime(1, year, month, day, hour, minute, dayOfWeek))
        << ResultCodeSymbol(c.lastError()).toStdString();
    EXPECT_GE(year, 2000);
}
