#include "ControlHarness.h"
#include "support/PacedSerialLine.h"
#include "terminal/Messages.h"
#include "terminal/ResultCode.h"
#include "terminal/SerialLink.h"

#include <QElapsedTimer>

using namespace selvenor;

namespace {

SimulatorFixture::Options serial() {
    return SimulatorFixture::Options{true, false};
}

} // namespace

TEST(TerminalSerialLink, ComPortReachesTheSimulatorThroughAPseudoTerminal) {
    QJsonObject state = stateWithRecords(700);
    state.insert(QStringLiteral("password"), 55);
    state.insert(QStringLiteral("users"), QJsonArray{SimulatorFixture::user(42, 0)});
    SimulatorFixture sim(state, serial());
    ASSERT_TRUE(sim.isRunning()) << sim.error().toStdString();
    sim.exportComPort(3);
    TFP_CLOCK clock;
    clock.setPassword(55);
    clock.setCommPort(3);
    clock.setBaudrate(9600);
    ASSERT_TRUE(clock.OpenConnection(1));
    ASSERT_TRUE(clock.SetTerminalEnabled(1, false));
    ASSERT_TRUE(clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(clock, false).size(), 700);
    EXPECT_EQ(sim.logLines().filter(QStringLiteral("NextLogRecord")).size(), 11)
        << "64 records per chunk at 9600 baud";
    int privilege = 0, password = 0;
    QVector<qint32> data(kEnrollDataSize, 0);
    ASSERT_TRUE(clock.GetEnrollData(1, 42, 1, 0, privilege, data, password));
    EXPECT_EQ(data[0], SimulatorFixture::templateOf(42 * 16)[0].toInteger());
    clock.CloseConnection();

    ASSERT_TRUE(clock.OpenConnection(1)) << "the line can be opened again";
    ASSERT_TRUE(clock.ReadLogBuffer(1));
    EXPECT_EQ(walkLog(clock, false).size(), 700);
}

// At 9600 baud a chunk of 64 records takes about a second on the line, longer than a frame is
// given on a line that is not paced.
TEST(TerminalSerialLink, ADownloadAt9600BaudOnAPacedLineHandsOutEveryRecord) {
    SimulatorFixture sim(stateWithRecords(300), serial());
    ASSERT_TRUE(sim.isRunning()) << sim.error().toStdString();
    PacedSerialLine line(sim.serialPath(), 9600);
    ASSERT_TRUE(line.isOpen()) << line.error().toStdString();
    line.exportComPort(6);
    TFP_CLOCK clock;
    clock.setCommPort(6);
    clock.setBaudrate(9600);
    ASSERT_TRUE(clock.OpenConnection(1));
    ASSERT_TRUE(clock.ReadLogBuffer(1));
    const QList<int> enrolls = walkLog(clock, false);
    int code = 0;
    clock.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_LOG_END) << ResultCodeSymbol(code).toStdString();
    EXPECT_EQ(enrolls.size(), 300);
    EXPECT_TRUE(sim.logLines().filter(QStringLiteral("(repeated)")).isEmpty())
        << "no chunk was taken for lost and asked for again";
    clock.CloseConnection();
}

// A ComBaud mistyped as 10 makes every frame take seconds on the line; still nothing waits
// longer than the control's limit for one operation. The bound is generous: it is the limit that
// is tested, not the speed.
TEST(TerminalSerialLink, ASilentLineAtTenBaudIsGivenUpWithinFortySeconds) {
    PacedSerialLine line(QString(), 10);
    ASSERT_TRUE(line.isOpen()) << line.error().toStdString();
    line.exportComPort(8);
    TFP_CLOCK clock;
    clock.setCommPort(8);
    clock.setBaudrate(10);
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(clock.OpenConnection(1));
    EXPECT_LT(waited.elapsed(), 40000);
    int code = 0;
    clock.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_READ_FAIL) << ResultCodeSymbol(code).toStdString();
}

// A chunk takes about a second on the line, or is a single record: on a slow line a chunk of
// many records would take longer than an operation may wait.
TEST(TerminalSerialLink, AChunkTakesAboutASecondOnTheLineOrIsOneRecord) {
    for (int baud : {10, 50, 110, 300, 1200, 2400, 9600, 115200}) {
        const SerialLink line(QStringLiteral("/dev/null"), baud, true);
        const int records = line.chunkRecords(protocol::logRecordSize(1));
        const int replyBytes = protocol::kChunkHeaderSize + records * protocol::logRecordSize(1);
        EXPECT_GE(records, 1) << baud;
        EXPECT_TRUE(records == 1 || line.wireTimeMs(replyBytes) <= 1500)
            << baud << " baud: " << records << " records take " << line.wireTimeMs(replyBytes)
            << " ms";
    }
}

TEST(TerminalSerialLink, WrongPasswordOnTheSerialLine) {
    SimulatorFixture sim(SimulatorFixture::state({{"password", 55}}), serial());
    sim.exportComPort(4);
    TFP_CLOCK clock;
    clock.setTimeoutMs(1000);
    clock.setPassword(54);
    clock.setCommPort(4);
    EXPECT_FALSE(clock.OpenConnection(1));
    int code = 0;
    clock.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_AUTH_FAILED);
}

TEST(TerminalSerialLink, UsbUsesItsOwnDevice) {
    SimulatorFixture sim(SimulatorFixture::state({{"clock", "2012-03-07T09:05:00"}}), serial());
    sim.exportUsbDevice();
    TFP_CLOCK clock; // never configured: USB
    ASSERT_TRUE(clock.OpenConnection(1));
    int y, mo, d, h, mi, dow;
    ASSERT_TRUE(clock.GetTerminalTime(1, y, mo, d, h, mi, dow));
    EXPECT_EQ(y, 2012);
    qunsetenv("SELVENOR_USB_DEVICE");
}

TEST(TerminalSerialLink, MissingDeviceFailsWithComportError) {
    qputenv("SELVENOR_COM9", "/dev/does-not-exist");
    TFP_CLOCK clock;
    clock.setCommPort(9);
    EXPECT_FALSE(clock.OpenConnection(1));
    int code = 0;
    clock.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_COMPORT_ERROR);
    qunsetenv("SELVENOR_COM9");
}

TEST(TerminalSerialLink, SilentLineTimesOut) {
    SimulatorFixture sim(SimulatorFixture::state({}), serial());
    sim.exportComPort(5);
    sim.stop(); // the line exists no more: nobody answers
    TFP_CLOCK clock;
    clock.setTimeoutMs(300);
    clock.setCommPort(5);
    EXPECT_FALSE(clock.OpenConnection(1));
}
