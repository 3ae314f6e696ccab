#pragma once

#include "AttendanceFile.h"
#include "TransferJournal.h"

#include "data/DataFolder.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace selvenor {

// Writes batches of attendance lines into the attendance files of one run, so that no line is
// lost and none is written twice, whatever stops the run (a killed process, a power loss, a
// full disk). Every batch is recorded in the journal first; the files are then written one
// after the other in the order given, each synced before the next is touched. Creating a writer
// first completes the batch an interrupted run left behind.
//
// Callers hold the data folder's DataFolderLock for the writer's lifetime.
class AttendanceWriter {
public:
    static QString journalName(); // "aktarim.journal"

    // Loads the journal and completes an interrupted batch. Throws FileError.
    explicit AttendanceWriter(const DataFolder& folder);
    ~AttendanceWriter();
    AttendanceWriter(const AttendanceWriter&) = delete;
    AttendanceWriter& operator=(const AttendanceWriter&) = delete;

    // Opens the files (names relative to the data folder, "yedek_Q720/032012.txt" creates the
    // folder yedek_Q720 when missing), creating the missing ones. Throws FileError.
    void open(const QStringList& names);

    // Writes `lines` (whole CR LF lines) into every open file. With `acknowledges` the records
    // `firstSequence` to `lastSequence` of terminal `machine` are owed an acknowledgement once
    // written: call acknowledged() after the terminal took it. Throws FileError; the batch then
    // stays in the journal and the next writer completes it.
    void writeBatch(const QByteArray& lines, int machine, bool acknowledges, quint32 firstSequence,
                    quint32 lastSequence);

    quint32 owedAcknowledgement(int machine) const;
    void acknowledged(int machine, quint32 sequence);

    // Closes the files and leaves the journal small. Throws FileError.
    void close();

private:
    struct FileState;
    void completeInterruptedBatch(const JournalBatch& batch);
    void completeFile(const JournalBatch& batch, const std::vector<FileState>& states, int index);
    void compactWhenLarge();

    DataFolder m_folder;
    TransferJournal m_journal;
    QStringList m_names;
    std::vector<std::unique_ptr<AttendanceFile>> m_files;
    int m_batches = 0;
};

} // namespace selvenor
