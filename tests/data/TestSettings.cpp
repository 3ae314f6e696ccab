#include "data/DataFolder.h"
#include "data/Settings.h"
#include "data/TfrmDM.h"

#include "support/RecordingOperator.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace selvenor;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(Settings, OnlyTheTextOneWantsTheSecondFile) {
    TempFolder temp;
    DataFolder folder(temp.path());
    Settings settings(folder);
    EXPECT_FALSE(settings.secondFileWanted()); // no file at all
    for (const char* value : {"0", "2", "evet", "", " 1x"}) {
        writeFile(settings.fileName(), QByteArray("[Options]\r\nveriDosya2=") + value + "\r\n");
        EXPECT_FALSE(settings.secondFileWanted()) << value;
    }
    writeFile(settings.fileName(), "[options]\r\nVERIDOSYA2=1");
    EXPECT_TRUE(settings.secondFileWanted());
}

TEST(Settings, WritingTheSecondFileKeepsTheRestOfTheFile) {
    TempFolder temp;
    DataFolder folder(temp.path());
    Settings settings(folder);
    writeFile(settings.fileName(),
              "; PDKS\r\n[Login]\r\nServer=db\r\n[Options]\r\nveriDosya2=1\r\n");
    settings.setSecondFileWanted(false);
    QFile file(settings.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("; PDKS\r\n[Login]\r\nServer=db\r\n[Options]\r\nveriDosya2=0\r\n"));
    EXPECT_EQ(settings.mySql().server, QStringLiteral("db"));
}

TEST(Settings, MySqlDefaultsWithoutItsSection) {
    TempFolder temp;
    DataFolder folder(temp.path());
    writeFile(folder.file("Settings.ini"), "[Login]\r\nServer=sunucu\r\nDatabase=pdks\r\n");
    const MySqlSettings my = Settings(folder).mySql();
    EXPECT_EQ(my.server, QStringLiteral("sunucu"));
    EXPECT_EQ(my.database, QStringLiteral("pdks"));
    EXPECT_EQ(my.port, QStringLiteral("3306"));
    EXPECT_TRUE(my.user.isEmpty());
    EXPECT_TRUE(my.password.isEmpty());
}

TEST(MySqlConnectionSetup, APortThatIsNoNumberWarnsAndKeepsThePreviousPort) {
    TfrmDM dm;
    RecordingOperator ui;
    dm.MySqlConnectionSetup(ui, {"h1", "d1", "u1", "p1", "3307"});
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_EQ(dm.MyConnection1().port(), 3307);
    dm.MySqlConnectionSetup(ui, {"h2", "d2", "u2", "p2", "abc"});
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("Veritabanına bağlanamadı...."));
    EXPECT_EQ(ui.shown[0].caption, QStringLiteral("UYARI"));
    EXPECT_EQ(ui.shown[0].icon, OperatorInterface::Icon::None) << "the box shows no icon";
    EXPECT_EQ(ui.shown[0].buttons, static_cast<int>(OperatorInterface::Button::Ok));
    EXPECT_EQ(dm.MyConnection1().hostName(), QStringLiteral("h2"));
    EXPECT_EQ(dm.MyConnection1().password(), QStringLiteral("p2"));
    EXPECT_EQ(dm.MyConnection1().port(), 3307);
}
