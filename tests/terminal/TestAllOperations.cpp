#include "ControlHarness.h"
#include "terminal/ResultCode.h"

using namespace selvenor;

namespace {

enum class Link { Tcp, Com, Usb };

// Opens `clock` on the simulator over the given link.
bool openOver(Link link, SimulatorFixture& sim, TFP_CLOCK& clock, int password) {
    switch (link) {
    case Link::Tcp: {
        QString host = sim.host();
        clock.ConfigureNetwork(host, sim.port(), password);
        break;
    }
    case Link::Com:
        sim.exportComPort(6);
        clock.setPassword(password);
        clock.setCommPort(6);
        clock.setBaudrate(115200);
        break;
    case Link::Usb:
        sim.exportUsbDevice();
        clock.setPassword(password);
        clock.setIsUSB(true);
        break;
    }
    return clock.OpenConnection(9);
}

} // namespace

class EveryOperation : public ::testing::TestWithParam<Link> {};

// Every operation of the control and the three of our own, in the order a working day might
// use them, over each link.
TEST_P(EveryOperation, RunsEndToEnd) {
    QJsonObject state = stateWithRecords(40);
    state.insert(QStringLiteral("machine"), 9);
    state.insert(QStringLiteral("password"), 2468);
    state.insert(QStringLiteral("clock"), QStringLiteral("2012-03-07T09:05:00"));
    state.insert(QStringLiteral("users"), QJsonArray{SimulatorFixture::user(42, 0, 2, 0, 9),
                                                     SimulatorFixture::user(42, 15, 2, 0x432, 9),
                                                     SimulatorFixture::user(43, 11, 0, 555, 9)});
    state.insert(QStringLiteral("names"), QJsonObject{{"42", "Ayşe Yılmaz"}});
    SimulatorFixture sim(state, SimulatorFixture::Options{GetParam() != Link::Tcp, false});
    ASSERT_TRUE(sim.isRunning()) << sim.error().toStdString();
    TFP_CLOCK clock;
    clock.setTimeoutMs(2000);
    ASSERT_TRUE(openOver(GetParam(), sim, clock, 2468));

    ASSERT_TRUE(clock.SetTerminalEnabled(9, false));
    int y, mo, d, h, mi, dow;
    ASSERT_TRUE(clock.GetTerminalTime(9, y, mo, d, h, mi, dow));
    EXPECT_EQ(QDate(y, mo, d), QDate(2012, 3, 7));
    ASSERT_TRUE(clock.SyncTerminalTime(9));

    clock.setReadMark(true);
    ASSERT_TRUE(clock.ReadLogBuffer(9));
    EXPECT_EQ(walkLog(clock, false, 9).size(), 40);
    ASSERT_TRUE(clock.AcknowledgeLogRecords(9, clock.LastLogSequence()));
    ASSERT_TRUE(clock.ReadLogBuffer(9));
    EXPECT_TRUE(walkLog(clock, false, 9).isEmpty());
    ASSERT_TRUE(clock.ReadAllLogBuffer(9));
    EXPECT_EQ(walkLog(clock, true, 9).size(), 40);

    ASSERT_TRUE(clock.ReadAllUserID(9));
    int enroll, em, backup, privilege, enabled, count = 0;
    while (clock.GetNextUserID(9, enroll, em, backup, privilege, enabled))
        ++count;
    EXPECT_EQ(count, 3);
    QVector<qint32> data(kEnrollDataSize, 0);
    int password = 0;
    ASSERT_TRUE(clock.GetEnrollData(9, 42, 9, 0, privilege, data, password));
    EXPECT_EQ(privilege, 2);
    ASSERT_TRUE(clock.SetEnrollData(9, 44, 9, 3, 0, data, 0));
    ASSERT_TRUE(clock.SetUserPrivilege(9, 42, 9, 0, 0));
    ASSERT_TRUE(clock.SetUserEnabled(9, 43, 9, 11, 0));
    ASSERT_TRUE(clock.DeleteEnrollData(9, 42, 9, 15));
    QString name;
    ASSERT_TRUE(clock.GetUserName(1, 9, 42, 9, name));
    EXPECT_EQ(name, QStringLiteral("Ayşe Yılmaz"));
    QString folded = QStringLiteral("Ayse Yilmaz");
    ASSERT_TRUE(clock.SetUserName(0, 9, 42, 9, folded));

    QJsonObject mid = sim.state();
    EXPECT_EQ(mid["users"].toArray().size(), 3);
    EXPECT_EQ(mid["names"].toObject()["42"].toString(), folded);

    ASSERT_TRUE(clock.ClearEnrollStore(9));
    ASSERT_TRUE(clock.ClearKeeperData(9));
    ASSERT_TRUE(clock.ClearLogData(9));
    ASSERT_TRUE(clock.SetTerminalEnabled(9, true));
    int code = -1;
    EXPECT_TRUE(clock.GetLastErrorCode(code));
    EXPECT_EQ(code, ERR_LOG_END) << "the last failure was the end of a walk";
    clock.CloseConnection();
    EXPECT_FALSE(clock.isOpen());

    const QJsonObject end = sim.state();
    EXPECT_TRUE(end["users"].toArray().isEmpty());
    EXPECT_TRUE(end["logs"].toArray().isEmpty());
    EXPECT_TRUE(end["enabled"].toBool(false));
}

INSTANTIATE_TEST_SUITE_P(Links, EveryOperation, ::testing::Values(Link::Tcp, Link::Com, Link::Usb),
                         [](const auto& info) {
                             switch (info.param) {
                             case Link::Com:
                                 return "com";
                             case Link::Usb:
                                 return "usb";
                             case Link::Tcp:
                                 break;
                             }
                             return "ethernet";
                         });
