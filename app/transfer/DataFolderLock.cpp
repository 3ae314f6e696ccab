#include "DataFolderLock.h"

#include "common/Errors.h"

namespace selvenor {

DataFolderLock::DataFolderLock(const DataFolder& folder, int waitMs)
    : m_lock(folder.file(QStringLiteral("aktarim.lock"))) {
    // A long download must not look stale to the second one: only a dead holder makes it stale.
    m_lock.setStaleLockTime(0);
    if (m_lock.tryLock(waitMs))
        return;
    if (m_lock.error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, application;
        m_lock.getLockInfo(&pid, &host, &application);
        throw FileError(
            QStringLiteral("Bu veri klasörüne başka bir aktarım yazıyor (işlem %1, %2). "
                           "O bittikten sonra yeniden deneyin: %3")
                .arg(pid)
                .arg(application, folder.path()));
    }
    throw FileError(
        QStringLiteral("Kilit dosyası oluşturulamadı: %1").arg(folder.file("aktarim.lock")));
}

DataFolderLock::~DataFolderLock() {
    m_lock.unlock();
}

} // namespace selvenor
