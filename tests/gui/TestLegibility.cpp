#include "Legibility.h"
#include "ProgramFixture.h"

#include "enrol/TfrmEnrol.h"
#include "gui/QtOperator.h"
#include "gui/WindowFont.h"
#include "registry/TerminalEntry.h"
#include "timezone/TfrmTimeZone.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <iostream>

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

// The first stand-in for "MS Sans Serif" that this machine has installed.
QString firstInstalledStandIn() {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : WindowFontStandIns()) {
        if (installed.contains(family))
            return family;
    }
    return QString();
}

TEST_F(Legibility, TheWindowsFontIsTheFirstInstalledStandInForMsSansSerifAtEightPoints) {
    // fontconfig's own answer for the missing name is its default family, not the first
    // stand-in: the windows must not get that.
    ASSERT_FALSE(firstInstalledStandIn().isEmpty()) << "no stand-in installed";
    const QFontInfo used(WindowFont());
    EXPECT_EQ(used.family(), firstInstalledStandIn());
    EXPECT_EQ(used.pointSize(), 8);
}

TEST_F(Legibility, EveryWidgetOfEveryWindowShowsTheWindowsFont) {
    for (QWidget* window : std::initializer_list<QWidget*>{
             &main(), program->frmyeni.get(), program->frmEnrol.get(), program->frmTimeZone.get()})
        EXPECT_EQ(widgetsNotInFont(window, WindowFont()).join(QLatin1Char('\n')).toStdString(), "")
            << window->objectName().toStdString();
}

TEST_F(Legibility, AMessageBoxShowsTheWindowsFont) {
    QtOperator boxes;
    QStringList misfits(QStringLiteral("no message box opened"));
    QTimer::singleShot(0, [&misfits] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        misfits = widgetsNotInFont(box, WindowFont());
        box->accept();
    });
    boxes.showMessage(QStringLiteral("Data dosyası bulunamadı....."));
    EXPECT_EQ(misfits.join(QLatin1Char('\n')).toStdString(), "");
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
    EXPECT_EQ(cut(program->frmEnrol.get()), "");
}

// A column keeps the width laid down for it when its title fits there, and is widened to what
// its title needs, and no further, when it does not.
TEST_F(Legibility, OnlyColumnsWhoseTitleNeedsMoreThanItsWidthAreWidened) {
    TfrmEnrol& enrol = *program->frmEnrol;
    enrol.show();
    QCoreApplication::processEvents();
    const std::pair<QTableView*, QList<int>> laidDown[] = {
        {enrol.DBGrid1, {55, 200}}, {enrol.DBGrid2, {100, 55, 110}},    {enrol.DBGrid3, {100, 55}},
        {enrol.DBGrid4, {100, 55}}, {enrol.DBGrid5, {55, 130, 88, 88}},
    };
    QStringList widened;
    for (const auto& [grid, widths] : laidDown) {
        for (int c = 0; c < widths.size(); ++c) {
            const int needed = titleWidthNeeded(grid, c);
            const QString column = grid->objectName() + QLatin1Char(':') +
                                   grid->model()->headerData(c, Qt::Horizontal).toString();
            if (needed <= widths[c]) {
                EXPECT_EQ(grid->columnWidth(c), widths[c]) << column.toStdString();
                continue;
            }
            EXPECT_GE(grid->columnWidth(c), needed) << column.toStdString();
            EXPECT_LE(grid->columnWidth(c), needed + 4) << column.toStdString();
            widened << QStringLiteral("%1 %2 -> %3 px")
                           .arg(column)
                           .arg(widths[c])
                           .arg(grid->columnWidth(c));
        }
    }
    RecordProperty("widened", widened.join(QStringLiteral(", ")).toStdString());
    std::cout << "widened in " << QFontInfo(WindowFont()).family().toStdString() << ": "
              << widened.join(QStringLiteral(", ")).toStdString() << '\n';
}

// Brings the sheet that holds `widget` to the front, when it lies on one.
void showSheetOf(QWidget* widget) {
    for (QWidget* w = widget; w->parentWidget(); w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget())) {
            if (tabs->indexOf(w) >= 0)
                tabs->setCurrentWidget(w);
        }
    }
}

// The width that the legibility checks take as enough for a title is enough on screen, and a
// column half as wide shows a cut title.
TEST_F(Legibility, AColumnAsWideAsItsTitleNeedsDrawsTheTitleInFull) {
    for (QWidget* window : std::initializer_list<QWidget*>{&main(), program->frmEnrol.get()}) {
        window->show();
        for (QTableView* grid : window->findChildren<QTableView*>()) {
            if (grid->window() != window)
                continue;
            showSheetOf(grid);
            QCoreApplication::processEvents();
            for (int c = 0; c < grid->horizontalHeader()->count(); ++c) {
                const int needed = titleWidthNeeded(grid, c);
                const std::string column =
                    grid->objectName().toStdString() + ":" +
                    grid->model()->headerData(c, Qt::Horizontal).toString().toStdString();
                EXPECT_TRUE(titleDrawnInFullAt(grid, c, needed)) << column;
                if (needed / 2 >= grid->horizontalHeader()->minimumSectionSize())
                    EXPECT_FALSE(titleDrawnInFullAt(grid, c, needed / 2)) << column;
            }
        }
        window->hide();
    }
}

TEST_F(Legibility, TheTimeZoneWindowReadsInFull) {
    EXPECT_EQ(cut(program->frmTimeZone.get()), "");
}
