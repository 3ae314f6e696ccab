#include "ProgramFixture.h"

#include "enrol/TfrmEnrol.h"

#include "common/ScopeGuard.h"
#include "support/UnprivilegedRun.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>

using namespace selvenor;
using Icon = OperatorInterface::Icon;

namespace {

constexpr QFileDevice::Permissions kReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kFolderOpen =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kFolderClosed = QFileDevice::ReadOwner | QFileDevice::ExeOwner;

const QByteArray kSettings =
    "; PDKS ayarları\r\n[Login]\r\nServer=pdks-sunucu\r\nDatabase=pdks\r\n"
    "[MySql]\r\nUser=pdks\r\nPassword=gizli\r\n[Options]\r\nveriDosya2=1\r\n";

} // namespace

// These tests need file modes to hold; as root they run themselves again as `nobody`.
using SettingsFileRights = ProgramFixture;

TEST_F(SettingsFileRights, AnUnreadableFileIsReportedAndKaydetNeverReplacesIt) {
    RUN_AS_UNPRIVILEGED_USER();
    prepareStores();
    writeSettings(kSettings);
    const QString file = folder.file("Settings.ini");
    // Writable but not readable: a save would succeed and wipe the MySQL settings.
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::WriteOwner));
    ScopeGuard readable([&] { QFile::setPermissions(file, kReadWrite); });

    start();
    ASSERT_EQ(ui.shown.size(), 1) << ui.texts().join(" | ").toStdString();
    EXPECT_TRUE(ui.shown[0].text.contains("Settings.ini okunamadı")) << ui.texts()[0].toStdString();
    EXPECT_EQ(ui.shown[0].icon, Icon::Error);
    EXPECT_FALSE(main().CheckBox1->isChecked());

    main().CheckBox1->setChecked(false);
    main().Button2->click();
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_TRUE(ui.shown[1].text.contains("Settings.ini okunamadı"));

    // The enrolment window reports it too, and still opens.
    program->frmEnrol->show();
    ASSERT_EQ(ui.shown.size(), 3);
    EXPECT_TRUE(ui.shown[2].text.contains("Settings.ini okunamadı"));
    EXPECT_TRUE(program->frmEnrol->isVisible());
    EXPECT_TRUE(program->frmEnrol->Label5->text().isEmpty());
    program->frmEnrol->hide();

    ASSERT_TRUE(QFile::setPermissions(file, kReadWrite));
    EXPECT_EQ(settingsBytes(), kSettings) << "the file is as it was";
}

TEST_F(SettingsFileRights, KaydetWritesAWritableFileInAFolderThatIsNot) {
    RUN_AS_UNPRIVILEGED_USER();
    prepareStores();
    writeSettings("; PDKS ayarları\r\n[Options]\r\nveriDosya2=0\r\n");
    start();
    ASSERT_TRUE(QFile::setPermissions(folder.path(), kFolderClosed));
    ScopeGuard open([&] { QFile::setPermissions(folder.path(), kFolderOpen); });

    main().CheckBox1->setChecked(true);
    main().Button2->click();
    EXPECT_TRUE(ui.shown.isEmpty()) << ui.texts().join(" | ").toStdString();
    EXPECT_EQ(settingsBytes(), QByteArray("; PDKS ayarları\r\n[Options]\r\nveriDosya2=1\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).filter("Settings"),
              QStringList({"Settings.ini"}))
        << "no file left behind";
    restart();
    EXPECT_TRUE(main().CheckBox1->isChecked());
}

TEST_F(SettingsFileRights, AFileThatIsNeitherWritableNorInAWritableFolderIsReported) {
    RUN_AS_UNPRIVILEGED_USER();
    prepareStores();
    writeSettings("[Options]\r\nveriDosya2=0\r\n");
    start();
    const QString file = folder.file("Settings.ini");
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(folder.path(), kFolderClosed));
    ScopeGuard open([&] {
        QFile::setPermissions(folder.path(), kFolderOpen);
        QFile::setPermissions(file, kReadWrite);
    });
    main().CheckBox1->setChecked(true);
    main().Button2->click();
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].icon, Icon::Error);
    EXPECT_TRUE(ui.shown[0].text.contains("Settings.ini")) << ui.texts()[0].toStdString();
    EXPECT_EQ(settingsBytes(), QByteArray("[Options]\r\nveriDosya2=0\r\n"));
}
