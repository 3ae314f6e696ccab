#include "UnprivilegedRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions kOthersRead = QFileDevice::ReadOther;
constexpr QFileDevice::Permissions kOthersRun = QFileDevice::ExeOther;

// Whether `nobody` can reach and run the file: every folder above it searchable by others.
bool othersCanRun(const QString& file) {
    const QFileInfo info(file);
    if ((info.permissions() & (kOthersRead | kOthersRun)) != (kOthersRead | kOthersRun))
        return false;
    for (QDir dir = info.absoluteDir(); !dir.isRoot(); dir.cdUp()) {
        if (!(QFileInfo(dir.absolutePath()).permissions() & kOthersRun))
            return false;
    }
    return true;
}

// The command that runs a program as `nobody`, or empty when this machine has none.
QStringList asNobody(const passwd& user) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (!setpriv.isEmpty())
        return {setpriv, QStringLiteral("--reuid=%1").arg(user.pw_uid),
                QStringLiteral("--regid=%1").arg(user.pw_gid), QStringLiteral("--clear-groups"),
                QStringLiteral("--")};
    const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
    if (!runuser.isEmpty())
        return {runuser, QStringLiteral("-u"), QString::fromLocal8Bit(user.pw_name),
                QStringLiteral("--")};
    return {};
}

} // namespace

bool UnprivilegedRun::isRoot() {
    return geteuid() == 0;
}

// The test program itself when `nobody` can run it where it is; else a copy in a folder of its
// own (the test programs link the project's libraries statically).
QString UnprivilegedRun::executableOthersCanRun(QString& error) {
    const QString self = QCoreApplication::applicationFilePath();
    if (othersCanRun(self))
        return self;
    static QTemporaryDir copyFolder(QDir::temp().filePath(QStringLiteral("selvenor-run-XXXXXX")));
    const QString copy = QDir(copyFolder.path()).filePath(QFileInfo(self).fileName());
    if (!QFileInfo::exists(copy) && !QFile::copy(self, copy)) {
        error = QStringLiteral("cannot copy %1 to %2").arg(self, copy);
        return {};
    }
    QFile::setPermissions(copyFolder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | kOthersRead | kOthersRun);
    QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::ExeOwner | kOthersRead |
                                    kOthersRun);
    return copy;
}

UnprivilegedRun::Where UnprivilegedRun::runCurrentTest() {
    if (!isRoot())
        return Where::Here;
    const passwd* user = getpwnam("nobody");
    if (!user) {
        []() { GTEST_SKIP() << "runs as root and this machine has no user nobody to run it as"; }();
        return Where::Child;
    }
    const QStringList command = asNobody(*user);
    if (command.isEmpty()) {
        []() { GTEST_SKIP() << "runs as root and neither setpriv nor runuser is installed"; }();
        return Where::Child;
    }
    QString error;
    const QString program = executableOthersCanRun(error);
    if (program.isEmpty()) {
        ADD_FAILURE() << error.toStdString();
        return Where::Child;
    }
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const QString filter =
        QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name());
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(QDir::tempPath());
    child.start(command.first(), command.mid(1) + QStringList{program, filter});
    const bool finished = child.waitForFinished(120000);
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_TRUE(finished) << "the run as nobody did not end";
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << "the run as nobody failed:\n" << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test")))
        << "the test did not run as nobody:\n"
        << output.toStdString();
    return Where::Child;
}
