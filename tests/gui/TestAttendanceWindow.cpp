#include "ProgramFixture.h"

#include "app/transfer/DownloadStatus.h"
#include "support/SimulatorFixture.h"

#include <QCheckBox>
#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace selvenor;

// The attendance commands started from the main window's controls, against a simulator.
class AttendanceWindow : public ProgramFixture {
protected:
    void SetUp() override {
        prepareStores();
        start();
        QJsonArray logs{SimulatorFixture::record(123, 1, 2012, 3, 5, 8, 7),
                        SimulatorFixture::record(7, 1281, 2012, 3, 5, 9, 0)};
        sim = std::make_unique<SimulatorFixture>(SimulatorFixture::state({{"logs", logs}}));
        connectTo(*sim);
        main().show();
        main().setTerminalCommandsEnabled(true);
    }
    // Connects the row "Ana Giriş" (machine 1) to the unit `unit`.
    void connectTo(const SimulatorFixture& unit) {
        ASSERT_TRUE(unit.isRunning()) << unit.error().toStdString();
        TerminalRecord terminal;
        terminal.id = 1;
        terminal.Terminal = QStringLiteral("Ana Giriş");
        terminal.TerminalNo = QStringLiteral("1");
        terminal.Tip = QStringLiteral("ethernet");
        terminal.Ip = unit.host();
        terminal.NetPort = QString::number(unit.port());
        terminal.Sifre = QStringLiteral("0");
        ASSERT_TRUE(main().session.connect(terminal, ui));
    }
    void TearDown() override { main().hide(); }
    QByteArray bytes(const QString& name) const {
        QFile f(folder.file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    std::unique_ptr<SimulatorFixture> sim;
};

TEST_F(AttendanceWindow, VerileriAktarWritesTheLinesAndASecondPressFindsNothing) {
    main().CheckBox1->setChecked(true);
    main().BitBtn5->click();
    const QByteArray lines =
        "00123 05/03/2012 08:07:00 01 01\r\n00007 05/03/2012 09:00:00 01 01\r\n";
    EXPECT_EQ(bytes("veri.txt"), lines);
    EXPECT_EQ(bytes("veri2.txt"), lines);
    EXPECT_EQ(bytes("yedek_Q720/" + QDate::currentDate().toString("MMyyyy") + ".txt"), lines);
    EXPECT_EQ(ui.texts(), QStringList{"Bilgiler Dosyaya Aktarıldı...."});
    EXPECT_EQ(main().ProgressBar1->maximum(), 500);
    EXPECT_EQ(main().ProgressBar1->value(), 500);
    EXPECT_TRUE(main().BitBtn5->isEnabled());
    ui.shown.clear();
    main().BitBtn5->click();
    EXPECT_EQ(ui.texts(), QStringList{"Cihazdan Alınacak Veri Yok..."});
    EXPECT_EQ(bytes("veri.txt"), lines);
}

TEST_F(AttendanceWindow, AnotherUnitBehindTheRowIsToldOnceAndWrittenFromItsFirstRecord) {
    main().BitBtn5->click();
    SimulatorFixture replacement(SimulatorFixture::state(
        {{"logs", QJsonArray{SimulatorFixture::record(9, 1, 2012, 3, 6, 7, 30)}}}));
    connectTo(replacement);
    ui.shown.clear();
    main().BitBtn5->click();
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_EQ(ui.shown[0].caption, "UYARI");
    EXPECT_EQ(ui.shown[0].icon, OperatorInterface::Icon::Warning);
    EXPECT_TRUE(ui.shown[0].text.contains("'Ana Giriş' kaydında artık başka bir terminal cevap "
                                          "veriyor"))
        << ui.shown[0].text.toStdString();
    EXPECT_TRUE(ui.shown[0].text.contains(replacement.state()["serial"].toString()));
    EXPECT_EQ(ui.shown[1].text, "Bilgiler Dosyaya Aktarıldı....");
    EXPECT_TRUE(bytes("veri.txt").endsWith("00009 06/03/2012 07:30:00 01 01\r\n"));
    ui.shown.clear();
    main().BitBtn5->click();
    EXPECT_EQ(ui.texts(), QStringList{"Cihazdan Alınacak Veri Yok..."}) << "told once";
}

TEST_F(AttendanceWindow, FullLogCommandsFillMemo1AndReplaceTheSecondFile) {
    main().CheckBox1->setChecked(true);
    main().mnuTumVerileriAl->trigger();
    EXPECT_EQ(ui.texts(), QStringList{"Bilgiler Dosyaya Aktarıldı...."});
    main().mnuTumVerileriAlSil->trigger();
    const QByteArray lines =
        "00123 05/03/2012 08:07:00 01 01\r\n00007 05/03/2012 09:00:00 01 01\r\n"
        "00123 05/03/2012 08:07:00 01 01\r\n00007 05/03/2012 09:00:00 01 02\r\n";
    EXPECT_EQ(bytes("veri.txt"), lines);
    EXPECT_EQ(bytes("veri2.txt"), lines);
    EXPECT_EQ(main().Memo1->toPlainText().split('\n').size(), 4);
    EXPECT_EQ(ui.texts().size(), 1) << "the second command shows nothing";
    EXPECT_TRUE(sim->state()["logs"].toArray().isEmpty());
}

TEST_F(AttendanceWindow, MemoryCardButtonFillsEdit1AndBothMemos) {
    const QString card = folder.file("kart.txt");
    QFile f(card);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("baslik\r\n1\t1\t42\t0\t0\t0\t2012-03-05 08:07:30\r\n");
    f.close();
    ui.fileToChoose = card;
    main().Button1->click();
    EXPECT_EQ(ui.lastStartFolder, folder.path());
    EXPECT_EQ(main().Edit1->text(), card);
    EXPECT_EQ(main().Memo2->toPlainText(),
              "00001,00001,00042,00000,00000,00000,2012-03-0508:07:30");
    EXPECT_EQ(main().Memo1->toPlainText(), "00042 05/03/2012 08:07:30 01");
    EXPECT_EQ(bytes("veri.txt"), "00042 05/03/2012 08:07:30 01\r\n");
    EXPECT_EQ(ui.texts(), QStringList{"Aktarım işlemi tamamlandı.."});
    EXPECT_EQ(main().ProgressBar1->maximum(), 0);
}

TEST_F(AttendanceWindow, VerileriAktarRecordsTheDownloadsStatusOfTheConnectedEntry) {
    main().BitBtn5->click();
    DownloadStatusTable table(main().frmDM.ADOConnection1());
    DownloadStatus s = table.of(1);
    EXPECT_EQ(s.terminal, "Ana Giriş");
    EXPECT_TRUE(s.lastAttempt.isValid());
    EXPECT_EQ(s.lastSuccess, s.lastAttempt);
    EXPECT_EQ(s.records, 2);
    EXPECT_FALSE(s.lastFailed());

    // The terminal goes away: the next press is recorded as a failure with the code's name.
    sim->stop();
    main().BitBtn5->click();
    s = table.of(1);
    EXPECT_TRUE(s.lastFailed());
    EXPECT_FALSE(s.lastErrorName.isEmpty()) << s.lastError.toStdString();
    EXPECT_EQ(s.records, 0);
}
