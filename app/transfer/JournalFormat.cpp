#include "JournalFormat.h"

#include "terminal/Crc32.h"

#include <limits>

namespace selvenor::journal {

using protocol::PayloadReader;
using protocol::PayloadWriter;

QByteArray header() {
    PayloadWriter out;
    out.bytes(QByteArray(kMagic, kMagicSize)).u32(kVersion);
    return out.data();
}

quint32 entryCrc(QByteArrayView lengthAndPayload) {
    return protocol::crc32(lengthAndPayload);
}

QByteArray entry(const QByteArray& payload) {
    PayloadWriter out;
    out.u32(kEntryMarker).u32(quint32(payload.size())).bytes(payload);
    out.u32(entryCrc(QByteArrayView(out.data()).sliced(4)));
    return out.data();
}

QList<quint32> blockCrcs(QByteArrayView lines) {
    QList<quint32> crcs;
    crcs.reserve(lines.size() / kBlockSize + 1);
    for (qsizetype at = 0; at < lines.size(); at += kBlockSize)
        crcs << protocol::crc32(lines.sliced(at, qMin<qsizetype>(kBlockSize, lines.size() - at)));
    return crcs;
}

void writeU64(PayloadWriter& out, quint64 value) {
    out.u32(quint32(value >> 32)).u32(quint32(value));
}

quint64 readU64(PayloadReader& in) {
    const quint64 high = in.u32();
    return (high << 32) | in.u32();
}

void writeText(PayloadWriter& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8().left(0xFFFF);
    out.u16(quint16(utf8.size())).bytes(utf8);
}

QString readText(PayloadReader& in) {
    return QString::fromUtf8(in.bytes(in.u16()));
}

void writeIdentity(PayloadWriter& out, const TerminalIdentity& identity) {
    writeText(out, identity.serial);
    out.u32(identity.generation);
}

TerminalIdentity readIdentity(PayloadReader& in) {
    TerminalIdentity identity;
    identity.serial = readText(in);
    identity.generation = in.u32();
    return identity;
}

} // namespace selvenor::journal

namespace selvenor::journal {

namespace {

QByteArray description(const JournalBatch& b) {
    PayloadWriter out;
    writeIdentity(out, b.terminal);
    out.u8(b.acknowledges ? 1 : 0).u32(quint32(b.sequences.size()));
    for (qsizetype i = 0; i < b.sequences.size(); ++i) {
        if (i == 0)
            out.u32(b.sequences[0]);
        else
            out.varint(b.sequences[i] - b.sequences[i - 1]);
    }
    out.u8(quint8(b.files.size()));
    for (const JournalFile& f : b.files) {
        writeText(out, f.name);
        writeU64(out, quint64(f.lengthBefore));
        writeU64(out, f.identity.device);
        writeU64(out, f.identity.inode);
        out.u8(quint8(f.tail.size())).bytes(f.tail);
    }
    out.u32(b.linesLength).u32(quint32(b.blockCrcs.size()));
    for (quint32 crc : b.blockCrcs)
        out.u32(crc);
    return out.data();
}

bool readSequences(PayloadReader& in, QList<quint32>& sequences) {
    const quint32 count = in.u32();
    if (count > quint32(in.remaining()))
        return false; // every sequence number takes a byte at least
    sequences.reserve(qsizetype(count));
    for (quint32 i = 0; i < count && in.ok(); ++i) {
        if (i == 0) {
            sequences << in.u32();
            continue;
        }
        const quint32 gap = in.varint();
        if (gap == 0 || sequences.last() > std::numeric_limits<quint32>::max() - gap)
            return false;
        sequences << sequences.last() + gap;
    }
    return in.ok();
}

bool readFile(PayloadReader& in, JournalFile& f) {
    f.name = readText(in);
    const quint64 length = readU64(in);
    f.identity.device = readU64(in);
    f.identity.inode = readU64(in);
    f.tail = in.bytes(in.u8());
    f.lengthBefore = qint64(length);
    return in.ok() && !f.name.isEmpty() && length < (quint64(1) << 62) &&
           f.tail.size() <= AttendanceFile::kTailSize && f.tail.size() <= f.lengthBefore;
}

// The batch a sound description tells (lines not included); false for any field out of place.
bool decodeDescription(const QByteArray& description, JournalBatch& b) {
    PayloadReader in(description);
    b.terminal = readIdentity(in);
    b.acknowledges = in.u8() != 0;
    if (!readSequences(in, b.sequences))
        return false;
    const int files = in.u8();
    for (int i = 0; i < files && in.ok(); ++i) {
        JournalFile f;
        if (!readFile(in, f))
            return false;
        b.files << f;
    }
    b.linesLength = in.u32();
    const quint32 blocks = in.u32();
    const quint32 expectedBlocks = quint32((quint64(b.linesLength) + kBlockSize - 1) / kBlockSize);
    if (!in.ok() || blocks != expectedBlocks || blocks > quint32(in.remaining()) / 4)
        return false;
    for (quint32 i = 0; i < blocks; ++i)
        b.blockCrcs << in.u32();
    return in.complete() && (b.terminal.isEmpty() || b.terminal.generation != 0);
}

} // namespace

QByteArray compacted(const JournalContents& contents) {
    QByteArray bytes = header();
    for (int copy = 0; copy < 2 && contents.rebuilt; ++copy)
        bytes += entry(rebuiltPayload());
    for (int copy = 0; copy < 2; ++copy) {
        for (auto it = contents.terminals.cbegin(); it != contents.terminals.cend(); ++it)
            bytes += entry(statePayload(it.key(), it.value()));
    }
    return bytes;
}

QByteArray beginPayload(const JournalBatch& batch) {
    return beginPayload(description(batch), batch.lines);
}

QByteArray beginPayload(const QByteArray& description, const QByteArray& lines) {
    PayloadWriter out;
    out.u8(quint8(EntryKind::Begin));
    for (int copy = 0; copy < 2; ++copy)
        out.u32(quint32(description.size())).bytes(description).u32(protocol::crc32(description));
    out.bytes(lines);
    return out.data();
}

QByteArray writtenPayload(const TerminalIdentity& terminal, bool acknowledges,
                          quint32 lastSequence) {
    PayloadWriter out;
    out.u8(quint8(EntryKind::Written));
    writeIdentity(out, terminal);
    out.u8(acknowledges ? 1 : 0).u32(lastSequence);
    return out.data();
}

QByteArray acknowledgedPayload(const TerminalIdentity& terminal, quint32 sequence) {
    PayloadWriter out;
    out.u8(quint8(EntryKind::Acknowledged));
    writeIdentity(out, terminal);
    out.u32(sequence);
    return out.data();
}

QByteArray statePayload(const TerminalIdentity& terminal, const TerminalMemory& memory) {
    PayloadWriter out;
    out.u8(quint8(EntryKind::State));
    writeIdentity(out, terminal);
    out.u32(memory.lastWritten).u32(memory.acknowledged);
    out.u8(memory.reconcile ? StateFlag::Reconcile : 0);
    return out.data();
}

QByteArray filesDonePayload(int files) {
    PayloadWriter out;
    out.u8(quint8(EntryKind::FilesDone)).u8(quint8(files));
    return out.data();
}

QByteArray resetPayload(const TerminalIdentity& terminal) {
    PayloadWriter out;
    out.u8(quint8(EntryKind::Reset));
    writeIdentity(out, terminal);
    return out.data();
}

QByteArray rebuiltPayload() {
    PayloadWriter out;
    out.u8(quint8(EntryKind::Rebuilt));
    return out.data();
}

bool readBegin(const QByteArray& payload, JournalBatch& batch) {
    PayloadReader in(payload);
    if (in.u8() != quint8(EntryKind::Begin))
        return false;
    bool found = false;
    for (int copy = 0; copy < 2 && in.ok(); ++copy) {
        const quint32 length = in.u32();
        if (!in.ok() || length > quint32(in.remaining()))
            return found; // a damaged length: what follows cannot be placed
        const QByteArray description = in.bytes(int(length));
        const quint32 crc = in.u32();
        if (!found && in.ok() && protocol::crc32(description) == crc) {
            JournalBatch decoded;
            found = decodeDescription(description, decoded);
            if (found)
                batch = decoded;
        }
    }
    if (found)
        batch.lines = payload.mid(payload.size() - in.remaining());
    return found;
}

} // namespace selvenor::journal
