// A session that ended without the control (the terminal's idle time, a dropped link) is opened
// again by the next operation, against the real simulator program.
#include "ControlHarness.h"

#include "support/SimulatorProcess.h"
#include "support/TempFolder.h"
#include "terminal/ExchangeBracket.h"
#include "terminal/ListWalk.h"
#include "terminal/ResultCode.h"

#include <QFile>
#include <QJsonDocument>
#include <QThread>

using namespace selvenor;

namespace {

constexpr int kIdleTimeoutS = 1;
constexpr int kPastTheIdleTimeMs = 1800;

// The simulator program with a short idle time, its state in a temporary folder.
class IdlingTerminal {
public:
    explicit IdlingTerminal(QJsonObject state, const QStringList& arguments = {}) {
        state.insert(QStringLiteral("idleTimeoutS"), kIdleTimeoutS);
        m_statePath = m_folder.file(QStringLiteral("terminal.json"));
        EXPECT_TRUE(SimulatorProcess::writeState(m_statePath, state));
        started = sim.start(m_statePath, arguments);
        EXPECT_TRUE(started) << sim.output().toStdString();
    }

    // Configures the control for the program's TCP port and opens a session.
    bool open(TFP_CLOCK& clock, int password = 0) {
        QString host = QStringLiteral("127.0.0.1");
        clock.ConfigureNetwork(host, sim.port(), password);
        return clock.OpenConnection(1);
    }

    // The log lines so far that contain `text`.
    int linesWith(const QString& text) { return int(sim.settledOutput().count(text)); }

    // The state the program wrote back when it ended.
    QJsonObject stateAtTheEnd() {
        sim.stop();
        QFile file(m_statePath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    SimulatorProcess sim;
    bool started = false;

private:
    TempFolder m_folder;
    QString m_statePath;
};

int lastError(TFP_CLOCK& clock) {
    int code = -1;
    clock.GetLastErrorCode(code);
    return code;
}

bool readClock(TFP_CLOCK& clock) {
    int year, month, day, hour, minute, dayOfWeek;
    return clock.GetTerminalTime(1, year, month, day, hour, minute, dayOfWeek);
}

} // namespace

// A window connects and the operator goes for a coffee: the terminal ends the session and
// closes the connection; the next click still works, with the password the control holds.
TEST(SessionReopen, AWindowLeftConnectedPastTheIdleTimeRunsItsNextCommand) {
    IdlingTerminal terminal(SimulatorFixture::state({{"password", 4321}}));
    ASSERT_TRUE(terminal.started);
    TFP_CLOCK clock;
    ASSERT_TRUE(terminal.open(clock, 4321)) << lastError(clock);
    QThread::msleep(kPastTheIdleTimeMs);

    EXPECT_TRUE(readClock(clock)) << ResultCodeSymbol(lastError(clock)).toStdString();
    EXPECT_EQ(terminal.linesWith(QStringLiteral("OpenConnection machine=1 -> SUCCESS")), 2);
    EXPECT_EQ(terminal.linesWith(QStringLiteral("GetTerminalTime machine=1 -> SUCCESS")), 1);
    EXPECT_EQ(terminal.linesWith(QStringLiteral("no request for 1 s")), 1);
}

// On a serial line the terminal keeps the line and answers ERR_NOT_OPEN after its idle time.
TEST(SessionReopen, OnTheSerialLineTheNotOpenAnswerOpensANewSession) {
    IdlingTerminal terminal(SimulatorFixture::state({}),
                            {QStringLiteral("--serial"), QStringLiteral("pty")});
    ASSERT_TRUE(terminal.started);
    qputenv("SELVENOR_COM11", terminal.sim.serialPath().toLocal8Bit());
    TFP_CLOCK clock;
    clock.setCommPort(11);
    ASSERT_TRUE(clock.OpenConnection(1)) << lastError(clock);
    QThread::msleep(kPastTheIdleTimeMs);

    EXPECT_TRUE(readClock(clock)) << ResultCodeSymbol(lastError(clock)).toStdString();
    EXPECT_EQ(terminal.linesWith(QStringLiteral("GetTerminalTime machine=1 -> ERR_NOT_OPEN")), 1);
    EXPECT_EQ(terminal.linesWith(QStringLiteral("GetTerminalTime machine=1 -> SUCCESS")), 1);
    clock.CloseConnection();
    qunsetenv("SELVENOR_COM11");
}

// A question box waits over lunch inside the exchange bracket: the terminal enabled itself
// when its session ended, so the new session disables it again before the step that needs it
// disabled, and the bracket still leaves it enabled.
TEST(SessionReopen, ABracketHeldPastTheIdleTimeDisablesTheTerminalAgain) {
    IdlingTerminal terminal(stateWithRecords(5));
    ASSERT_TRUE(terminal.started);
    TFP_CLOCK clock;
    ASSERT_TRUE(terminal.open(clock));
    {
        ExchangeBracket bracket(clock, 1);
        ASSERT_TRUE(bracket.entered());
        QThread::msleep(kPastTheIdleTimeMs);
        EXPECT_TRUE(clock.ClearLogData(1)) << ResultCodeSymbol(lastError(clock)).toStdString();
    }
    EXPECT_EQ(terminal.linesWith(QStringLiteral("ERR_NOT_DISABLED")), 0);
    EXPECT_EQ(terminal.linesWith(QStringLiteral("SetTerminalEnabled machine=1 -> SUCCESS")), 3)
        << "disabled, disabled again on the new session, enabled";
    clock.CloseConnection();
    const QJsonObject after = terminal.stateAtTheEnd();
    EXPECT_TRUE(after["enabled"].toBool(false)) << "the bracket left it enabled";
    EXPECT_TRUE(after["logs"].toArray().isEmpty()) << "the log was cleared";
}

// A session lost in the middle of a walk loses the walk: the records not handed out yet went
// with it, and a walk step after a new session must not say "no record left".
TEST(SessionReopen, AWalkBrokenByALostSessionStaysBrokenOnTheNewOne) {
    IdlingTerminal terminal(stateWithRecords(10));
    ASSERT_TRUE(terminal.started);
    TFP_CLOCK clock;
    ASSERT_TRUE(terminal.open(clock));
    ASSERT_TRUE(clock.ReadLogBuffer(1));
    ListWalk walk(clock);
    int tm, enroll, em, verify, y, mo, d, h, mi;
    ASSERT_TRUE(walk.step(clock.NextLogRecord(1, tm, enroll, em, verify, y, mo, d, h, mi)));
    QThread::msleep(kPastTheIdleTimeMs);
    ASSERT_TRUE(readClock(clock)) << "a new session";

    while (walk.step(clock.NextLogRecord(1, tm, enroll, em, verify, y, mo, d, h, mi))) {
    }
    EXPECT_TRUE(walk.brokeOff());
    EXPECT_EQ(walk.resultCode(), ERR_NOT_OPEN);
}

// The control that finds its session gone opens a new one only while the caller wants one.
TEST(SessionReopen, AClosedConnectionIsNotOpenedAgain) {
    IdlingTerminal terminal(SimulatorFixture::state({}));
    ASSERT_TRUE(terminal.started);
    TFP_CLOCK clock;
    ASSERT_TRUE(terminal.open(clock));
    clock.CloseConnection();
    EXPECT_FALSE(readClock(clock));
    EXPECT_EQ(lastError(clock), ERR_NOT_OPEN);
    EXPECT_EQ(terminal.linesWith(QStringLiteral("OpenConnection machine=1 -> SUCCESS")), 1);
}

// The terminal at the address was replaced while the session was away: the control does not
// carry on with another unit under the caller's feet.
TEST(SessionReopen, AnotherUnitAtTheAddressIsNotTakenForTheLostOne) {
    IdlingTerminal first(SimulatorFixture::state({{"serial", "UNIT-A"}}));
    ASSERT_TRUE(first.started);
    TFP_CLOCK clock;
    ASSERT_TRUE(first.open(clock));
    const QString port = QString::number(first.sim.port());
    first.sim.stop();
    IdlingTerminal replacement(SimulatorFixture::state({{"serial", "UNIT-B"}}),
                               {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:") + port});
    ASSERT_TRUE(replacement.started);
    ASSERT_EQ(QString::number(replacement.sim.port()), port);

    EXPECT_FALSE(readClock(clock));
    EXPECT_EQ(lastError(clock), ERR_NOT_OPEN);
    EXPECT_FALSE(clock.isOpen());
    EXPECT_EQ(replacement.linesWith(QStringLiteral("GetTerminalTime")), 0);
    EXPECT_FALSE(readClock(clock)) << "nor on the next operation";
    EXPECT_EQ(replacement.linesWith(QStringLiteral("OpenConnection machine=1 -> SUCCESS")), 1);
}
