#include "SessionFixture.h"

#include "app/ConnectCommand.h"
#include "app/ConnectionView.h"
#include "app/FingerprintWipe.h"
#include "common/Errors.h"
#include "terminal/ResultCode.h"

using namespace selvenor;

namespace {

// The main window's part in the connect command: its button caption and the enabled state of
// the six terminal commands, with every change recorded.
class WindowState : public ConnectionView {
public:
    QString connectCaption() const override { return caption; }
    void setConnectCaption(const QString& text) override { caption = text; }
    void setTerminalCommandsEnabled(bool enabled) override {
        commandsEnabled = enabled;
        changes << enabled;
    }

    QString caption = QStringLiteral("BAGLAN");
    bool commandsEnabled = false;
    QList<bool> changes;
};

} // namespace

class ConnectCommandTest : public SessionFixture {
protected:
    WindowState window;
    ConnectCommand command{session, window, ui};
};

TEST_F(ConnectCommandTest, ConnectThenDisconnect) {
    startSimulator(SimulatorFixture::state({}));
    command.click(tcpRow(sim(), "Giriş"));
    EXPECT_EQ(window.caption, QStringLiteral("BAGLANTI_KES"));
    EXPECT_TRUE(window.commandsEnabled);
    EXPECT_EQ(window.changes, QList<bool>({false, true}));
    EXPECT_TRUE(session.isConnected());

    command.click(TerminalRecord()); // the row does not matter for disconnecting
    EXPECT_EQ(window.caption, QStringLiteral("BAGLAN"));
    EXPECT_FALSE(window.commandsEnabled);
    EXPECT_FALSE(session.isConnected());
    EXPECT_FALSE(clock.isOpen());
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST_F(ConnectCommandTest, FailedConnectionLeavesCommandsDisabled) {
    startSimulator(SimulatorFixture::state({{"password", 77}}));
    window.commandsEnabled = true; // whatever they were, connecting disables them first
    command.click(tcpRow(sim(), "Giriş", 1, 78));
    EXPECT_EQ(window.caption, QStringLiteral("BAGLAN"));
    EXPECT_FALSE(window.commandsEnabled);
    EXPECT_EQ(ui.texts(), QStringList{"Hata..Bağlantı Kurulamadı...."});
}

TEST_F(ConnectCommandTest, ConversionErrorPropagatesWithCaptionBaglan) {
    TerminalRecord row;
    row.TerminalNo = "on iki";
    row.Tip = "usb";
    EXPECT_THROW(command.click(row), ConversionError);
    EXPECT_EQ(window.caption, QStringLiteral("BAGLAN"));
    EXPECT_FALSE(window.commandsEnabled);
    EXPECT_THROW(command.click(TerminalRecord()), ConversionError) << "an empty list";
}

TEST_F(ConnectCommandTest, AnyOtherCaptionDoesNothing) {
    startSimulator(SimulatorFixture::state({}));
    window.caption = QStringLiteral("Baglan");
    command.click(tcpRow(sim(), "Giriş"));
    EXPECT_TRUE(window.changes.isEmpty());
    EXPECT_FALSE(session.isConnected());
    EXPECT_TRUE(requests(sim()).isEmpty());
}

TEST_F(ConnectCommandTest, PopupCommandAfterAFailedAttemptAddressesTheFailedTerminal) {
    SimulatorFixture& s = startSimulator(SimulatorFixture::state(
        {{"users", QJsonArray{SimulatorFixture::user(42, 0), SimulatorFixture::user(43, 1)}}}));
    command.click(tcpRow(s, "Doğru", 1));
    command.click(TerminalRecord());
    ASSERT_EQ(session.machineNumber(), 1);

    command.click(tcpRow(s, "Yanlış", 8)); // the terminal answers to machine 1 only
    ASSERT_FALSE(session.isConnected());
    EXPECT_EQ(session.machineNumber(), 8);
    EXPECT_EQ(session.connectedTerminalName(), QStringLiteral("Doğru"));

    ui.shown.clear();
    ui.answers = {OperatorInterface::Button::Yes};
    const int mark = s.logLines().size();
    const CommandOutcome outcome = FingerprintWipe::run(session, ui);
    EXPECT_EQ(outcome.status, CommandOutcome::TerminalNotDisabled);
    EXPECT_EQ(outcome.resultCode, ERR_NOT_OPEN);
    EXPECT_EQ(ui.shown.size(), 1) << "the question only";
    EXPECT_TRUE(requests(s, mark).isEmpty());
    EXPECT_EQ(s.state()["users"].toArray().size(), 2);
}
