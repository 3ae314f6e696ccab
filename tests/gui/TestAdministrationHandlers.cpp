#include "ProgramFixture.h"

#include "support/SimulatorFixture.h"

#include "data/Sql.h"

#include <QAction>
#include <QJsonArray>
#include <QPushButton>
#include <QSqlQuery>

using namespace selvenor;

namespace {

using Button = OperatorInterface::Button;
using U = SimulatorFixture;

QJsonObject office() {
    return U::state({{"clock", "2012-03-07T09:05:00"},
                     {"users", QJsonArray{U::user(7, 0, 1), U::user(8, 0, 0), U::user(42, 0, 2),
                                          U::user(42, 1, 2), U::user(42, 11, 2, 5551234)}}});
}

} // namespace

class AdministrationHandlers : public ProgramFixture {
protected:
    void SetUp() override {
        prepareStores();
        start();
        main().show();
    }
    void TearDown() override { main().hide(); }

    SimulatorFixture& startSimulator(const QJsonObject& state,
                                     SimulatorFixture::Options options = {}) {
        simulators.push_back(std::make_unique<SimulatorFixture>(state, options));
        EXPECT_TRUE(simulators.back()->isRunning()) << simulators.back()->error().toStdString();
        return *simulators.back();
    }

    // A registry row for `sim`, made the grid's current row.
    void registerAndSelect(const QString& name, const SimulatorFixture& sim, int machine = 1,
                           const QVariant& password = 0) {
        execSql(program->frmDM.ADOConnection1(),
                "insert into Terminal (Terminal, TerminalNo, Tip, Ip, NetPort, Sifre) "
                "values (?, ?, 'ethernet', ?, ?, ?)",
                {name, machine, sim.host(), sim.port(), password});
        select(name);
    }

    void select(const QString& name) {
        main().qrycihaz.open();
        const int row = int(gridNames().indexOf(name));
        ASSERT_GE(row, 0);
        main().qrycihaz.setCurrentRow(row);
    }

    void expectCommandsEnabled(bool enabled) {
        for (QPushButton* b : main().terminalCommands())
            EXPECT_EQ(b->isEnabled(), enabled) << b->objectName().toStdString();
    }

    // Records, at every message, whether `button` was enabled and the cursor busy.
    void watch(QPushButton* button) {
        enabledAtMessage.clear();
        busyAtMessage.clear();
        ui.onShown = [this, button](const RecordingOperator::Shown&) {
            enabledAtMessage << button->isEnabled();
            busyAtMessage << (ui.busyDepth > 0);
        };
    }

    std::vector<std::unique_ptr<SimulatorFixture>> simulators;
    QList<bool> enabledAtMessage;
    QList<bool> busyAtMessage;
};

TEST_F(AdministrationHandlers, ConnectButtonTogglesCaptionAndTheSixCommands) {
    SimulatorFixture& sim = startSimulator(office());
    registerAndSelect("Ana Giriş", sim);
    expectCommandsEnabled(false);
    main().BitBtn4->click();
    EXPECT_EQ(main().BitBtn4->text(), QStringLiteral("BAGLANTI_KES"));
    expectCommandsEnabled(true);
    EXPECT_TRUE(ui.shown.isEmpty()) << ui.texts().join('|').toStdString();
    EXPECT_EQ(main().session.connectedTerminalName(), QStringLiteral("Ana Giriş"));

    main().BitBtn4->click();
    EXPECT_EQ(main().BitBtn4->text(), QStringLiteral("BAGLAN"));
    expectCommandsEnabled(false);
    EXPECT_FALSE(main().FP_CLOCK1->isOpen());
}

TEST_F(AdministrationHandlers, FailedConnectAndConversionErrorLeaveTheCommandsDisabled) {
    SimulatorFixture& sim = startSimulator(U::state({{"password", 5}}));
    registerAndSelect("Şifre Yanlış", sim, 1, 6);
    main().BitBtn4->click();
    EXPECT_EQ(ui.texts(), QStringList{"Hata..Bağlantı Kurulamadı...."});
    EXPECT_EQ(main().BitBtn4->text(), QStringLiteral("BAGLAN"));
    expectCommandsEnabled(false);

    ui.shown.clear();
    registerAndSelect("Şifresiz", sim, 1, QVariant()); // Sifre empty: no integer
    main().BitBtn4->click();
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(ui.shown[0].icon, OperatorInterface::Icon::Error);
    EXPECT_EQ(main().BitBtn4->text(), QStringLiteral("BAGLAN"));
    expectCommandsEnabled(false);
}

TEST_F(AdministrationHandlers, ClockButtonsRunDisabledUnderTheHourglass) {
    SimulatorFixture& sim = startSimulator(office());
    registerAndSelect("Ana Giriş", sim);
    main().BitBtn4->click();
    watch(main().BitBtn7);
    main().BitBtn7->click();
    EXPECT_EQ(ui.texts(), QStringList{"Tarih = 07/03/2012\rSaat = 09:05"});
    EXPECT_EQ(enabledAtMessage, QList<bool>{false});
    EXPECT_EQ(busyAtMessage, QList<bool>{true});
    EXPECT_TRUE(main().BitBtn7->isEnabled());
    EXPECT_EQ(ui.busyDepth, 0);

    ui.shown.clear();
    watch(main().BitBtn6);
    main().BitBtn6->click();
    EXPECT_EQ(ui.texts(), QStringList{"cihaz tarih saati ayarlandı.."});
    EXPECT_EQ(enabledAtMessage, QList<bool>{false});
    EXPECT_TRUE(main().BitBtn6->isEnabled());
    EXPECT_FALSE(sim.state()["clock"].toString().startsWith("2012"));
}

TEST_F(AdministrationHandlers, AdminSilRemovesTheAdministratorsOfTheConnectedTerminal) {
    SimulatorFixture& sim = startSimulator(office());
    registerAndSelect("Ana Giriş", sim);
    main().BitBtn4->click();
    watch(main().BitBtn8);
    main().BitBtn8->click();
    EXPECT_EQ(ui.texts(), QStringList{"Tüm Yöneticiler İptal Edildi...."});
    EXPECT_EQ(enabledAtMessage, QList<bool>{false});
    EXPECT_TRUE(main().BitBtn8->isEnabled());
    EXPECT_TRUE(main().BitBtn4->isEnabled());
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_EQ(sim.state()["users"].toArray().size(), 1);
    QSqlQuery q = execSql(program->frmDM.ADOConnection1(), "select count(*) from ENROLLINFO");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 5);
}

TEST_F(AdministrationHandlers, AdminSilErrorIsReportedAndTheButtonComesBack) {
    SimulatorFixture& sim = startSimulator(office());
    registerAndSelect("Ana Giriş", sim);
    main().BitBtn4->click();
    execSql(program->frmDM.ADOConnection1(), "drop table ENROLLINFO");
    main().BitBtn8->click();
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_TRUE(ui.shown[0].text.contains("ENROLLINFO")) << ui.shown[0].text.toStdString();
    EXPECT_EQ(ui.shown[0].icon, OperatorInterface::Icon::Error);
    EXPECT_TRUE(main().BitBtn8->isEnabled());
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_TRUE(sim.logLines().filter("SetTerminalEnabled").isEmpty())
        << "the table is emptied before the terminal is disabled";
    EXPECT_EQ(sim.state()["users"].toArray().size(), 5);
}

TEST_F(AdministrationHandlers, WipeErasesTheConnectedTerminalNotTheSelectedRow) {
    SimulatorFixture& connected = startSimulator(office());
    SimulatorFixture& selected = startSimulator(office());
    registerAndSelect("Bağlı", connected);
    main().BitBtn4->click();
    registerAndSelect("Seçili", selected);

    ui.answers = {Button::No};
    main().mnuParmakiziSil->trigger();
    EXPECT_EQ(ui.texts(),
              QStringList{"Seçili Terminaldeki Tüm Parmakizlerini Silmek İstiyor musunuz...?"});
    EXPECT_EQ(connected.state()["users"].toArray().size(), 5);

    ui.answers = {Button::Yes};
    main().mnuParmakiziSil->trigger();
    EXPECT_EQ(ui.texts().last(), QStringLiteral("tamamlandı"));
    EXPECT_TRUE(connected.state()["users"].toArray().isEmpty());
    EXPECT_EQ(selected.state()["users"].toArray().size(), 5);
    EXPECT_TRUE(selected.logLines().isEmpty());
}

TEST_F(AdministrationHandlers, WipeAfterAFailedConnectEndsAtTheDisable) {
    SimulatorFixture& sim = startSimulator(office());
    registerAndSelect("Doğru", sim, 1);
    main().BitBtn4->click();
    main().BitBtn4->click();
    registerAndSelect("Yanlış Numara", sim, 9);
    main().BitBtn4->click();
    ASSERT_EQ(ui.texts().last(), QStringLiteral("Hata..Bağlantı Kurulamadı...."));
    EXPECT_EQ(main().session.machineNumber(), 9);

    ui.shown.clear();
    ui.answers = {Button::Yes};
    main().mnuParmakiziSil->trigger();
    EXPECT_EQ(ui.shown.size(), 1) << "the question only";
    EXPECT_EQ(sim.state()["users"].toArray().size(), 5);
}

// The window's one control serves the rows in turn: after a TCP terminal, the wipe on a "usb"
// row erases the USB terminal, never the TCP one (both are machine number 1).
TEST_F(AdministrationHandlers, WipeOnAUsbRowAfterATcpTerminalErasesTheUsbTerminal) {
    SimulatorFixture& network = startSimulator(office());
    SimulatorFixture& usb = startSimulator(office(), {.serial = true});
    usb.exportUsbDevice();
    registerAndSelect("Ağ", network);
    main().BitBtn4->click();
    ASSERT_EQ(main().BitBtn4->text(), QStringLiteral("BAGLANTI_KES"));
    main().BitBtn4->click();
    execSql(program->frmDM.ADOConnection1(),
            "insert into Terminal (Terminal, TerminalNo, Tip, ComPort, ComBaud) "
            "values ('USB', 1, 'usb', '0', '19200')");
    select("USB");
    main().BitBtn4->click();
    ASSERT_EQ(main().BitBtn4->text(), QStringLiteral("BAGLANTI_KES"))
        << ui.texts().join('|').toStdString();
    EXPECT_TRUE(main().FP_CLOCK1->IsUSB());

    ui.answers = {Button::Yes};
    main().mnuParmakiziSil->trigger();
    EXPECT_EQ(ui.texts().last(), QStringLiteral("tamamlandı"));
    EXPECT_TRUE(usb.state()["users"].toArray().isEmpty());
    EXPECT_EQ(network.state()["users"].toArray().size(), 5);
    EXPECT_TRUE(network.logLines().filter("ClearEnrollStore").isEmpty());
}
