#include "UnprivilegedRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions kOthersRead = QFileDevice::ReadOther;
constexpr QFileDevice::Permissions kOthersRun = QFileDevice::ExeOther;

// Whether others can reach the folder: it and every folder above it searchable by others.
bool othersCanSearch(const QString& folder) {
    for (QDir dir(QFileInfo(folder).absoluteFilePath()); !dir.isRoot(); dir.cdUp()) {
        if (!(QFileInfo(dir.absolutePath()).permissions() & kOthersRun))
            return false;
    }
    return true;
}

// Whether `nobody` can reach and run the file.
bool othersCanRun(const QString& file) {
    const QFileInfo info(file);
    return (info.permissions() & (kOthersRead | kOthersRun)) == (kOthersRead | kOthersRun) &&
           othersCanSearch(info.absolutePath());
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

// A folder for the runs as `nobody`: a temporary folder of its own (in the temporary folder
// when others can reach it, else in /tmp) with a sub-folder "tmp" that anyone may write to.
const QTemporaryDir& UnprivilegedRun::sharedFolder() {
    static QTemporaryDir folder = [] {
        const QString base =
            othersCanSearch(QDir::tempPath()) ? QDir::tempPath() : QStringLiteral("/tmp");
        return QTemporaryDir(QDir(base).filePath(QStringLiteral("selvenor-nobody-XXXXXX")));
    }();
    static const bool prepared = [] {
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | kOthersRead | kOthersRun);
        const QString tmp = QDir(folder.path()).filePath(QStringLiteral("tmp"));
        QDir().mkpath(tmp);
        return ::chmod(QFile::encodeName(tmp).constData(), 01777) == 0;
    }();
    Q_UNUSED(prepared);
    return folder;
}

// The test program itself when `nobody` can run it where it is; else a copy in the shared
// folder (the test programs link the project's libraries statically).
QString UnprivilegedRun::executableOthersCanRun(QString& error) {
    const QString self = QCoreApplication::applicationFilePath();
    if (othersCanRun(self))
        return self;
    const QString copy = QDir(sharedFolder().path()).filePath(QFileInfo(self).fileName());
    if (!QFileInfo::exists(copy) && !QFile::copy(self, copy)) {
        error = QStringLiteral("cannot copy %1 to %2").arg(self, copy);
        return {};
    }
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
    const QString tmp = QDir(sharedFolder().path()).filePath(QStringLiteral("tmp"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), tmp);
    environment.insert(QStringLiteral("HOME"), tmp);
    child.setProcessEnvironment(environment);
    child.setWorkingDirectory(tmp);
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
