#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace selvenor {

// Which file a name stands for at a moment: the attendance program may move, delete or empty
// an attendance file, and a new file of the same name is not the one written before.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// An attendance file held open for appending: it only ever grows. Each append is written whole
// and synced to disk before it returns, so a line that append() reported stands on the disk. A
// file it creates has the folder's entry list synced too, so the new name survives a power loss.
class AttendanceFile {
public:
    // Opens for appending, creating the file when missing. Throws FileError.
    explicit AttendanceFile(const QString& path);
    ~AttendanceFile();
    AttendanceFile(const AttendanceFile&) = delete;
    AttendanceFile& operator=(const AttendanceFile&) = delete;

    QString path() const { return m_path; }
    FileIdentity identity() const { return m_identity; }
    qint64 size() const;
    // The last bytes (at most kTailSize) of the first `length` bytes of the file, read from the
    // disk: with the identity they tell a later run whether the name still stands for this file,
    // also when a new file got the old one's inode.
    QByteArray tailBefore(qint64 length) const;
    static constexpr qsizetype kTailSize = 64;
    // Whether the file's name still stands for this file: the attendance program may have moved
    // or deleted it (and perhaps made a new one) since it was opened.
    bool isStillAtItsPath() const;

    // Writes `bytes` at the end and syncs. On failure throws FileError; written() then tells how
    // many of the bytes did reach the file.
    void append(QByteArrayView bytes);
    qint64 written() const { return m_written; }

    // Size and identity of the file the name stands for now; -1 when there is none.
    static qint64 sizeOf(const QString& path, FileIdentity* identity);
    // Reads `length` bytes from `offset` (fewer at the end of the file, none before its start).
    // Throws FileError.
    static QByteArray readAt(const QString& path, qint64 offset, qint64 length);
    // Syncs the folder's entry list, so a file created or renamed in it survives a power loss.
    static void syncFolder(const QString& folder);
    // Creates the folder that holds `path` when it is missing (one level, as the backup folder is
    // made) and syncs the folder above it. A failure shows when the file cannot be opened.
    static void makeFolderOf(const QString& path);

private:
    [[noreturn]] void fail(const QString& what) const;

    QString m_path;
    int m_fd = -1;
    FileIdentity m_identity;
    qint64 m_written = 0;
};

} // namespace selvenor
