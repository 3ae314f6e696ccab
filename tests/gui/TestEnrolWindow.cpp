#include "../enrol/EnrolHarness.h"

#include "enrol/PackedPassword.h"
#include "enrol/TfrmEnrol.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

using namespace selvenor;
using B = OperatorInterface::Button;

namespace {

QJsonObject terminal(const QJsonArray& users, const QJsonObject& names = {}) {
    return terminalState(users, names);
}

class EnrolWindow : public ::testing::Test {
protected:
    EnrolWindow()
        : h(terminal(
              [] {
                  QJsonArray users = fourEntryUser(42, 2);
                  users << SimulatorFixture::user(7, 10, 0, 0x402) << SimulatorFixture::user(7, 0);
                  return users;
              }(),
              {{"42", "Şükrü Çağlar"}, {"7", "Ayşe"}})) {
        QFile settings(h.folder.file(QStringLiteral("Settings.ini")));
        EXPECT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[Login]\r\nDatabase=pdks\r\n[System]\r\nProgramTipi=Tevro\r\n");
        settings.close();
        window = std::make_unique<TfrmEnrol>(
            *h.dm, h.clock, [this] { return machine; }, h.folder, nullptr, &h.ui);
    }
    void show() {
        window->show();
        QCoreApplication::processEvents();
    }
    EnrolHarness h;
    int machine = 1;
    std::unique_ptr<TfrmEnrol> window;
};

} // namespace

TEST_F(EnrolWindow, FrameSheetsAndFormShow) {
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("Parmakizi Datası Kopyalama / Yükleme / Personel İsimlendirme"));
    const QStringList expected{"tüm data",
                               "tek data(parmak)",
                               "Seçili Kayıt Yükleme(Parmak/Kart/Şifre)",
                               "Kullanıcı / Admin (Yönetici) Şifre Değiştirme",
                               "Kullanıcı / Admin Aktif/Pasif Yapma",
                               "Yetkilendir"};
    QStringList titles;
    for (int i = 0; i < window->PageControl1->count(); ++i)
        titles << window->PageControl1->tabText(i);
    EXPECT_EQ(titles, expected);
    EXPECT_FALSE(window->TabSheet6->isEnabled());
    EXPECT_TRUE(window->Label36->text().isEmpty());
    window->PageControl1->setCurrentIndex(3);
    machine = 1;
    show();
    EXPECT_EQ(window->BitBtn6->text(),
              QStringLiteral("Terminale Parmakizi Datası Yükle\r\n(var olanı ve işten çıkanları "
                             "silerek yükler)\r\nmysql"));
    EXPECT_EQ(window->Label5->text(), QStringLiteral("pdks"));
    EXPECT_EQ(window->lblProgramTipi->text(), QStringLiteral("Tevro"));
    EXPECT_EQ(window->PageControl1->currentIndex(), 3) << "the sheet is chosen only at creation";
    EXPECT_EQ(window->machineNumber(), 1);
    EXPECT_EQ(window->txtEnrollNumber->text(), QStringLiteral("1"));
    EXPECT_EQ(window->cmbBackupNumber->currentText(), QStringLiteral("0"));
    EXPECT_EQ(window->BitBtn3->text(), QStringLiteral("Kapat"));
    window->BitBtn3->click();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EnrolWindow, DownloadFillsTheListsAndTheNameGrid) {
    show();
    window->BitBtn1->click();
    EXPECT_EQ(window->lblMessage->text(), QStringLiteral("GetEnrollData OK"));
    EXPECT_TRUE(window->BitBtn1->isEnabled());
    EXPECT_EQ(window->Label7->text(), QStringLiteral("6"));
    EXPECT_EQ(window->DBGrid1->model()->rowCount(), 6);
    EXPECT_EQ(window->DBGrid1->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("isim"));
    EXPECT_EQ(window->DBGrid2->model()->rowCount(), 6);
    EXPECT_EQ(window->DBGrid2->model()->headerData(2, Qt::Horizontal).toString(),
              QStringLiteral("KartID/Şifre"));
    EXPECT_EQ(window->Label32->text(), QStringLiteral("123")) << "administrators first";
    window->RadioButton1->click();
    EXPECT_EQ(window->Label32->text(), QStringLiteral("1-13"));
    EXPECT_EQ(window->DBGrid4->model()->rowCount(), 4) << "the other sheet keeps admin";

    window->Edit8->setText(QStringLiteral("Ay"));
    EXPECT_EQ(window->Label7->text(), QStringLiteral("2"));
    window->Edit8->setText(QStringLiteral("Ay'"));
    EXPECT_EQ(window->Label7->text(), QStringLiteral("0"));
    window->Edit2->setText(QStringLiteral("4"));
    EXPECT_EQ(window->DBGrid2->model()->rowCount(), 4);
    EXPECT_TRUE(h.ui.shown.isEmpty());
}

TEST_F(EnrolWindow, UploadUserUploadAndErrorsThroughTheWindow) {
    show();
    window->BitBtn1->click();
    SimulatorFixture b;
    h.connectTo(b);
    h.ui.answers = {B::Yes};
    window->BitBtn2->click();
    EXPECT_EQ(EnrolHarness::entries(b).size(), 6);
    EXPECT_EQ(window->Memo1->toPlainText().split('\n').size(), 6);
    EXPECT_TRUE(window->lblMessage->text().endsWith(QStringLiteral("Count = 6")));

    window->Edit3->setText(QStringLiteral("555"));
    window->btnSifreDegistir->click(); // admin list: user 42
    for (const TerminalEntry& e : EnrolHarness::entries(b)) {
        if (e.enroll == 42 && e.backup == 10) {
            EXPECT_EQ(e.value, PackPassword(QStringLiteral("555")));
        }
    }
    window->Edit3->setText(QStringLiteral("  "));
    window->btnSifreDegistir->click();
    EXPECT_EQ(h.ui.texts().last(), QStringLiteral("Şifre gir"));

    window->PageControl1->setCurrentIndex(1);
    window->txtEnrollNumber->setText(QStringLiteral("abc"));
    window->cmdDeleteEnrollData->click();
    EXPECT_EQ(h.ui.texts().last(), QStringLiteral("'abc' is not a valid integer value"));
    window->txtEnrollNumber->setText(QStringLiteral("7"));
    window->cmdDeleteEnrollData->click();
    EXPECT_EQ(window->lblMessage->text(), QStringLiteral("DeleteEnrollData OK"));
    EXPECT_EQ(EnrolHarness::entries(b).size(), 5);
    const QString before = window->lblMessage->text();
    window->cmdGetEnrollData->click();
    window->cmdSetEnrollData->click();
    EXPECT_EQ(window->lblMessage->text(), before);

    window->btnPasifYap->click();
    EXPECT_EQ(window->lblMessage->text(), QStringLiteral("Success!"));
    int disabled = 0;
    for (const TerminalEntry& e : EnrolHarness::entries(b))
        disabled += e.enabled ? 0 : 1;
    EXPECT_EQ(disabled, 4);
}

TEST_F(EnrolWindow, ImportBeforeDownloadWarnsAndNameUploadNeedsTheList) {
    show();
    window->btnIsimAl->click();
    ASSERT_FALSE(h.ui.shown.isEmpty());
    EXPECT_EQ(h.ui.shown.last().caption, QStringLiteral("UYARI"));
    window->btnTumIsimYukle->click();
    EXPECT_TRUE(h.ui.shown.last().text.contains(QStringLiteral("açık değil")));
    EXPECT_TRUE(window->btnTumIsimYukle->isEnabled());
    window->BitBtn1->click();
    window->btnTumIsimYukle->click();
    EXPECT_EQ(window->lblMessage->text(), QStringLiteral("SetUserName OK"));
    EXPECT_EQ(h.sim->state()["names"].toObject()["42"].toString(), QStringLiteral("Sukru Caglar"));
}

// Every reply of this terminal takes 250 ms. While the control waits for one, the window's events
// run, a second exchange does not start, and afterwards the control has the hook it had before.
TEST(EnrolWindowWhileTheControlWaits, EventsRunDuringEachWaitAndASecondExchangeDoesNotStart) {
    QJsonObject state = terminalState(fourEntryUser(42));
    state.insert(QStringLiteral("faults"), QJsonObject{{"delayMs", 250}});
    EnrolHarness h(state);
    h.ui.runsEvents = true;
    int previousHookCalls = 0;
    h.clock.setWaitingHook([&] { ++previousHookCalls; });
    TfrmEnrol window(
        *h.dm, h.clock, [] { return 1; }, h.folder, nullptr, &h.ui);
    window.show();
    QCoreApplication::processEvents();

    int ticks = 0;
    qint64 longestGapMs = 0;
    QElapsedTimer sinceTick;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        longestGapMs = qMax(longestGapMs, sinceTick.restart());
        ++ticks;
        window.BitBtn2->click(); // the operator tries the upload meanwhile
    });
    sinceTick.start();
    timer.start();
    window.BitBtn1->click();
    timer.stop();

    EXPECT_EQ(window.lblMessage->text(), QStringLiteral("GetEnrollData OK"));
    EXPECT_GE(ticks, 20);
    EXPECT_LT(longestGapMs, 150) << "a reply takes 250 ms: the window waited with the control";
    EXPECT_TRUE(h.ui.shown.isEmpty()) << "no upload question: one exchange at a time";
    EXPECT_EQ(previousHookCalls, 0);

    int year, month, day, hour, minute, dayOfWeek;
    EXPECT_TRUE(h.clock.GetTerminalTime(1, year, month, day, hour, minute, dayOfWeek));
    EXPECT_GT(previousHookCalls, 0) << "the control has its own hook again";
}
