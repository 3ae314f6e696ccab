#pragma once

#include <QString>

namespace selvenor {

// The folder every file of the system lives in: the executable's folder unless the command line
// names another (--data-dir). path() ends with the separator.
class DataFolder {
public:
    explicit DataFolder(const QString& path);

    // The running executable's folder.
    static DataFolder executableFolder();
    // --data-dir DIR (or --data-dir=DIR) from the arguments, else the executable's folder.
    static DataFolder fromArguments(const QStringList& arguments);

    QString path() const { return m_path; }
    QString file(const QString& name) const { return m_path + name; }

private:
    QString m_path;
};

} // namespace selvenor
