#pragma once

#include "JournalContents.h"

#include "data/DataFolder.h"

#include <vector>

namespace selvenor {

// Completes, in the attendance files, the batch a run left in the journal when it was killed,
// lost power or hit a full disk in the middle of writing it.
//
// The files were written one after the other in the journal's order, each synced before the
// next was touched, and the journal notes each file that holds the whole batch: such a file is
// left as it is (the attendance program may have taken the lines since), and so is every
// earlier one. A later file holding any of the batch also proves that every earlier file held
// all of it. A file the attendance program took away, emptied or replaced since then is not
// given the batch again when a later file proves it had it. When no later file does, the cut
// line the attendance program leaves behind (it takes complete lines only) tells how far the
// batch had come, and the file gets the rest; when nothing is left to tell (the run stopped
// between two of the file's lines, or after its last before the journal noted it), it gets the
// whole batch (a line the program took may then stand twice; none is lost). Every other file is
// brought to hold the batch once, a cut last line completed, foreign bytes (a power loss leaves
// zeros) ended as a line of their own.
//
// Only lines whose bytes are proven are written: a 4 KiB block of the journal's lines that
// passes its CRC, or the same block in a file that passes it, or bytes on which the journal and
// a file agree. When the journal's entry was damaged, the batch may end early; the records
// after that are not acknowledged, so the terminal hands them out again.
class BatchRecovery {
public:
    BatchRecovery(const DataFolder& folder, const JournalBatch& batch);

    // Brings every file up to date; returns the number of the batch's lines that now stand in
    // every file. Throws FileError.
    qsizetype complete();

private:
    // How much of the batch a file holds now; `replaced` when the name no longer stands for the
    // file the batch began on (moved, deleted, emptied or replaced).
    struct FileState {
        QString path;
        bool replaced = true;
        QByteArray held; // the file's bytes from where the batch began, at most the batch's length
    };

    void readFiles();
    QByteArray provenLines() const;
    bool laterFileHoldsSome(size_t index) const;
    void completeFile(size_t index, const QByteArray& lines);
    static void endForeignBytes(const QString& path, const QByteArray& lines, qsizetype same);
    static qsizetype resumeAfter(QByteArrayView cut, const QByteArray& lines);

    DataFolder m_folder;
    const JournalBatch& m_batch;
    std::vector<FileState> m_files;
};

} // namespace selvenor
