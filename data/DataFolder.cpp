#include "DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

namespace selvenor {

DataFolder::DataFolder(const QString& path)
    : m_path(QDir::cleanPath(QDir(path).absolutePath()) + QLatin1Char('/')) {}

DataFolder DataFolder::executableFolder() {
    return DataFolder(QCoreApplication::applicationDirPath());
}

DataFolder DataFolder::fromArguments(const QStringList& arguments) {
    const QString option = QStringLiteral("--data-dir");
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == option && i + 1 < arguments.size())
            return DataFolder(arguments[i + 1]);
        if (arguments[i].startsWith(option + QLatin1Char('=')))
            return DataFolder(arguments[i].mid(option.size() + 1));
    }
    return executableFolder();
}

} // namespace selvenor
