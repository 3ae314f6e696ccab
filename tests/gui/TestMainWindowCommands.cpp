#include "ProgramFixture.h"

#include "support/SimulatorFixture.h"
#include "support/UnansweringHost.h"

#include "common/CommandBoundary.h"
#include "common/Errors.h"
#include "data/Sql.h"
#include "enrol/TfrmEnrol.h"
#include "timezone/TfrmTimeZone.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

using namespace selvenor;

class MainWindowCommands : public ProgramFixture {
protected:
    void SetUp() override {
        prepareStores();
        start();
    }
};

TEST_F(MainWindowCommands, ParmakiziHidesTheMainWindowWhileTheEnrolmentWindowShowsTheTerminal) {
    SimulatorFixture sim;
    ASSERT_TRUE(sim.isRunning()) << sim.error().toStdString();
    TerminalRecord terminal;
    terminal.Terminal = QStringLiteral("Ana Giriş");
    terminal.TerminalNo = QStringLiteral("1");
    terminal.Tip = QStringLiteral("ethernet");
    terminal.Ip = sim.host();
    terminal.NetPort = QString::number(sim.port());
    terminal.Sifre = QStringLiteral("0");
    ASSERT_TRUE(main().session.connect(terminal, ui)) << ui.texts().join(" | ").toStdString();
    main().show();
    main().setTerminalCommandsEnabled(true);
    bool mainHidden = false;
    QString label;
    ModalScript script(program->frmEnrol.get(), [&] {
        mainHidden = !main().isVisible();
        label = program->frmEnrol->Label3->text();
        program->frmEnrol->BitBtn3->click();
    });
    main().BitBtn10->click();
    EXPECT_TRUE(script.result.opened);
    EXPECT_TRUE(mainHidden);
    EXPECT_EQ(label, QStringLiteral("Ana Giriş"));
    EXPECT_TRUE(main().isVisible());
    main().hide();
}

TEST_F(MainWindowCommands, ACommandLockDisablesWhatCouldInterfereAndGivesItBack) {
    main().show();
    main().setTerminalCommandsEnabled(true);
    main().BitBtn9->setEnabled(false);
    {
        Tfrmgiris::CommandLock lock(main());
        EXPECT_TRUE(main().commandRunning());
        for (QWidget* w : std::initializer_list<QWidget*>{
                 main().BitBtn1, main().BitBtn2, main().BitBtn3, main().BitBtn4, main().BitBtn5,
                 main().BitBtn10, main().BitBtn11, main().Button1, main().PopupMenu1})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_TRUE(main().CheckBox1->isEnabled());
        EXPECT_TRUE(main().DBGrid1->isEnabled());
        EXPECT_FALSE(main().close()); // closing waits for the command
        EXPECT_TRUE(main().isVisible());
    }
    EXPECT_FALSE(main().commandRunning());
    EXPECT_TRUE(main().BitBtn5->isEnabled());
    EXPECT_FALSE(main().BitBtn9->isEnabled());
    EXPECT_TRUE(main().BitBtn1->isEnabled());
    EXPECT_TRUE(main().close());
}

// BAGLAN on a terminal that does not answer: while the control waits, the window's events run
// (a timer ticks, the window could repaint), and the lock keeps a second command from starting.
TEST_F(MainWindowCommands, ConnectingToASilentTerminalLetsTheWindowLiveButNoSecondCommand) {
    UnansweringHost host;
    addRow(QStringLiteral("Sessiz"), QStringLiteral("ethernet"));
    execSql(program->frmDM.ADOConnection1(),
            "update Terminal set Ip = '127.0.0.1', NetPort = ? where Terminal = 'Sessiz'",
            {int(host.port())});
    main().qrycihaz.open();
    main().FP_CLOCK1->setTimeoutMs(1500);
    ui.runsEvents = true;
    main().show();

    int ticks = 0;
    bool lockedAtEveryTick = true;
    QTimer timer;
    timer.setInterval(50);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        lockedAtEveryTick = lockedAtEveryTick && main().commandRunning() &&
                            !main().BitBtn4->isEnabled() && !main().BitBtn1->isEnabled();
        main().BitBtn4->click(); // the operator clicks again: nothing starts
    });
    timer.start();
    main().BitBtn4->click();
    timer.stop();

    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(lockedAtEveryTick);
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Hata..Bağlantı Kurulamadı....")})
        << "one connection attempt";
    EXPECT_EQ(main().BitBtn4->text(), QStringLiteral("BAGLAN"));
    EXPECT_TRUE(main().BitBtn4->isEnabled());
    EXPECT_FALSE(main().BitBtn5->isEnabled());
    main().hide();
}

TEST_F(MainWindowCommands, ACommandLockIsReleasedWhenTheCommandFails) {
    main().setTerminalCommandsEnabled(true);
    EXPECT_FALSE(runCommand(ui, [&] {
        Tfrmgiris::CommandLock lock(main());
        throw DatabaseError("bozuk");
    }));
    EXPECT_TRUE(main().BitBtn5->isEnabled());
    EXPECT_TRUE(main().BitBtn4->isEnabled());
    EXPECT_FALSE(main().commandRunning());
}

TEST_F(MainWindowCommands, TheOtherWindowsAreCreatedHiddenAndNothingOpensTheTimeZoneWindow) {
    main().show();
    EXPECT_FALSE(program->frmyeni->isVisible());
    EXPECT_FALSE(program->frmEnrol->isVisible());
    main().BitBtn9->setEnabled(true);
    main().BitBtn9->click();
    main().SpeedButton1->click();
    EXPECT_FALSE(program->frmTimeZone->isVisible());
    main().hide();
}

// The window paints its controls; SELVENOR_SCREENSHOT=FILE keeps the picture for a look.
TEST_F(MainWindowCommands, TheWindowPaintsItsGridAndButtons) {
    addRow("Ana Giriş", "ethernet");
    main().show();
    const QImage image = main().grab().toImage();
    EXPECT_EQ(image.size() / image.devicePixelRatio(), QSize(820, 400));
    const QColor corner = image.pixelColor(2, 2);
    int differing = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            differing += image.pixelColor(x, y) != corner;
    EXPECT_GT(differing, 500);
    if (const QString file = qEnvironmentVariable("SELVENOR_SCREENSHOT"); !file.isEmpty()) {
        image.save(file);
        program->frmyeni->grab().save(file + ".editor.png");
        program->frmTimeZone->show();
        program->frmTimeZone->grab().save(file + ".timezone.png");
        program->frmTimeZone->hide();
    }
    main().hide();
}
