#pragma once

#include <QString>

namespace selvenor {

// The folder every file of the system lives in: the folder the command line names
// (--data-dir), else the default folder. path() ends with the separator.
class DataFolder {
public:
    explicit DataFolder(const QString& path);

    // The running executable's folder.
    static DataFolder executableFolder();
    // The folder a program uses without --data-dir: defaultFor() with the running executable's
    // folder and the folders this build was made for.
    static DataFolder defaultFolder();
    // A program installed in `installedBinFolder` (the package's /usr/bin) works on the site's
    // data folder `siteFolder`, so the window and the scheduled downloads share one folder; run
    // from anywhere else (a build folder's bin/), or with no site folder, it works beside itself.
    static DataFolder defaultFor(const QString& executableFolder, const QString& installedBinFolder,
                                 const QString& siteFolder);
    // The site's data folder of the installed programs (/var/lib/selvenor); empty when the build
    // has none.
    static QString siteFolder();
    // --data-dir DIR (or --data-dir=DIR) from the arguments, else defaultFolder().
    static DataFolder fromArguments(const QStringList& arguments);

    QString path() const { return m_path; }
    QString file(const QString& name) const { return m_path + name; }

    // A folder shared by a group (set-group-ID, as the package makes the site's folder) stays
    // usable by every member: the process's umask loses its group-write bit, so each file and
    // folder this program creates there is writable for the group too. Other folders leave the
    // umask as it is. Call once, before anything is written.
    void keepNewFilesGroupWritable() const;

private:
    QString m_path;
};

} // namespace selvenor
