#pragma once

#include "AttendanceFile.h"
#include "TerminalIdentity.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

namespace selvenor {

// One attendance file of a batch, as it stood before the batch was written to it.
struct JournalFile {
    QString name; // relative to the data folder
    qint64 lengthBefore = 0;
    FileIdentity identity;
    QByteArray tail; // the file's last bytes before the batch (at most AttendanceFile::kTailSize)

    bool operator==(const JournalFile&) const = default;
};

// A batch of attendance lines on its way into the files, in the order they are written.
struct JournalBatch {
    TerminalIdentity terminal; // empty for the lines of a memory-card file
    bool acknowledges = false; // new records: the terminal is owed an acknowledgement once written
    QList<quint32> sequences;  // the records' sequence numbers, one per line; empty for card lines
    QList<JournalFile> files;
    // The batch stands whole and synced in files[0] to files[filesDone - 1]: whatever they hold
    // now (the attendance program may have taken the lines) is not given the batch again.
    int filesDone = 0;
    quint32 linesLength = 0;
    QList<quint32> blockCrcs; // CRC of every 4 KiB of the lines
    // The lines as the journal holds them: all of them, unless the entry was damaged or cut short
    // (then shorter, or with bytes that fail their block's CRC).
    QByteArray lines;

    // Sets the lines with their length and block CRCs.
    void setLines(const QByteArray& lines);
    // Sequence number of the record of line `count` (1-based); 0 for card lines.
    quint32 sequenceOfLine(qsizetype count) const;

    bool operator==(const JournalBatch&) const = default;
};

// What the downloads remember of one terminal identity.
struct TerminalMemory {
    quint32 lastWritten = 0;  // the highest sequence number whose line stands in every file
    quint32 acknowledged = 0; // the terminal took the acknowledgement up to here
    // The journal was rebuilt without all it held about this unit: before its records are
    // written, those whose lines end the month's backup are passed over (BackupReconciliation).
    bool reconcile = false;
    // The sequence number the terminal is still owed an acknowledgement up to; 0 for none.
    quint32 owed() const { return lastWritten > acknowledged ? lastWritten : 0; }

    bool operator==(const TerminalMemory&) const = default;
};

// Bytes of the journal that did not read as an entry.
struct JournalDamage {
    qint64 offset = 0;
    qint64 length = 0;
    // The bytes were a batch's entry whose description still reads: nothing else was lost.
    bool batchSalvaged = false;

    bool operator==(const JournalDamage&) const = default;
};

// Everything a journal says, and the rules that turn its entries into what is remembered.
// parse() never throws and never trusts a field it has not checked: a damaged journal reads as
// far as its entries are sound, and says where it is not.
struct JournalContents {
    enum class Format {
        Empty,   // no journal yet (or an empty file)
        Current, // this version's journal
        Unknown, // not a journal of this version: another format, another program's file
    };

    Format format = Format::Empty;
    quint32 version = 0; // of the header, when it carries our magic
    // A repair could not read everything the journal held: units it does not know are reconciled.
    bool rebuilt = false;
    QMap<TerminalIdentity, TerminalMemory> terminals;
    // The batch that was begun and not marked written: a run was interrupted while writing it.
    std::optional<JournalBatch> pending;
    // The pending batch came from an entry that failed its check (its description is sound, its
    // lines only where their CRCs say so).
    bool pendingDamaged = false;
    QList<JournalDamage> damage;
    // Bytes of a last entry that a killed run left unfinished: harmless, the entry's batch had
    // not begun (its lines are written only after the entry is on the disk).
    qint64 cutShort = 0;
    int entries = 0;

    // Nothing damaged and nothing unknown: the downloads may go on.
    bool sound() const { return format != Format::Unknown && damage.isEmpty(); }
    // Some bytes held what cannot be told any more (a damaged entry that was no batch's).
    bool lostSomething() const;
    TerminalMemory memoryOf(const TerminalIdentity& terminal) const {
        return terminals.value(terminal, TerminalMemory{0, 0, rebuilt});
    }

    void begin(const JournalBatch& batch);
    void written(const TerminalIdentity& terminal, bool acknowledges, quint32 lastSequence);
    void acknowledged(const TerminalIdentity& terminal, quint32 sequence);
    void remember(const TerminalIdentity& terminal, const TerminalMemory& memory);
    bool filesDone(int files);
    void reset(const TerminalIdentity& terminal);
    // Every unit known now, and every unit met later until it is seen, is reconciled.
    void markRebuilt();

    static JournalContents parse(const QByteArray& bytes);
    // Reads every sound entry wherever it stands, whatever the header says: the repair's view of
    // a journal whose header or whole parts did not read. The format is Current; the damage lists
    // every stretch of bytes (header excepted) that held no sound entry.
    static JournalContents salvage(const QByteArray& bytes);
};

} // namespace selvenor
