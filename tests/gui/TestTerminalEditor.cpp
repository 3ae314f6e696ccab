#include "ProgramFixture.h"

#include "data/Sql.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTest>

using namespace selvenor;
using Button = OperatorInterface::Button;

class TerminalEditor : public ProgramFixture {
protected:
    void SetUp() override {
        prepareStores();
        start();
    }

    QSqlRecord row(const QString& name) {
        QSqlQuery q = execSql(program->frmDM.ADOConnection1(),
                              "select * from Terminal where Terminal = ?", {name});
        EXPECT_TRUE(q.next()) << name.toStdString();
        return q.record();
    }

    int rowCount() {
        QSqlQuery q = execSql(program->frmDM.ADOConnection1(), "select count(*) from Terminal");
        q.next();
        return q.value(0).toInt();
    }

    // The operator picks an item of the connection type selector with the keyboard.
    void choose(ConnectionType type) {
        QComboBox* box = editor().ComboBox1;
        while (box->currentIndex() < static_cast<int>(type))
            QTest::keyClick(box, Qt::Key_Down);
        while (box->currentIndex() > static_cast<int>(type))
            QTest::keyClick(box, Qt::Key_Up);
    }

    bool comShown() const {
        return program->frmyeni->GroupBox1->isVisibleTo(program->frmyeni.get());
    }
    bool tcpShown() const {
        return program->frmyeni->GroupBox2->isVisibleTo(program->frmyeni.get());
    }
};

TEST_F(TerminalEditor, EkleOpensOnTheDefaultsWithTheSerialGroupAndStoresEveryColumn) {
    const ModalResult r = clickWithEditor(main().BitBtn1, [&] {
        EXPECT_EQ(editor().windowTitle(), QStringLiteral("Terminal Ekle-Değiştir"));
        EXPECT_EQ(editor().Edit1->text(), QStringLiteral("Terminal"));
        EXPECT_EQ(editor().ComboBox1->currentText(), QStringLiteral("comport"));
        EXPECT_FALSE(editor().ComboBox1->isEditable());
        EXPECT_TRUE(comShown());
        EXPECT_FALSE(tcpShown());
        editor().BitBtn1->click();
    });
    EXPECT_TRUE(r.opened);
    EXPECT_FALSE(r.stayedOpen);
    // Never touched, the selector leaves the TCP/IP password's default in a serial terminal.
    const QSqlRecord stored = row("Terminal");
    EXPECT_EQ(stored.value("TerminalNo").toInt(), 1);
    EXPECT_EQ(stored.value("Tip").toString(), QStringLiteral("com"));
    EXPECT_EQ(stored.value("ComPort").toString(), QStringLiteral("1"));
    EXPECT_EQ(stored.value("ComBaud").toString(), QStringLiteral("9600"));
    EXPECT_EQ(stored.value("Ip").toString(), QStringLiteral("192.168.0.100"));
    EXPECT_EQ(stored.value("NetPort").toInt(), 5005);
    EXPECT_EQ(stored.value("Sifre").toInt(), 583927);
    EXPECT_EQ(gridNames(), QStringList({"Terminal"}));
}

TEST_F(TerminalEditor, ChoosingTcpIpShowsItsGroupAndPutsInPasswordZero) {
    clickWithEditor(main().BitBtn1, [&] {
        choose(ConnectionType::Ethernet);
        EXPECT_FALSE(comShown());
        EXPECT_TRUE(tcpShown());
        EXPECT_EQ(editor().Edit7->text(), QStringLiteral("0"));
        typeAndSave("Ağ Kapısı", "2");
    });
    EXPECT_EQ(row("Ağ Kapısı").value("Sifre").toInt(), 0);
    EXPECT_EQ(row("Ağ Kapısı").value("Tip").toString(), QStringLiteral("ethernet"));
}

TEST_F(TerminalEditor, APasswordTypedAfterChoosingTcpIpIsKept) {
    clickWithEditor(main().BitBtn1, [&] {
        choose(ConnectionType::Ethernet);
        editor().Edit7->setText("1234");
        choose(ConnectionType::Com); // going back to the serial line keeps the password
        EXPECT_EQ(editor().Edit7->text(), QStringLiteral("1234"));
        typeAndSave("Seri", "3");
    });
    EXPECT_EQ(row("Seri").value("Sifre").toInt(), 1234);
    EXPECT_EQ(row("Seri").value("Tip").toString(), QStringLiteral("com"));
}

TEST_F(TerminalEditor, AUsbTerminalShowsNoGroupAndReopensOnUsb) {
    clickWithEditor(main().BitBtn1, [&] {
        choose(ConnectionType::Usb);
        EXPECT_FALSE(comShown());
        EXPECT_FALSE(tcpShown());
        EXPECT_EQ(editor().Edit7->text(), QStringLiteral("0"));
        typeAndSave("USB", "4");
    });
    EXPECT_EQ(row("USB").value("Tip").toString(), QStringLiteral("usb"));
    clickWithEditor(main().BitBtn2, [&] {
        EXPECT_EQ(editor().ComboBox1->currentText(), QStringLiteral("usb"));
        EXPECT_FALSE(comShown());
        EXPECT_FALSE(tcpShown());
    });
}

TEST_F(TerminalEditor, DegistirFillsTheFieldsAndKeepsTheChangedTerminalCurrent) {
    addRow("Bahçe", "ethernet", "7");
    addRow("Depo", "com", "8");
    addRow("Yemekhane", "com", "9");
    main().DBGrid1->selectRow(2);
    const ModalResult r = clickWithEditor(main().BitBtn2, [&] {
        EXPECT_EQ(editor().mode, QStringLiteral("guncelle"));
        EXPECT_EQ(editor().Edit1->text(), QStringLiteral("Yemekhane"));
        EXPECT_EQ(editor().Edit2->text(), QStringLiteral("9"));
        EXPECT_EQ(editor().Edit4->text(), QStringLiteral("19200"));
        EXPECT_EQ(editor().Edit6->text(), QStringLiteral("4370"));
        EXPECT_EQ(editor().Edit7->text(), QStringLiteral("77"));
        EXPECT_EQ(editor().ComboBox1->currentIndex(), 0);
        EXPECT_TRUE(comShown());
        typeAndSave("Arka Kapı", "10");
    });
    EXPECT_FALSE(r.stayedOpen);
    EXPECT_EQ(gridNames(), QStringList({"Arka Kapı", "Bahçe", "Depo"}));
    EXPECT_EQ(main().DBGrid1->currentIndex().row(), 0);
    EXPECT_EQ(main().qrycihaz.current().TerminalNo, QStringLiteral("10"));
    EXPECT_EQ(rowCount(), 3);
}

TEST_F(TerminalEditor, EkleRightAfterDegistirOffersTheChangedTerminalsValues) {
    addRow("Kapı", "ethernet", "5");
    clickWithEditor(main().BitBtn2, [&] { editor().BitBtn2->click(); });
    clickWithEditor(main().BitBtn1, [&] {
        EXPECT_EQ(editor().mode, QStringLiteral("yeni"));
        EXPECT_EQ(editor().Edit1->text(), QStringLiteral("Kapı"));
        EXPECT_EQ(editor().Edit2->text(), QStringLiteral("5"));
        EXPECT_EQ(editor().Edit7->text(), QStringLiteral("77"));
        EXPECT_EQ(editor().ComboBox1->currentIndex(), 0); // Ekle starts on comport
        EXPECT_TRUE(comShown());
    });
}

TEST_F(TerminalEditor, FieldsKeepWhatWasTypedWhenClosedWithoutSaving) {
    clickWithEditor(main().BitBtn1, [&] {
        editor().Edit1->setText("Yarım");
        editor().BitBtn2->click();
    });
    EXPECT_EQ(rowCount(), 0);
    clickWithEditor(main().BitBtn1,
                    [&] { EXPECT_EQ(editor().Edit1->text(), QStringLiteral("Yarım")); });
}

TEST_F(TerminalEditor, AnEmptyNameWarnsKeepsTheEditorOpenWithFocusAndStoresNothing) {
    bool focused = false;
    const ModalResult r = clickWithEditor(main().BitBtn1, [&] {
        editor().activateWindow();
        editor().Edit2->setFocus();
        typeAndSave("", "1");
        focused = editor().focusWidget() == editor().Edit1;
    });
    EXPECT_TRUE(r.stayedOpen);
    EXPECT_TRUE(focused);
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("Terminal Adını Giriniz."));
    EXPECT_EQ(ui.shown[0].caption, QStringLiteral("UYARI"));
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(TerminalEditor, ANonNumericMachineNumberIsAClearErrorTheEditorStaysAndNothingIsStored) {
    const ModalResult r = clickWithEditor(main().BitBtn1, [&] { typeAndSave("Kapı", "bir"); });
    EXPECT_TRUE(r.stayedOpen);
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].icon, OperatorInterface::Icon::Error);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("Cihaz No: 'bir' is not a valid integer value"));
    EXPECT_EQ(rowCount(), 0);
    EXPECT_TRUE(gridNames().isEmpty());
}

TEST_F(TerminalEditor, APortAbove65535IsAClearErrorTheEditorStaysAndNothingIsStored) {
    const ModalResult r = clickWithEditor(main().BitBtn1, [&] {
        choose(ConnectionType::Ethernet);
        editor().Edit6->setText(QStringLiteral("70000"));
        typeAndSave("Kapı", "1");
    });
    EXPECT_TRUE(r.stayedOpen);
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].icon, OperatorInterface::Icon::Error);
    EXPECT_TRUE(ui.shown[0].text.startsWith(QStringLiteral("tcp port: 70000")))
        << ui.shown[0].text.toStdString();
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(TerminalEditor, ANameWithQuotesAndTurkishLettersSurvivesSaveAndTheNextStart) {
    const QString name = QStringLiteral("Müdür'ün \"Özel\" Kapısı; ĞÜŞİÖÇ ğüşıöç");
    clickWithEditor(main().BitBtn1, [&] { typeAndSave(name, "6"); });
    restart();
    EXPECT_EQ(gridNames(), QStringList({name}));
    clickWithEditor(main().BitBtn2, [&] { EXPECT_EQ(editor().Edit1->text(), name); });
}

TEST_F(TerminalEditor, ANameOfBlanksIsStoredAsAnEmptyName) {
    clickWithEditor(main().BitBtn1, [&] { typeAndSave("   ", "1"); });
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_EQ(gridNames(), QStringList({""}));
}

TEST_F(TerminalEditor, AnUnknownTipOpensWithNoGroupAndKeepsItWhileTheSelectorHasNoItem) {
    addRow("Eski", "Com");
    clickWithEditor(main().BitBtn2, [&] {
        EXPECT_FALSE(comShown());
        EXPECT_FALSE(tcpShown());
        EXPECT_EQ(editor().ComboBox1->currentIndex(), -1);
        typeAndSave("Eski", "1");
    });
    EXPECT_EQ(row("Eski").value("Tip").toString(), QStringLiteral("Com"));
}

TEST_F(TerminalEditor, AnUnknownTipTakesTheSelectorsItemLeftFromEarlier) {
    addRow("Eski", "seri");
    clickWithEditor(main().BitBtn1, [&] {
        choose(ConnectionType::Usb);
        editor().BitBtn2->click();
    });
    clickWithEditor(main().BitBtn2, [&] {
        EXPECT_EQ(editor().ComboBox1->currentText(), QStringLiteral("usb"));
        EXPECT_FALSE(comShown());
        typeAndSave("Eski", "1");
    });
    EXPECT_EQ(row("Eski").value("Tip").toString(), QStringLiteral("usb"));
}

TEST_F(TerminalEditor, AfterEkleTheFirstTerminalIsCurrent) {
    addRow("A", "com");
    addRow("C", "com");
    main().DBGrid1->selectRow(1);
    clickWithEditor(main().BitBtn1, [&] { typeAndSave("B", "1"); });
    EXPECT_EQ(gridNames(), QStringList({"A", "B", "C"}));
    EXPECT_EQ(main().qrycihaz.currentRow(), 0);
    EXPECT_EQ(main().DBGrid1->currentIndex().row(), 0);
}

TEST_F(TerminalEditor, DegistirOnAnEmptyListIsAnErrorAndTheEditorDoesNotOpen) {
    const ModalResult r = clickWithEditor(main().BitBtn2, [] {});
    EXPECT_FALSE(r.opened);
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].icon, OperatorInterface::Icon::Error);
}

TEST_F(TerminalEditor, DegistirOfATerminalGoneMeanwhileOpensOnThePreviousFields) {
    const qint64 id = addRow("Silinen", "ethernet");
    execSql(program->frmDM.ADOConnection1(), "delete from Terminal where id = ?", {id});
    const ModalResult r = clickWithEditor(main().BitBtn2, [&] {
        EXPECT_EQ(editor().Edit1->text(), QStringLiteral("Terminal"));
        EXPECT_FALSE(comShown());
        EXPECT_FALSE(tcpShown());
    });
    EXPECT_TRUE(r.opened);
}

TEST_F(TerminalEditor, SilAsksAndOnlyYesDeletes) {
    addRow("A", "com");
    addRow("B", "com");
    addRow("C", "com");
    main().DBGrid1->selectRow(2);
    ui.answers = {Button::No};
    main().BitBtn3->click();
    EXPECT_EQ(gridNames(), QStringList({"A", "B", "C"}));
    EXPECT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("Seçili kaydı Silmek İstiyor musunuz...?"));
    main().DBGrid1->selectRow(1);
    ui.answers = {Button::Yes};
    main().BitBtn3->click();
    EXPECT_EQ(gridNames(), QStringList({"A", "C"}));
    EXPECT_EQ(main().qrycihaz.currentRow(), 0);
}

TEST_F(TerminalEditor, SilOnAnEmptyListAsksNothing) {
    main().BitBtn3->click();
    EXPECT_TRUE(ui.shown.isEmpty());
}
