#include "ProgramFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

using namespace selvenor;
using Icon = OperatorInterface::Icon;
using Button = OperatorInterface::Button;

using MainWindowStartUp = ProgramFixture;

TEST_F(MainWindowStartUp, WithoutEitherDatabaseTwoWarningsThenTheListErrorThenAnEmptyWindow) {
    writeSettings("[Options]\r\nveriDosya2=1\r\n");
    start();
    ASSERT_EQ(ui.shown.size(), 3) << ui.texts().join(" | ").toStdString();
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("Data dosyası bulunamadı....."));
    EXPECT_EQ(ui.shown[1].text, QStringLiteral("Log dosyası bulunamadı....."));
    for (int i : {0, 1}) {
        EXPECT_EQ(ui.shown[i].caption, QStringLiteral("UYARI"));
        EXPECT_EQ(ui.shown[i].icon, Icon::Information);
        EXPECT_EQ(ui.shown[i].buttons, static_cast<int>(Button::Ok));
    }
    EXPECT_EQ(ui.shown[2].icon, Icon::Error);
    EXPECT_FALSE(ui.shown[2].text.isEmpty());
    EXPECT_EQ(main().DBGrid1->model()->rowCount(), 0);
    // The setting is not read once the list failed.
    EXPECT_FALSE(main().CheckBox1->isChecked());
    EXPECT_EQ(main().windowTitle(), QStringLiteral("M540 PARMAKİZİ AKTARIM v1.0 [Selvenor]"));
    for (QPushButton* b : main().terminalCommands())
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
}

TEST_F(MainWindowStartUp, WithOnlyLogMissingOneWarningAndAWorkingList) {
    prepareStores();
    QFile::remove(folder.file("Log.mdb"));
    start();
    EXPECT_EQ(ui.texts(), QStringList({"Log dosyası bulunamadı....."}));
    EXPECT_TRUE(program->frmDM.ADOConnection1().isOpen());
    EXPECT_FALSE(program->frmDM.ADOConnection2().isOpen());
}

TEST_F(MainWindowStartUp, WithPreparedStoresNothingIsShownAndTheGridListsByName) {
    prepareStores();
    writeSettings("[options]\r\nVeriDosya2=1\r\n");
    start();
    EXPECT_TRUE(ui.shown.isEmpty()) << ui.texts().join(" | ").toStdString();
    EXPECT_TRUE(main().CheckBox1->isChecked());
    addRow("Yemekhane", "com");
    addRow("Giriş", "ethernet");
    EXPECT_EQ(gridNames(), QStringList({"Giriş", "Yemekhane"}));
    EXPECT_EQ(main().DBGrid1->currentIndex().row(), 0);
}

TEST_F(MainWindowStartUp, OnlyTheTextOneTicksTheCheckBox) {
    prepareStores();
    for (const char* value : {"0", "2", "evet", "", "01", "1x"}) {
        writeSettings(QByteArray("[Options]\r\nveriDosya2=") + value + "\r\n");
        restart();
        EXPECT_FALSE(main().CheckBox1->isChecked()) << value;
    }
}

TEST_F(MainWindowStartUp, AMissingSettingsFileClearsTheCheckBoxSilently) {
    prepareStores();
    QFile::remove(folder.file("Settings.ini"));
    start();
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_FALSE(main().CheckBox1->isChecked());
}

TEST_F(MainWindowStartUp, KaydetWritesTheCheckBoxAndTheNextStartReadsItBack) {
    prepareStores();
    writeSettings("; PDKS ayarları\r\n[Login]\r\nServer=sunucu\r\n");
    start();
    main().CheckBox1->setChecked(true);
    EXPECT_FALSE(settingsBytes().contains("veriDosya2")); // ticking alone writes nothing
    main().Button2->click();
    restart();
    EXPECT_TRUE(main().CheckBox1->isChecked());
    main().CheckBox1->setChecked(false);
    main().Button2->click();
    EXPECT_EQ(settingsBytes(),
              QByteArray("; PDKS ayarları\r\n[Login]\r\nServer=sunucu\r\n[Options]\r\n"
                         "veriDosya2=0\r\n"));
    restart();
    EXPECT_FALSE(main().CheckBox1->isChecked());
}

TEST_F(MainWindowStartUp, KaydetIntoAnUnwritableFolderIsReportedAndTheWindowGoesOn) {
    prepareStores();
    start();
    QFile::remove(folder.file("Settings.ini"));
    ASSERT_TRUE(QDir().mkdir(folder.file("Settings.ini"))); // a folder where the file should be
    main().CheckBox1->setChecked(true);
    main().Button2->click();
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].icon, Icon::Error);
    EXPECT_TRUE(main().isEnabled());
}

TEST_F(MainWindowStartUp, TheWindowHasAFixedClientAreaAndNoMaximiseButton) {
    prepareStores();
    start();
    EXPECT_EQ(main().size(), QSize(820, 400));
    EXPECT_EQ(main().minimumSize(), main().maximumSize());
    EXPECT_FALSE(main().windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(main().windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(main().windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(main().font().family(), QStringLiteral("MS Sans Serif"));
    QFont big = main().BitBtn4->font();
    EXPECT_TRUE(big.bold());
    EXPECT_EQ(big.pixelSize(), 13);
    EXPECT_TRUE(main().BitBtn5->font().bold());
}

TEST_F(MainWindowStartUp, TheSecondAreaLiesBeyondTheClientAreaAndScrollsIntoView) {
    prepareStores();
    start();
    main().show();
    for (QWidget* w : std::initializer_list<QWidget*>{main().Memo1, main().Edit1, main().Memo2,
                                                      main().SpeedButton1}) {
        EXPECT_GE(w->x(), Tfrmgiris::kSecondAreaX) << w->objectName().toStdString();
        EXPECT_FALSE(main().ScrollBox1->viewport()->rect().intersects(
            QRect(w->mapTo(main().ScrollBox1->viewport(), QPoint()), w->size())));
    }
    QScrollBar* bar = main().ScrollBox1->horizontalScrollBar();
    bar->setValue(bar->maximum());
    const QPoint memo = main().Memo1->mapTo(main().ScrollBox1->viewport(), QPoint());
    EXPECT_TRUE(main().ScrollBox1->viewport()->rect().contains(memo));
    EXPECT_EQ(main().Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(main().Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(main().Memo2->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(main().SpeedButton1->text(), QStringLiteral("Time Zone"));
    main().hide();
}

TEST_F(MainWindowStartUp, EveryControlHasItsCaption) {
    prepareStores();
    start();
    const std::pair<QAbstractButton*, const char*> captions[] = {
        {main().BitBtn1, "Ekle"},
        {main().BitBtn2, "Değiştir"},
        {main().BitBtn3, "Sil"},
        {main().BitBtn4, "BAGLAN"},
        {main().BitBtn5, "Verileri Aktar"},
        {main().BitBtn6, "Tarih-Saat Ayarla"},
        {main().BitBtn7, "Tarih-Saat Oku"},
        {main().BitBtn8, "Admin Sil"},
        {main().BitBtn9, "Zil Saatleri(42)"},
        {main().BitBtn10, "Parmakizi"},
        {main().BitBtn11, "Kapat"},
        {main().CheckBox1, "2. veri dosyası kaydet"},
        {main().Button2, "kaydet"},
        {main().Button1, "sdkart->text (veri.txt)"},
    };
    for (const auto& [b, caption] : captions)
        EXPECT_EQ(b->text(), QString::fromUtf8(caption));
    EXPECT_EQ(main().CheckBox1->parentWidget(), main().Button2->parentWidget());
    EXPECT_TRUE(qobject_cast<QGroupBox*>(main().CheckBox1->parentWidget()));
    const QList<QPushButton*> alwaysEnabled = {main().BitBtn1, main().BitBtn2,  main().BitBtn3,
                                               main().BitBtn4, main().BitBtn11, main().Button1,
                                               main().Button2};
    for (QPushButton* b : alwaysEnabled)
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
}

TEST_F(MainWindowStartUp, TheGridShowsThreeColumnsWholeRowsWithoutEditing) {
    prepareStores();
    start();
    addRow("Kapı", "ethernet");
    QTableView* grid = main().DBGrid1;
    EXPECT_EQ(grid->columnWidth(0), 150);
    EXPECT_EQ(grid->columnWidth(1), 70);
    EXPECT_EQ(grid->columnWidth(2), 130);
    EXPECT_EQ(grid->model()->index(0, 2).data().toString(), QStringLiteral("10.1.1.1"));
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST_F(MainWindowStartUp, ThePopupMenuHasItsEntriesAndASeparator) {
    prepareStores();
    start();
    const QList<QAction*> actions = main().PopupMenu1->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Terminalde Tanımlı Tüm Parmakizlerini Sil"));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QStringLiteral("Tüm Verileri Al (silmez)"));
    EXPECT_EQ(actions[3]->text(), QStringLiteral("Tüm Verileri Al(aldıktan sonra cihazdan sil)"));
}

TEST_F(MainWindowStartUp, ChoosingARowInTheGridMakesItTheListsCurrentRow) {
    prepareStores();
    start();
    addRow("A", "com");
    addRow("B", "com");
    main().DBGrid1->selectRow(1);
    EXPECT_EQ(main().qrycihaz.current().Terminal, QStringLiteral("B"));
    main().qrycihaz.setCurrentRow(0);
    EXPECT_EQ(main().DBGrid1->currentIndex().row(), 0);
}

TEST_F(MainWindowStartUp, KapatClosesTheMainWindow) {
    prepareStores();
    start();
    main().show();
    main().BitBtn11->click();
    EXPECT_FALSE(main().isVisible());
}
