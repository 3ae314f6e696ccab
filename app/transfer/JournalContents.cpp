#include "JournalContents.h"

#include "JournalFormat.h"

#include "terminal/Crc32.h"

#include <QtEndian>

#include <algorithm>

namespace selvenor {

using namespace journal;
using protocol::PayloadReader;

void JournalBatch::setLines(const QByteArray& bytes) {
    lines = bytes;
    linesLength = quint32(bytes.size());
    blockCrcs = journal::blockCrcs(bytes);
}

quint32 JournalBatch::sequenceOfLine(qsizetype count) const {
    return count > 0 && count <= sequences.size() ? sequences[count - 1] : 0;
}

void JournalContents::begin(const JournalBatch& batch) {
    pending = batch;
    pendingDamaged = false;
}

void JournalContents::written(const TerminalIdentity& terminal, bool acknowledges,
                              quint32 lastSequence) {
    pending.reset();
    pendingDamaged = false;
    if (acknowledges && !terminal.isEmpty()) {
        TerminalMemory& m = terminals[terminal];
        m.lastWritten = qMax(m.lastWritten, lastSequence);
        m.reconcile = false;
    }
}

void JournalContents::acknowledged(const TerminalIdentity& terminal, quint32 sequence) {
    if (terminal.isEmpty())
        return;
    TerminalMemory& m = terminals[terminal];
    m.acknowledged = qMax(m.acknowledged, sequence);
    m.reconcile = false;
}

void JournalContents::remember(const TerminalIdentity& terminal, const TerminalMemory& memory) {
    if (terminal.isEmpty())
        return;
    TerminalMemory& m = terminals[terminal];
    m.lastWritten = qMax(m.lastWritten, memory.lastWritten);
    m.acknowledged = qMax(m.acknowledged, memory.acknowledged);
    m.reconcile = memory.reconcile;
}

bool JournalContents::filesDone(int files) {
    if (!pending || files > pending->files.size())
        return false;
    pending->filesDone = qMax(pending->filesDone, files);
    return true;
}

void JournalContents::reset(const TerminalIdentity& terminal) {
    if (!terminal.isEmpty())
        terminals[terminal] = TerminalMemory{};
}

void JournalContents::markRebuilt() {
    rebuilt = true;
    for (TerminalMemory& m : terminals)
        m.reconcile = true;
}

bool JournalContents::lostSomething() const {
    return std::any_of(damage.begin(), damage.end(),
                       [](const JournalDamage& d) { return !d.batchSalvaged; });
}

namespace {

// Reads the entries one after the other. Where bytes do not form a sound entry, it looks for the
// next sound one behind them, so a damaged entry costs only itself.
class Parser {
public:
    Parser(const QByteArray& bytes, bool salvage)
        : m_bytes(bytes)
        , m_salvage(salvage) {}

    JournalContents run();

private:
    quint32 u32At(qint64 at) const { return qFromBigEndian<quint32>(m_bytes.constData() + at); }
    qint64 size() const { return m_bytes.size(); }
    // The payload length of a sound entry at `at` (marker, length, CRC); -1 when there is none.
    qint64 entryAt(qint64 at) const;
    qint64 nextEntryFrom(qint64 at) const;
    // The bytes from `at` to the end are the start of an entry a killed run did not finish.
    bool cutShortAt(qint64 at) const;
    // Where the entries start: behind a header this program reads; -1 when there is none.
    qint64 entriesStart();
    // Where the entries start for salvage(): behind the header's place whatever it holds, or
    // earlier when an entry stands there.
    qint64 salvageStart() const;
    void readEntries(qint64 at);
    bool apply(const QByteArray& payload);
    bool applyBegin(const QByteArray& payload);
    bool applyOther(EntryKind kind, PayloadReader& in);
    // Takes the description of a Begin entry in the unsound bytes [at, end), when that part of
    // it is sound; its lines are then checked block by block when the batch is completed.
    bool salvageBegin(qint64 at, qint64 end);

    const QByteArray& m_bytes;
    const bool m_salvage;
    JournalContents m_contents;
};

qint64 Parser::entryAt(qint64 at) const {
    if (size() - at < kEntryOverhead || u32At(at) != kEntryMarker)
        return -1;
    const quint32 length = u32At(at + 4);
    if (length > kMaxPayload || qint64(length) > size() - at - kEntryOverhead)
        return -1;
    const QByteArrayView lengthAndPayload(m_bytes.constData() + at + 4, qsizetype(length) + 4);
    return u32At(at + 8 + length) == entryCrc(lengthAndPayload) ? qint64(length) : -1;
}

qint64 Parser::nextEntryFrom(qint64 at) const {
    char marker[4];
    qToBigEndian(kEntryMarker, marker);
    for (qint64 found = m_bytes.indexOf(QByteArrayView(marker, 4), at); found >= 0;
         found = m_bytes.indexOf(QByteArrayView(marker, 4), found + 1)) {
        if (entryAt(found) >= 0)
            return found;
    }
    return -1;
}

bool Parser::cutShortAt(qint64 at) const {
    const QByteArrayView rest = QByteArrayView(m_bytes).sliced(at);
    if (rest.count('\0') == rest.size())
        return true; // space the file system had given the entry, still unwritten
    char marker[4];
    qToBigEndian(kEntryMarker, marker);
    if (rest.size() < 4)
        return QByteArrayView(marker, rest.size()) == rest;
    if (u32At(at) != kEntryMarker)
        return false;
    return rest.size() < 8 || qint64(u32At(at + 4)) + kEntryOverhead > rest.size();
}

bool Parser::applyBegin(const QByteArray& payload) {
    JournalBatch batch;
    if (!readBegin(payload, batch) || batch.lines.size() != batch.linesLength)
        return false;
    m_contents.begin(batch);
    return true;
}

bool Parser::apply(const QByteArray& payload) {
    if (payload.isEmpty())
        return false;
    const auto kind = EntryKind(quint8(payload[0]));
    if (kind == EntryKind::Begin)
        return applyBegin(payload);
    PayloadReader in(payload);
    in.u8();
    return applyOther(kind, in);
}

bool Parser::applyOther(EntryKind kind, PayloadReader& in) {
    switch (kind) {
    case EntryKind::FilesDone: {
        const int files = in.u8();
        return in.complete() && m_contents.filesDone(files);
    }
    case EntryKind::Rebuilt:
        if (!in.complete())
            return false;
        m_contents.markRebuilt();
        return true;
    case EntryKind::Begin:
        return false;
    default:
        break;
    }
    const TerminalIdentity terminal = readIdentity(in);
    switch (kind) {
    case EntryKind::Written: {
        const bool acknowledges = in.u8() != 0;
        const quint32 last = in.u32();
        if (!in.complete())
            return false;
        m_contents.written(terminal, acknowledges, last);
        return true;
    }
    case EntryKind::Acknowledged: {
        const quint32 sequence = in.u32();
        if (!in.complete())
            return false;
        m_contents.acknowledged(terminal, sequence);
        return true;
    }
    case EntryKind::State: {
        TerminalMemory memory;
        memory.lastWritten = in.u32();
        memory.acknowledged = in.u32();
        if (in.remaining() == 1) // version 1 has no flags
            memory.reconcile = (in.u8() & StateFlag::Reconcile) != 0;
        if (!in.complete() || terminal.isEmpty())
            return false;
        m_contents.remember(terminal, memory);
        return true;
    }
    case EntryKind::Reset:
        if (!in.complete() || terminal.isEmpty())
            return false;
        m_contents.reset(terminal);
        return true;
    default:
        return false;
    }
}

bool Parser::salvageBegin(qint64 at, qint64 end) {
    if (end - at < kEntryOverhead || u32At(at) != kEntryMarker)
        return false;
    const qint64 declaredEnd = at + 8 + qint64(u32At(at + 4));
    const QByteArray payload = m_bytes.mid(at + 8, qMin(end, declaredEnd) - at - 8);
    JournalBatch batch;
    if (!readBegin(payload, batch))
        return false;
    batch.lines.truncate(batch.linesLength);
    m_contents.begin(batch);
    m_contents.pendingDamaged = true;
    return true;
}

qint64 Parser::entriesStart() {
    const QByteArray ours = header();
    if (m_bytes.size() < kHeaderSize && ours.startsWith(m_bytes))
        return -1; // a new journal whose header was being written
    if (!m_bytes.startsWith(QByteArrayView(kMagic, kMagicSize)) || m_bytes.size() < kHeaderSize) {
        m_contents.format = JournalContents::Format::Unknown;
        return -1;
    }
    m_contents.version = u32At(kMagicSize);
    if (m_contents.version < kOldestReadVersion || m_contents.version > kVersion) {
        m_contents.format = JournalContents::Format::Unknown;
        return -1;
    }
    return kHeaderSize;
}

qint64 Parser::salvageStart() const {
    const qint64 first = entryAt(0) >= 0 ? 0 : nextEntryFrom(0);
    if (first >= 0 && first < kHeaderSize)
        return first;
    return qMin<qint64>(kHeaderSize, size());
}

void Parser::readEntries(qint64 at) {
    m_contents.format = JournalContents::Format::Current;
    while (at < size()) {
        const qint64 length = entryAt(at);
        if (length >= 0) {
            const qint64 next = at + kEntryOverhead + length;
            if (apply(m_bytes.mid(at + 8, length)))
                ++m_contents.entries;
            else
                m_contents.damage << JournalDamage{at, next - at};
            at = next;
            continue;
        }
        const qint64 next = nextEntryFrom(at + 1);
        if (next < 0 && cutShortAt(at)) {
            m_contents.cutShort = size() - at;
            salvageBegin(at, size());
            break;
        }
        const qint64 end = next < 0 ? size() : next;
        const bool batch = salvageBegin(at, end);
        m_contents.damage << JournalDamage{at, end - at, batch};
        at = end;
    }
}

JournalContents Parser::run() {
    if (m_bytes.isEmpty())
        return m_contents;
    if (m_salvage) {
        if (m_bytes.startsWith(QByteArrayView(kMagic, kMagicSize)) && size() >= kHeaderSize)
            m_contents.version = u32At(kMagicSize);
        readEntries(salvageStart());
        return m_contents;
    }
    const qint64 start = entriesStart();
    if (start >= 0)
        readEntries(start);
    return m_contents;
}

} // namespace

JournalContents JournalContents::parse(const QByteArray& bytes) {
    return Parser(bytes, false).run();
}

JournalContents JournalContents::salvage(const QByteArray& bytes) {
    return Parser(bytes, true).run();
}

} // namespace selvenor
