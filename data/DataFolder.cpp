#include "DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <sys/stat.h>

namespace selvenor {

namespace {

bool sameFolder(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

} // namespace

DataFolder::DataFolder(const QString& path)
    : m_path(QDir::cleanPath(QDir(path).absolutePath()) + QLatin1Char('/')) {}

DataFolder DataFolder::executableFolder() {
    return DataFolder(QCoreApplication::applicationDirPath());
}

DataFolder DataFolder::defaultFolder() {
    return defaultFor(QCoreApplication::applicationDirPath(),
                      QStringLiteral(SELVENOR_INSTALLED_BIN_DIR), siteFolder());
}

QString DataFolder::siteFolder() {
    return QStringLiteral(SELVENOR_SITE_DATA_DIR);
}

DataFolder DataFolder::defaultFor(const QString& executableFolder,
                                  const QString& installedBinFolder, const QString& siteFolder) {
    if (!siteFolder.isEmpty() && sameFolder(executableFolder, installedBinFolder))
        return DataFolder(siteFolder);
    return DataFolder(executableFolder);
}

DataFolder DataFolder::fromArguments(const QStringList& arguments) {
    const QString option = QStringLiteral("--data-dir");
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == option && i + 1 < arguments.size())
            return DataFolder(arguments[i + 1]);
        if (arguments[i].startsWith(option + QLatin1Char('=')))
            return DataFolder(arguments[i].mid(option.size() + 1));
    }
    return defaultFolder();
}

void DataFolder::keepNewFilesGroupWritable() const {
    struct stat folder {};
    if (::stat(QFile::encodeName(m_path).constData(), &folder) != 0 || !(folder.st_mode & S_ISGID))
        return;
    const mode_t mask = ::umask(0);
    ::umask(mask & ~mode_t(S_IWGRP));
}

} // namespace selvenor
