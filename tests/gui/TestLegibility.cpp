#include "Legibility.h"
#include "ProgramFixture.h"

#include "enrol/TfrmEnrol.h"
#include "registry/TerminalEntry.h"
#include "timezone/TfrmTimeZone.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QTabWidget>
#include <QTableView>

using namespace selvenor;

// Each window of the program, shown as program start creates it, with the windows' font.
class Legibility : public ProgramFixture {
protected:
    void SetUp() override {
        prepareStores();
        start();
        addRow("Yemekhane Kapısı", "ethernet");
    }
    std::string cut(QWidget* window) {
        window->show();
        QCoreApplication::processEvents();
        const QStringList texts = cutTexts(window);
        window->hide();
        return texts.join(QLatin1Char('\n')).toStdString();
    }
};

TEST_F(Legibility, TheWindowsFontIsAnInstalledStandInForMsSansSerifAtEightPoints) {
    const QFontInfo used(main().font());
    EXPECT_TRUE(QStringList({"Liberation Sans", "DejaVu Sans Condensed", "DejaVu Sans"})
                    .contains(used.family()))
        << used.family().toStdString();
    EXPECT_EQ(main().font().pointSize(), 8);
    for (QWidget* window : std::initializer_list<QWidget*>{
             program->frmyeni.get(), program->frmEnrol.get(), program->frmTimeZone.get()})
        EXPECT_EQ(window->font(), main().font()) << window->objectName().toStdString();
}

TEST_F(Legibility, TheMainWindowReadsInFullAtItsFixedSize) {
    EXPECT_EQ(cut(&main()), "");
    EXPECT_EQ(main().size(), QSize(820, 400));
    EXPECT_EQ(main().DBGrid1->columnWidth(0), 150);
    EXPECT_EQ(main().DBGrid1->columnWidth(1), 70);
    EXPECT_EQ(main().DBGrid1->columnWidth(2), 130);
}

TEST_F(Legibility, TheTerminalEditorReadsInFullInEachLinkKind) {
    for (ConnectionType type :
         {ConnectionType::Com, ConnectionType::Ethernet, ConnectionType::Usb}) {
        editor().showGroupOf(type);
        EXPECT_EQ(cut(&editor()), "") << int(type);
    }
}

TEST_F(Legibility, EverySheetOfTheEnrolmentWindowReadsInFull) {
    TfrmEnrol& enrol = *program->frmEnrol;
    EXPECT_EQ(cut(&enrol), "");
    // Columns keep the widths laid down for them; only those whose title needs more are wider.
    const std::pair<QTableView*, QList<int>> laidDown[] = {
        {enrol.DBGrid1, {55, 200}}, {enrol.DBGrid2, {100, 55, 110}},    {enrol.DBGrid3, {100, 55}},
        {enrol.DBGrid4, {100, 55}}, {enrol.DBGrid5, {55, 130, 88, 88}},
    };
    QStringList widened;
    for (const auto& [grid, widths] : laidDown) {
        for (int c = 0; c < widths.size(); ++c) {
            EXPECT_GE(grid->columnWidth(c), widths[c]);
            if (grid->columnWidth(c) > widths[c])
                widened << grid->objectName() + QLatin1Char(':') +
                               grid->model()->headerData(c, Qt::Horizontal).toString();
        }
    }
    EXPECT_EQ(widened.join(", ").toStdString(),
              "DBGrid2:KullanıcıNo(Kartno), DBGrid3:KullanıcıNo(Kartno), "
              "DBGrid4:KullanıcıNo(Kartno), DBGrid5:Üye.Baş.Tarihi");
}

TEST_F(Legibility, TheTimeZoneWindowReadsInFull) {
    EXPECT_EQ(cut(program->frmTimeZone.get()), "");
}
