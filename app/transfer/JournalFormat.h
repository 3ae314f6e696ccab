#pragma once

#include "JournalContents.h"
#include "TerminalIdentity.h"

#include "terminal/PayloadReader.h"
#include "terminal/PayloadWriter.h"

#include <QByteArray>
#include <QList>

// The downloads' journal on disk (aktarim.journal). All numbers are big-endian.
//
//   header   "SELVJRNL" (8 bytes), version u32
//   entry    marker u32 ("JRNE"), length u32, payload (length bytes), CRC-32 u32 of the length
//            field and the payload
//
// The marker lets a reader find the next entry behind a damaged one, also behind a header that no
// longer reads (journal-check --repair salvages every sound entry). The payload's first byte is
// its kind (EntryKind). A batch's entry (Begin) keeps two copies of its description, each with a
// CRC of its own, and the CRC of every 4 KiB of its lines, so that a damaged entry still tells
// which of its lines are sound and the attendance files can vouch for the others.
namespace selvenor::journal {

inline constexpr char kMagic[] = "SELVJRNL";
inline constexpr int kMagicSize = 8;
// Version 2 added FilesDone, Reset and Rebuilt and a flags byte behind State. A version 1 journal
// holds a subset of version 2's entries and is read as it is; the next writer rewrites it as
// version 2 (an older program refuses that, as it refuses any version it does not know).
inline constexpr quint32 kVersion = 2;
inline constexpr quint32 kOldestReadVersion = 1;
inline constexpr int kHeaderSize = kMagicSize + 4;
inline constexpr quint32 kEntryMarker = 0x4A524E45; // "JRNE"
inline constexpr int kEntryOverhead = 12;
inline constexpr quint32 kMaxPayload = 256u * 1024 * 1024;
inline constexpr int kBlockSize = 4096;

enum class EntryKind : quint8 {
    Begin = 1,        // a batch about to be written: description and lines
    Written = 2,      // the batch stands in every file: terminal, acknowledges, last sequence
    Acknowledged = 3, // the terminal took an acknowledgement: terminal, sequence
    State = 4,        // what is remembered of a terminal (written by compaction): terminal,
                      // last written, acknowledged, flags (version 2: StateFlag)
    FilesDone = 5,    // the pending batch stands whole and synced in its first N files: N (u8)
    Reset = 6,        // the terminal's numbering started over: terminal; forgets its memory
    Rebuilt = 7,      // a repair could not read all the journal held: every unit it does not
                      // know for sure is reconciled with the backup at its next download
};

enum StateFlag : quint8 {
    Reconcile = 1, // TerminalMemory::reconcile
};

QByteArray header();
// marker, length, payload, CRC.
QByteArray entry(const QByteArray& payload);
// The CRC of the length field and the payload, as an entry carries it.
quint32 entryCrc(QByteArrayView lengthAndPayload);

// The CRC of each kBlockSize piece of `lines`.
QList<quint32> blockCrcs(QByteArrayView lines);

// What compaction writes: the header, the note that the memory was rebuilt (twice, when it was)
// and what is remembered of each terminal (twice, so a damaged copy costs nothing).
QByteArray compacted(const JournalContents& contents);

// The payloads of the entries.
QByteArray beginPayload(const JournalBatch& batch);
// A Begin payload from a description already encoded: its two copies, each with its CRC, then
// the lines.
QByteArray beginPayload(const QByteArray& description, const QByteArray& lines);
QByteArray writtenPayload(const TerminalIdentity& terminal, bool acknowledges,
                          quint32 lastSequence);
QByteArray acknowledgedPayload(const TerminalIdentity& terminal, quint32 sequence);
QByteArray statePayload(const TerminalIdentity& terminal, const TerminalMemory& memory);
QByteArray filesDonePayload(int files);
QByteArray resetPayload(const TerminalIdentity& terminal);
QByteArray rebuiltPayload();

// The batch a Begin payload tells, from the first of its two copies of the description that
// passes its CRC; the lines are whatever follows, unchecked.
// False when neither copy is sound.
bool readBegin(const QByteArray& payload, JournalBatch& batch);

void writeU64(protocol::PayloadWriter& out, quint64 value);
quint64 readU64(protocol::PayloadReader& in);
// A text of up to 65535 UTF-8 bytes with a u16 length in front.
void writeText(protocol::PayloadWriter& out, const QString& text);
QString readText(protocol::PayloadReader& in);
void writeIdentity(protocol::PayloadWriter& out, const TerminalIdentity& identity);
TerminalIdentity readIdentity(protocol::PayloadReader& in);

} // namespace selvenor::journal
