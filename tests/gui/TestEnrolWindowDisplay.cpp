#include "../enrol/EnrolHarness.h"
#include "../enrol/MariaDbFixture.h"

#include "enrol/TfrmEnrol.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>

#include <gtest/gtest.h>

using namespace selvenor;

namespace {

// The enrolment window on a harness whose terminal holds Turkish names.
class EnrolWindowDisplay : public ::testing::Test {
protected:
    EnrolWindowDisplay()
        : h(terminalState(
              [] {
                  QJsonArray users;
                  for (int enroll : {1, 2, 3, 4})
                      users << SimulatorFixture::user(enroll, 0);
                  return users;
              }(),
              {{"1", "Gülşen Öztürk"},
               {"2", "İsmail Işık"},
               {"3", "Ilgın Çelik"},
               {"4", "Şükrü Çağlar"}})) {
        writeSettings("[Login]\r\nDatabase=pdks\r\n");
        window = std::make_unique<TfrmEnrol>(
            *h.dm, h.clock, [this] { return machine; }, h.folder, nullptr, &h.ui);
    }
    void writeSettings(const QByteArray& bytes) {
        QFile settings(h.folder.file(QStringLiteral("Settings.ini")));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
        settings.write(bytes);
    }
    void show() {
        window->show();
        QCoreApplication::processEvents();
    }
    // What the grid draws in a cell: the delegate's text of the model's value.
    static QString shownText(QTableView* grid, int row, int column) {
        const QModelIndex index = grid->model()->index(row, column);
        auto* delegate = static_cast<QStyledItemDelegate*>(grid->itemDelegateForIndex(index));
        return delegate->displayText(index.data(), grid->locale());
    }

    EnrolHarness h;
    int machine = 1;
    std::unique_ptr<TfrmEnrol> window;
};

} // namespace

TEST_F(EnrolWindowDisplay, TheMemberGridShowsDatesInTheShortFormat) {
    MariaDbFixture db;
    SKIP_WITHOUT_MARIADB(db);
    db.createPersonel();
    db.add("00042", "Ayşe", "Yılmaz", "Aktif", "uye", "2024-03-05", "2025-12-31");
    db.add("00043", "Veli", "Kaya", "Aktif", "uye", "2023-11-09", QString());
    const MySqlSettings s = db.settings();
    writeSettings(QStringLiteral("[Login]\r\nServer=%1\r\nDatabase=%2\r\n[MySql]\r\nUser=%3\r\n"
                                 "Password=%4\r\nPort=%5\r\n")
                      .arg(s.server, s.database, s.user, s.password, s.port)
                      .toUtf8());
    show();
    window->TabSheet6->setEnabled(true); // the sheet is disabled in normal use
    window->btnBaglan->click();
    ASSERT_TRUE(h.ui.shown.isEmpty()) << h.ui.texts().join(" | ").toStdString();
    ASSERT_EQ(window->Label36->text(), QStringLiteral("2"));
    EXPECT_EQ(shownText(window->DBGrid5, 0, 2), QStringLiteral("05.03.2024"));
    EXPECT_EQ(shownText(window->DBGrid5, 0, 3), QStringLiteral("31.12.2025"));
    EXPECT_EQ(shownText(window->DBGrid5, 1, 2), QStringLiteral("09.11.2023"));
    EXPECT_EQ(shownText(window->DBGrid5, 1, 3), QString()) << "no end date";
    EXPECT_EQ(shownText(window->DBGrid5, 0, 1), QStringLiteral("Ayşe Yılmaz"));
}

TEST_F(EnrolWindowDisplay, ARestoreFromMinimisedKeepsTheWindowAsTheOperatorLeftIt) {
    show();
    window->BitBtn1->click();
    ASSERT_EQ(window->lblMessage->text(), QStringLiteral("GetEnrollData OK"));
    ASSERT_EQ(window->Label7->text(), QStringLiteral("4"));
    window->DBGrid2->selectRow(2);
    machine = 5; // the main window connected elsewhere meanwhile
    writeSettings("[Login]\r\nDatabase=baska\r\n");

    window->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isMinimized());
    window->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->lblMessage->text(), QStringLiteral("GetEnrollData OK"));
    EXPECT_EQ(window->Label7->text(), QStringLiteral("4"));
    EXPECT_EQ(window->records.qryenroll.currentRow(), 2);
    EXPECT_EQ(window->machineNumber(), 1);
    EXPECT_EQ(window->Label5->text(), QStringLiteral("pdks"));

    // Shown again by a command, it starts over.
    window->hide();
    show();
    EXPECT_TRUE(window->lblMessage->text().isEmpty());
    EXPECT_TRUE(window->Label7->text().isEmpty());
    EXPECT_EQ(window->machineNumber(), 5);
    EXPECT_EQ(window->Label5->text(), QStringLiteral("baska"));
}

TEST_F(EnrolWindowDisplay, TheNameSearchIgnoresTurkishCase) {
    show();
    window->BitBtn1->click();
    const std::pair<const char*, const char*> searches[] = {
        {"GÜL", "1"}, {"şük", "1"}, {"ism", "1"}, {"ıl", "1"}, {"gül", "1"}, {"il", "0"}};
    for (const auto& [text, count] : searches) {
        window->Edit8->setText(QString::fromUtf8(text));
        EXPECT_EQ(window->Label7->text(), QString::fromUtf8(count)) << text;
    }
    EXPECT_TRUE(h.ui.shown.isEmpty()) << h.ui.texts().join(" | ").toStdString();
}
