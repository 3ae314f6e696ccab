#pragma once

#include "data/DataFolder.h"

#include <QLockFile>

namespace selvenor {

// Keeps two writers of the same data folder's attendance files (a scheduled download and one by
// hand, or two windows) from interleaving their lines: the lock file "aktarim.lock" in the data
// folder. A lock left by a process that died is taken over; a living holder is waited for
// `waitMs`, then the run is refused with a FileError that says so.
class DataFolderLock {
public:
    static constexpr int kDefaultWaitMs = 5000;

    explicit DataFolderLock(const DataFolder& folder, int waitMs = kDefaultWaitMs);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

private:
    QLockFile m_lock;
};

} // namespace selvenor
