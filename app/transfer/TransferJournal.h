#pragma once

#include "JournalContents.h"

#include "common/Errors.h"

#include <QFile>
#include <QString>

namespace selvenor {

// A journal the downloads cannot trust: damaged, or not one this program wrote. The text names
// the file and says what to do; nothing is written or acknowledged while it stands.
class JournalError : public FileError {
public:
    using FileError::FileError;
};

// The small journal beside the attendance files (see JournalFormat.h for its bytes). Before a
// batch goes into the files it is recorded here with the files' lengths and synced; after the
// files are synced it is marked written, and after the terminal has taken the acknowledgement,
// acknowledged. What it remembers of a terminal (the last sequence number written, the
// acknowledgement owed) is kept under the terminal's identity. A run that is killed or loses
// power leaves either a batch in progress (the next writer completes every file from the
// recorded lines) or an acknowledgement still owed (the next download from that same unit gives
// it first; no other unit ever gets it).
class TransferJournal {
public:
    explicit TransferJournal(const QString& path);

    QString path() const { return m_path; }

    // Reads the journal as it is, damaged or not. Throws FileError when it cannot be read.
    const JournalContents& read();
    // Reads every sound entry, whatever the header says (JournalContents::salvage).
    const JournalContents& salvage();
    // Reads the journal; one that is damaged or unknown throws JournalError.
    void load();
    const JournalContents& contents() const { return m_contents; }

    const std::optional<JournalBatch>& pending() const { return m_contents.pending; }
    TerminalMemory memoryOf(const TerminalIdentity& terminal) const {
        return m_contents.memoryOf(terminal);
    }

    // Records the batch and syncs, before any of its lines is written.
    void begin(const JournalBatch& batch);
    // The pending batch stands whole in its first `files` files, each synced; synced before it
    // returns, so a file that then loses the lines to the attendance program is not given them
    // again.
    void filesDone(int files);
    // The pending batch stands in every file, up to the record `lastSequence`. Synced by the
    // next begin() or sync().
    void written(const TerminalIdentity& terminal, bool acknowledges, quint32 lastSequence);
    // The pending batch was completed by a later run up to the record `lastSequence`: remembered
    // now, on the disk with the next compact().
    void settled(const TerminalIdentity& terminal, bool acknowledges, quint32 lastSequence) {
        m_contents.written(terminal, acknowledges, lastSequence);
    }
    // The terminal has marked its records up to `sequence` read (or erased them). Also tells
    // that the unit was seen: it no longer needs reconciling.
    void acknowledged(const TerminalIdentity& terminal, quint32 sequence);
    // The terminal's numbering started over under the same identity: what was remembered of it
    // means nothing any more. Synced by the next begin() or sync().
    void reset(const TerminalIdentity& terminal);
    void sync();

    qint64 size() const;
    // Rewrites the journal with nothing but what is remembered of each terminal (twice, so a
    // damaged copy costs nothing), replacing it in one rename. Only when no batch is pending.
    void compact();
    // The repair could not read all the journal held: units are reconciled with the backup
    // (JournalContents::markRebuilt). On the disk with the next compact().
    void markRebuilt() { m_contents.markRebuilt(); }

    // The text of the JournalError for a journal whose contents are not sound.
    static QString unsoundText(const QString& path, const JournalContents& contents);

private:
    QByteArray bytes() const;
    void appendEntry(const QByteArray& payload);
    void openForAppending();

    QString m_path;
    QFile m_file;
    JournalContents m_contents;
};

} // namespace selvenor
