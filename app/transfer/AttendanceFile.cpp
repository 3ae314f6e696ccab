#include "AttendanceFile.h"

#include "common/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace selvenor {

namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A file-size limit (RLIMIT_FSIZE) must end a write with an error the command reports, not
// kill the program in the middle of a batch.
void ignoreFileSizeSignal() {
    static const bool done = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace

AttendanceFile::AttendanceFile(const QString& path)
    : m_path(path) {
    ignoreFileSizeSignal();
    const QByteArray name = QFile::encodeName(path);
    bool created = false;
    while (m_fd < 0) {
        m_fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CLOEXEC);
        if (m_fd >= 0 || errno != ENOENT)
            break;
        // The umask decides the mode, so a folder shared by a group keeps the file writable.
        m_fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        created = m_fd >= 0;
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0)
        fail(QStringLiteral("açılamadı"));
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        fail(QStringLiteral("okunamadı"));
    m_identity = {quint64(st.st_dev), quint64(st.st_ino)};
    if (created)
        syncFolder(QFileInfo(path).absolutePath());
}

AttendanceFile::~AttendanceFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

qint64 AttendanceFile::size() const {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        fail(QStringLiteral("okunamadı"));
    return st.st_size;
}

void AttendanceFile::append(QByteArrayView bytes) {
    m_written = 0;
    while (m_written < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + m_written, size_t(bytes.size() - m_written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(QStringLiteral("yazılamadı"));
        m_written += n;
    }
    if (::fsync(m_fd) != 0)
        fail(QStringLiteral("diske yazılamadı"));
}

QByteArray AttendanceFile::tailBefore(qint64 length) const {
    const qint64 tailSize = qMin(length, qint64(kTailSize));
    QByteArray tail(tailSize, Qt::Uninitialized);
    if (::pread(m_fd, tail.data(), size_t(tailSize), length - tailSize) != tailSize)
        fail(QStringLiteral("okunamadı"));
    return tail;
}

bool AttendanceFile::isStillAtItsPath() const {
    FileIdentity now;
    return sizeOf(m_path, &now) >= 0 && now == m_identity;
}

void AttendanceFile::fail(const QString& what) const {
    throw FileError(QStringLiteral("%1 dosyası %2: %3").arg(m_path, what, systemError(errno)));
}

qint64 AttendanceFile::sizeOf(const QString& path, FileIdentity* identity) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    if (identity)
        *identity = {quint64(st.st_dev), quint64(st.st_ino)};
    return st.st_size;
}

QByteArray AttendanceFile::readAt(const QString& path, qint64 offset, qint64 length) {
    if (offset < 0) {
        length += offset;
        offset = 0;
    }
    if (length <= 0)
        return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        throw FileError(QStringLiteral("%1 dosyası okunamadı: %2").arg(path, file.errorString()));
    return file.read(length);
}

void AttendanceFile::syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return; // the entries are synced with the files on most systems; nothing more to do
    ::fsync(fd);
    ::close(fd);
}

} // namespace selvenor

namespace selvenor {

void AttendanceFile::makeFolderOf(const QString& path) {
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (folder.exists() || !QDir().mkdir(folder.absoluteFilePath()))
        return;
    syncFolder(folder.absolutePath());
}

} // namespace selvenor
