#pragma once

#include "AttendanceFile.h"
#include "TransferJournal.h"

#include "data/DataFolder.h"

#include <QStringList>

#include <memory>
#include <mutex>
#include <vector>

namespace selvenor {

// Where a batch of lines comes from: a terminal (its records' sequence numbers, one per line,
// and whether they are owed an acknowledgement once written) or a memory-card file (nothing).
struct BatchSource {
    TerminalIdentity terminal;
    bool acknowledges = false;
    QList<quint32> sequences;
};

// Writes batches of attendance lines into the attendance files of one run, so that no line is
// lost and none is written twice, whatever stops the run (a killed process, a power loss, a
// full disk). Every batch is recorded in the journal first; the files are then written one
// after the other in the order given, each synced before the next is touched, and each batch
// whole and contiguous in every file. Creating a writer first completes the batch an
// interrupted run left behind.
//
// One writer serves every terminal of a run, also when they download side by side on threads
// of their own: writeBatch, memoryOf, acknowledged and numberingStartedOver may be called from
// any thread, one batch goes into the files whole before the next begins, and what the writer
// remembers of each terminal (the last record written, the acknowledgement owed) is kept under
// the terminal's identity. Callers hold the data folder's DataFolderLock for the writer's
// lifetime.
class AttendanceWriter {
public:
    static QString journalName(); // "aktarim.journal"

    // Loads the journal and completes an interrupted batch. Throws JournalError when the
    // journal is damaged or unknown, FileError when a file cannot be read or written.
    explicit AttendanceWriter(const DataFolder& folder);
    ~AttendanceWriter();
    AttendanceWriter(const AttendanceWriter&) = delete;
    AttendanceWriter& operator=(const AttendanceWriter&) = delete;

    // Opens the files (names relative to the data folder, "yedek_Q720/032012.txt" creates the
    // folder yedek_Q720 when missing), creating the missing ones. Throws FileError.
    void open(const QStringList& names);

    // Writes `lines` (whole CR LF lines) into every open file. A file that was moved or deleted
    // since the last batch is opened again by its name (and made anew). Throws FileError; the
    // batch then stays in the journal for the next writer to complete, and every later batch of
    // this writer is refused with the same error (none may go in behind it).
    void writeBatch(const QByteArray& lines, const BatchSource& source = {});

    TerminalMemory memoryOf(const TerminalIdentity& terminal) const;
    // The terminal has taken the acknowledgement up to `sequence`.
    void acknowledged(const TerminalIdentity& terminal, quint32 sequence);
    // The terminal's numbering started over without a new log generation: what is remembered
    // of it is forgotten, so its records are written from here.
    void numberingStartedOver(const TerminalIdentity& terminal);

    // Closes the files and leaves the journal small. Throws FileError.
    void close();

    // Completes the journal's pending batch in the files, as far as its lines are proven, and
    // rewrites the journal with what that leaves remembered. Returns the number of the batch's
    // lines that stand in every file (0 without a pending batch). Throws FileError.
    static qsizetype completePending(const DataFolder& folder, TransferJournal& journal);

private:
    void writeBatchLocked(const QByteArray& lines, const BatchSource& source);
    void openFile(size_t index);
    void appendBatch(size_t index, const QByteArray& lines);
    void compactWhenLarge();

    DataFolder m_folder;
    TransferJournal m_journal;
    QStringList m_names;
    std::vector<std::unique_ptr<AttendanceFile>> m_files;
    int m_batches = 0;
    QString m_failure;          // why a batch could not be written; later batches are refused
    mutable std::mutex m_mutex; // one batch or journal entry at a time
};

} // namespace selvenor
