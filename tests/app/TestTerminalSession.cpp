#include "SessionFixture.h"

#include "app/FingerprintWipe.h"
#include "common/Errors.h"
#include "terminal/ResultCode.h"

#include <QTcpServer>

using namespace selvenor;

namespace {

const QString kFailed = QStringLiteral("Hata..Bağlantı Kurulamadı....");

TerminalRecord serialRow(const QString& tip, const QString& port, const QString& baud,
                         int machine = 1) {
    TerminalRecord row;
    row.Terminal = QStringLiteral("Seri");
    row.TerminalNo = QString::number(machine);
    row.Tip = tip;
    row.ComPort = port;
    row.ComBaud = baud;
    return row;
}

} // namespace

class TerminalSessionTest : public SessionFixture {};

TEST_F(TerminalSessionTest, ConnectsOverTcpWithThePassword) {
    startSimulator(SimulatorFixture::state({{"machine", 4}, {"password", 2468}}));
    ASSERT_TRUE(session.connect(tcpRow(sim(), "Atölye", 4, 2468), ui))
        << ui.texts().join(";").toStdString();
    EXPECT_TRUE(session.isConnected());
    EXPECT_EQ(session.machineNumber(), 4);
    EXPECT_EQ(session.connectedTerminalName(), QStringLiteral("Atölye"));
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_TRUE(clock.SetTerminalEnabled(4, true));
}

TEST_F(TerminalSessionTest, WrongPasswordFailsAndKeepsTheMachineNumber) {
    startSimulator(SimulatorFixture::state({{"machine", 4}, {"password", 2468}}));
    EXPECT_FALSE(session.connect(tcpRow(sim(), "Atölye", 4, 1357), ui));
    EXPECT_FALSE(session.isConnected());
    EXPECT_EQ(session.machineNumber(), 4);
    EXPECT_TRUE(session.connectedTerminalName().isEmpty());
    EXPECT_EQ(session.lastConnectResult(), ERR_AUTH_FAILED);
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_TRUE(ui.shown[0].plain);
    EXPECT_EQ(ui.shown[0].text, kFailed);
}

TEST_F(TerminalSessionTest, WrongMachineNumberFails) {
    startSimulator(SimulatorFixture::state({{"machine", 4}}));
    EXPECT_FALSE(session.connect(tcpRow(sim(), "Atölye", 5), ui));
    EXPECT_EQ(session.machineNumber(), 5);
    EXPECT_EQ(session.lastConnectResult(), ERR_WRONG_MACHINE);
    EXPECT_EQ(ui.texts(), QStringList{kFailed});
}

TEST_F(TerminalSessionTest, ClosedPortFails) {
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    TerminalRecord row;
    row.TerminalNo = "1";
    row.Tip = "ethernet";
    row.Ip = "127.0.0.1";
    row.NetPort = QString::number(port);
    row.Sifre = "0";
    EXPECT_FALSE(session.connect(row, ui));
    EXPECT_EQ(session.lastConnectResult(), ERR_COMPORT_ERROR);
    EXPECT_EQ(ui.texts(), QStringList{kFailed});
}

// A terminal that takes the connection and never answers stands for one that cannot be
// reached: the attempt ends with the control's timeout instead of hanging.
TEST_F(TerminalSessionTest, SilentTerminalFailsAtTheTimeout) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    clock.setTimeoutMs(400);
    TerminalRecord row;
    row.TerminalNo = "1";
    row.Tip = "ethernet";
    row.Ip = "127.0.0.1";
    row.NetPort = QString::number(silent.serverPort());
    row.Sifre = "0";
    EXPECT_FALSE(session.connect(row, ui));
    EXPECT_EQ(session.lastConnectResult(), ERR_READ_FAIL);
    EXPECT_EQ(ui.texts(), QStringList{kFailed});
}

TEST_F(TerminalSessionTest, TipIsComparedExactly) {
    SimulatorFixture& s = startSimulator(SimulatorFixture::state({}), {.serial = true});
    s.exportComPort(3);
    const int portBefore = clock.CommPort();
    const int baudBefore = clock.Baudrate();
    for (const char* tip : {"Com", "ETHERNET", "USB", "", "com "}) {
        ui.shown.clear();
        EXPECT_FALSE(session.connect(serialRow(tip, "3", "115200"), ui)) << tip;
        EXPECT_EQ(ui.texts(), QStringList{kFailed}) << tip;
        EXPECT_EQ(session.lastConnectResult(), TerminalSession::kNoResultCode);
    }
    EXPECT_EQ(clock.CommPort(), portBefore);
    EXPECT_EQ(clock.Baudrate(), baudBefore);
    EXPECT_TRUE(requests(s).isEmpty()) << requests(s).join('\n').toStdString();
    EXPECT_TRUE(session.connect(serialRow("com", "3", "115200"), ui)) << "the line itself works";
}

TEST_F(TerminalSessionTest, SerialTerminalSetsPortAndSpeed) {
    SimulatorFixture& s =
        startSimulator(SimulatorFixture::state({{"machine", 2}}), {.serial = true});
    s.exportComPort(5);
    ASSERT_TRUE(session.connect(serialRow("com", "5", "9600", 2), ui));
    EXPECT_EQ(clock.CommPort(), 5);
    EXPECT_EQ(clock.Baudrate(), 9600);
    EXPECT_TRUE(clock.SetTerminalEnabled(2, true));
    EXPECT_EQ(requests(s).filter("SetTerminalEnabled machine=2 -> SUCCESS").size(), 1);
}

TEST_F(TerminalSessionTest, EmptySpeedSetsNeitherPropertyAndOpensWithWhatTheControlHeld) {
    SimulatorFixture& s = startSimulator(SimulatorFixture::state({}), {.serial = true});
    s.exportComPort(6);
    clock.setCommPort(6);
    clock.setBaudrate(19200);
    ASSERT_TRUE(session.connect(serialRow("com", "8", ""), ui));
    EXPECT_EQ(clock.CommPort(), 6);
    EXPECT_EQ(clock.Baudrate(), 19200);
    session.disconnect();
    ASSERT_TRUE(session.connect(serialRow("com", "", "9600"), ui));
    EXPECT_EQ(clock.CommPort(), 6);
    EXPECT_EQ(clock.Baudrate(), 19200);
}

TEST_F(TerminalSessionTest, UsbTerminalSetsIsUsbAndKeepsPortAndSpeed) {
    SimulatorFixture& s = startSimulator(SimulatorFixture::state({}), {.serial = true});
    s.exportUsbDevice();
    const int portBefore = clock.CommPort();
    const int baudBefore = clock.Baudrate();
    TerminalRecord row = serialRow("usb", "0", "19200");
    ASSERT_TRUE(session.connect(row, ui));
    EXPECT_EQ(clock.CommPort(), portBefore);
    EXPECT_EQ(clock.Baudrate(), baudBefore);
    EXPECT_TRUE(clock.IsUSB());
    EXPECT_TRUE(clock.SetTerminalEnabled(1, true));
}

// One control serves every row of the list in turn, as the main window's does all day. All
// three terminals share machine number 1, so only the link decides which one answers.
TEST_F(TerminalSessionTest, EveryConnectOpensTheLinkOfItsOwnRow) {
    const auto office = [] {
        return SimulatorFixture::state({{"users", QJsonArray{SimulatorFixture::user(42, 0, 2),
                                                             SimulatorFixture::user(43, 1, 0)}}});
    };
    SimulatorFixture& network = startSimulator(office());
    SimulatorFixture& usb = startSimulator(office(), {.serial = true});
    SimulatorFixture& com = startSimulator(office(), {.serial = true});
    usb.exportUsbDevice();
    com.exportComPort(7);
    const auto answered = [](const SimulatorFixture& s) {
        return requests(s).filter("SetTerminalEnabled").size();
    };

    ASSERT_TRUE(session.connect(tcpRow(network, "Ağ"), ui));
    EXPECT_FALSE(clock.IsUSB());
    EXPECT_TRUE(clock.SetTerminalEnabled(1, true));
    session.disconnect();

    ASSERT_TRUE(session.connect(serialRow("usb", "0", "19200"), ui));
    EXPECT_TRUE(clock.IsUSB());
    EXPECT_TRUE(FingerprintWipe::erase(session, ui).succeeded());
    session.disconnect();
    EXPECT_TRUE(usb.state()["users"].toArray().isEmpty()) << "the usb terminal was wiped";
    EXPECT_EQ(network.state()["users"].toArray().size(), 2) << "the TCP terminal is untouched";
    EXPECT_EQ(answered(network), 1);

    ASSERT_TRUE(session.connect(serialRow("com", "7", "115200"), ui));
    EXPECT_FALSE(clock.IsUSB());
    EXPECT_TRUE(clock.SetTerminalEnabled(1, true));
    session.disconnect();

    // An empty ComBaud keeps the port and speed the control held, on the serial line still.
    ASSERT_TRUE(session.connect(tcpRow(network, "Ağ"), ui));
    session.disconnect();
    ASSERT_TRUE(session.connect(serialRow("com", "7", ""), ui));
    EXPECT_TRUE(clock.SetTerminalEnabled(1, true));
    session.disconnect();

    EXPECT_EQ(answered(network), 1);
    EXPECT_EQ(answered(usb), 2) << "the wipe's bracket";
    EXPECT_EQ(answered(com), 2);
    EXPECT_EQ(com.state()["users"].toArray().size(), 2);
    EXPECT_EQ(ui.texts(), QStringList{"tamamlandı"});
}

TEST_F(TerminalSessionTest, DisconnectKeepsNumberAndNameAndReconnectUsesTheNewRow) {
    SimulatorFixture& first = startSimulator(SimulatorFixture::state({{"machine", 1}}));
    SimulatorFixture& second = startSimulator(SimulatorFixture::state({{"machine", 9}}));
    ASSERT_TRUE(session.connect(tcpRow(first, "Birinci", 1), ui));
    session.disconnect();
    EXPECT_FALSE(session.isConnected());
    EXPECT_EQ(session.machineNumber(), 1);
    EXPECT_EQ(session.connectedTerminalName(), QStringLiteral("Birinci"));
    EXPECT_FALSE(clock.SetTerminalEnabled(1, true)) << "the link is closed";

    ASSERT_TRUE(session.connect(tcpRow(second, "İkinci", 9), ui));
    EXPECT_EQ(session.machineNumber(), 9);
    EXPECT_EQ(session.connectedTerminalName(), QStringLiteral("İkinci"));
    EXPECT_TRUE(clock.SetTerminalEnabled(session.machineNumber(), true));
    EXPECT_EQ(requests(second).filter("SetTerminalEnabled").size(), 1);
    EXPECT_TRUE(requests(first).filter("SetTerminalEnabled").isEmpty());
}

TEST_F(TerminalSessionTest, NumbersThatAreNoIntegersThrowConversionErrors) {
    startSimulator(SimulatorFixture::state({}));
    const TerminalRecord good = tcpRow(sim(), "Bozuk", 3);
    struct Case {
        QString TerminalRecord::*field;
        const char* text;
        int machineAfter;
    };
    const Case cases[] = {{&TerminalRecord::TerminalNo, "3a", 0},
                          {&TerminalRecord::NetPort, "port", 3},
                          {&TerminalRecord::Sifre, "", 3}};
    for (const Case& c : cases) {
        TerminalSession fresh(clock);
        TerminalRecord row = good;
        row.*(c.field) = c.text;
        try {
            fresh.connect(row, ui);
            ADD_FAILURE() << "no conversion error for " << c.text;
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.text(), QStringLiteral("'%1' is not a valid integer value").arg(c.text));
        }
        EXPECT_FALSE(fresh.isConnected());
        EXPECT_EQ(fresh.machineNumber(), c.machineAfter);
    }
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_TRUE(requests(sim()).isEmpty());

    TerminalRecord serial = serialRow("com", "1", "hızlı");
    EXPECT_THROW(session.connect(serial, ui), ConversionError);
    EXPECT_FALSE(session.isConnected());
}
