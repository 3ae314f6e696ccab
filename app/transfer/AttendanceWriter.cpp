#include "AttendanceWriter.h"

#include "BatchRecovery.h"
#include "CrashPoint.h"

#include "common/Errors.h"

namespace selvenor {

namespace {

// The journal holds the lines of every batch since it was last compacted; past this size it is
// compacted between two batches.
constexpr qint64 kCompactAbove = 8 * 1024 * 1024;

} // namespace

QString AttendanceWriter::journalName() {
    return QStringLiteral("aktarim.journal");
}

AttendanceWriter::AttendanceWriter(const DataFolder& folder)
    : m_folder(folder)
    , m_journal(folder.file(journalName())) {
    m_journal.load();
    completePending(m_folder, m_journal);
}

AttendanceWriter::~AttendanceWriter() = default;

qsizetype AttendanceWriter::completePending(const DataFolder& folder, TransferJournal& journal) {
    qsizetype lines = 0;
    if (const std::optional<JournalBatch> pending = journal.pending()) {
        lines = BatchRecovery(folder, *pending).complete();
        journal.settled(pending->terminal, pending->acknowledges && lines > 0,
                        pending->sequenceOfLine(lines));
    }
    // A new journal in one rename: nothing is appended behind what a killed run left unfinished.
    if (journal.size() > 0)
        journal.compact();
    return lines;
}

void AttendanceWriter::open(const QStringList& names) {
    for (const QString& name : names) {
        m_names << name;
        m_files.emplace_back();
        openFile(m_files.size() - 1);
    }
}

void AttendanceWriter::openFile(size_t index) {
    const QString path = m_folder.file(m_names[int(index)]);
    if (m_names[int(index)].contains(QLatin1Char('/')))
        AttendanceFile::makeFolderOf(path);
    m_files[index] = std::make_unique<AttendanceFile>(path);
}

void AttendanceWriter::writeBatch(const QByteArray& lines, const BatchSource& source) {
    const std::lock_guard lock(m_mutex);
    if (!m_failure.isEmpty())
        throw FileError(m_failure);
    try {
        writeBatchLocked(lines, source);
    } catch (const Error& e) {
        m_failure = e.text();
        throw;
    }
}

void AttendanceWriter::writeBatchLocked(const QByteArray& lines, const BatchSource& source) {
    compactWhenLarge();
    JournalBatch batch{source.terminal, source.acknowledges, source.sequences};
    batch.setLines(lines);
    for (size_t i = 0; i < m_files.size(); ++i) {
        if (!m_files[i]->isStillAtItsPath())
            openFile(i);
        const AttendanceFile& f = *m_files[i];
        const qint64 size = f.size();
        batch.files.append({m_names[int(i)], size, f.identity(), f.tailBefore(size)});
    }
    ++m_batches;
    m_journal.begin(batch);
    CrashPoint::crashIfReached("begun", m_batches);
    for (size_t i = 0; i < m_files.size(); ++i) {
        appendBatch(i, lines);
        // The last file's completion is the written entry below.
        if (i + 1 < m_files.size())
            m_journal.filesDone(int(i + 1));
        CrashPoint::crashIfReached(CrashPoint::ofFile("done", i), m_batches);
    }
    m_journal.written(source.terminal, source.acknowledges,
                      source.sequences.isEmpty() ? 0 : source.sequences.last());
    CrashPoint::crashIfReached("written", m_batches);
}

void AttendanceWriter::appendBatch(size_t index, const QByteArray& lines) {
    AttendanceFile& file = *m_files[index];
    if (CrashPoint::reached(CrashPoint::ofFile("file", index), m_batches)) {
        file.append(QByteArrayView(lines).first(lines.size() / 2));
        CrashPoint::crash();
    }
    if (CrashPoint::reached(CrashPoint::ofFile("cut", index), m_batches)) {
        file.append(QByteArrayView(lines).first(CrashPoint::insideALine(lines)));
        CrashPoint::crash();
    }
    file.append(lines);
}

TerminalMemory AttendanceWriter::memoryOf(const TerminalIdentity& terminal) const {
    const std::lock_guard lock(m_mutex);
    return m_journal.memoryOf(terminal);
}

void AttendanceWriter::acknowledged(const TerminalIdentity& terminal, quint32 sequence) {
    const std::lock_guard lock(m_mutex);
    m_journal.acknowledged(terminal, sequence);
}

void AttendanceWriter::numberingStartedOver(const TerminalIdentity& terminal) {
    const std::lock_guard lock(m_mutex);
    m_journal.reset(terminal);
}

void AttendanceWriter::compactWhenLarge() {
    if (m_journal.size() <= kCompactAbove)
        return;
    m_journal.sync();
    m_journal.compact();
}

void AttendanceWriter::close() {
    const std::lock_guard lock(m_mutex);
    m_files.clear();
    m_names.clear();
    m_journal.sync();
    if (!m_journal.pending() && m_journal.size() > 0)
        m_journal.compact();
}

} // namespace selvenor
