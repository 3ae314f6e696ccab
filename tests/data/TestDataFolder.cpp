#include "data/DataFolder.h"

#include "support/TempFolder.h"
#include "support/UmaskGuard.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace selvenor;

TEST(DataFolderTest, AProgramInThePackagesFolderWorksOnTheSitesFolder) {
    TempFolder temp;
    ASSERT_TRUE(QDir(temp.path()).mkpath("usr/bin"));
    const QString bin = temp.file("usr/bin");
    EXPECT_EQ(DataFolder::defaultFor(bin, bin, "/var/lib/selvenor").path(), "/var/lib/selvenor/");
    // The same folder named another way (a trailing separator, a "..").
    EXPECT_EQ(DataFolder::defaultFor(bin + "/", temp.file("usr/bin/../bin"), "/srv/site").path(),
              "/srv/site/");
}

TEST(DataFolderTest, AProgramAnywhereElseWorksBesideItself) {
    TempFolder temp;
    ASSERT_TRUE(QDir(temp.path()).mkpath("build/bin"));
    ASSERT_TRUE(QDir(temp.path()).mkpath("usr/bin"));
    const QString build = temp.file("build/bin");
    EXPECT_EQ(DataFolder::defaultFor(build, temp.file("usr/bin"), "/var/lib/selvenor").path(),
              build + "/");
    // A build without a site folder, and a package folder that does not exist.
    EXPECT_EQ(DataFolder::defaultFor(build, build, QString()).path(), build + "/");
    EXPECT_EQ(DataFolder::defaultFor(temp.file("gone"), temp.file("gone"), "/srv/site").path(),
              temp.file("gone") + "/");
}

TEST(DataFolderTest, TheDataDirOptionNamesTheFolder) {
    EXPECT_EQ(DataFolder::fromArguments({"selvenor-cli", "--data-dir", "/srv/a", "init"}).path(),
              "/srv/a/");
    EXPECT_EQ(DataFolder::fromArguments({"selvenor-cli", "--data-dir=/srv/b"}).path(), "/srv/b/");
}

TEST(DataFolderTest, ASetGroupIdFolderKeepsNewFilesWritableForTheGroup) {
    TempFolder temp;
    ASSERT_EQ(::chmod(QFile::encodeName(temp.path()).constData(), 02775), 0);
    const UmaskGuard guard(022);
    DataFolder(temp.path()).keepNewFilesGroupWritable();
    EXPECT_EQ(UmaskGuard::current(), mode_t(002));
}

TEST(DataFolderTest, AnOrdinaryFolderLeavesTheUmaskAlone) {
    TempFolder temp;
    ASSERT_EQ(::chmod(QFile::encodeName(temp.path()).constData(), 0755), 0);
    const UmaskGuard guard(022);
    DataFolder(temp.path()).keepNewFilesGroupWritable();
    EXPECT_EQ(UmaskGuard::current(), mode_t(022));
    DataFolder(temp.file("missing")).keepNewFilesGroupWritable();
    EXPECT_EQ(UmaskGuard::current(), mode_t(022));
}
