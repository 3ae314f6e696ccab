#include "AttendanceWriter.h"

#include "CrashPoint.h"

#include "common/Errors.h"

#include <QDir>
#include <QFileInfo>

namespace selvenor {

namespace {

// The journal holds the lines of every batch since it was last compacted; past this size it is
// compacted between two batches.
constexpr qint64 kCompactAbove = 8 * 1024 * 1024;

void createParentFolder(const QString& path) {
    // One level, as the backup folder is made; a failure shows when the file cannot be opened.
    QDir().mkdir(QFileInfo(path).absolutePath());
}

qsizetype commonPrefix(QByteArrayView a, QByteArrayView b) {
    const qsizetype n = qMin(a.size(), b.size());
    qsizetype i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

} // namespace

// How much of a pending batch a file holds now; `present` is -1 when the file was taken away
// (moved, deleted, emptied or replaced) since the batch began.
struct AttendanceWriter::FileState {
    QString path;
    qint64 present = -1;
};

QString AttendanceWriter::journalName() {
    return QStringLiteral("aktarim.journal");
}

AttendanceWriter::AttendanceWriter(const DataFolder& folder)
    : m_folder(folder)
    , m_journal(folder.file(journalName())) {
    m_journal.load();
    if (const std::optional<JournalBatch> pending = m_journal.pending()) {
        completeInterruptedBatch(*pending);
        m_journal.written();
        m_journal.sync();
    }
    if (m_journal.size() > 0)
        m_journal.compact();
}

AttendanceWriter::~AttendanceWriter() = default;

void AttendanceWriter::completeInterruptedBatch(const JournalBatch& batch) {
    std::vector<FileState> states;
    for (const JournalFile& f : batch.files) {
        FileState s{m_folder.file(f.name)};
        FileIdentity identity;
        const qint64 size = AttendanceFile::sizeOf(s.path, &identity);
        if (size >= f.lengthBefore && identity == f.identity &&
            AttendanceFile::readAt(s.path, f.lengthBefore - f.tail.size(), f.tail.size()) == f.tail)
            s.present = qMin(size - f.lengthBefore, qint64(batch.lines.size()));
        states.push_back(s);
    }
    for (int i = 0; i < int(states.size()); ++i)
        completeFile(batch, states, i);
}

void AttendanceWriter::completeFile(const JournalBatch& batch, const std::vector<FileState>& states,
                                    int index) {
    const FileState& s = states[index];
    const QByteArray& lines = batch.lines;
    if (s.present < 0) {
        // The file is gone with whatever part of the batch it held. The files are written in
        // order, each synced first, so a later file holding any of the batch proves this one
        // had all of it; otherwise the whole batch goes into the new file.
        for (int j = index + 1; j < int(states.size()); ++j) {
            if (states[j].present > 0)
                return;
        }
        createParentFolder(s.path);
        AttendanceFile(s.path).append(lines);
        return;
    }
    const qint64 start = batch.files[index].lengthBefore;
    const QByteArray existing = AttendanceFile::readAt(s.path, start, s.present);
    const qsizetype same = commonPrefix(existing, lines);
    if (same == lines.size())
        return;
    AttendanceFile file(s.path);
    if (same == existing.size()) {
        file.append(QByteArrayView(lines).sliced(same)); // completes a partial last line
        return;
    }
    // Bytes that are not the batch's (a power loss can leave zeros): end them as a line of their
    // own and write every line that is not whole in the file.
    const qsizetype lineStart = same == 0 ? 0 : lines.lastIndexOf('\n', same - 1) + 1;
    const qint64 size = file.size();
    const bool endsWithLineEnd = size >= 2 && AttendanceFile::readAt(s.path, size - 2, 2) == "\r\n";
    QByteArray rest = endsWithLineEnd ? QByteArray() : QByteArray("\r\n");
    rest += QByteArrayView(lines).sliced(lineStart);
    file.append(rest);
}

void AttendanceWriter::open(const QStringList& names) {
    for (const QString& name : names) {
        const QString path = m_folder.file(name);
        if (name.contains(QLatin1Char('/')))
            createParentFolder(path);
        m_files.push_back(std::make_unique<AttendanceFile>(path));
        m_names << name;
    }
}

void AttendanceWriter::writeBatch(const QByteArray& lines, int machine, bool acknowledges,
                                  quint32 firstSequence, quint32 lastSequence) {
    compactWhenLarge();
    JournalBatch batch{machine, acknowledges, firstSequence, lastSequence, {}, lines};
    for (size_t i = 0; i < m_files.size(); ++i)
        batch.files.append(
            {m_names[int(i)], m_files[i]->size(), m_files[i]->identity(), m_files[i]->tail()});
    ++m_batches;
    m_journal.begin(batch);
    CrashPoint::crashIfReached("begun", m_batches);
    for (size_t i = 0; i < m_files.size(); ++i) {
        const QByteArray point = "file" + QByteArray::number(qulonglong(i));
        if (CrashPoint::reached(point.constData(), m_batches)) {
            m_files[i]->append(QByteArrayView(lines).first(lines.size() / 2));
            CrashPoint::crash();
        }
        m_files[i]->append(lines);
    }
    m_journal.written();
    CrashPoint::crashIfReached("written", m_batches);
}

quint32 AttendanceWriter::owedAcknowledgement(int machine) const {
    return m_journal.owedAcknowledgement(machine);
}

void AttendanceWriter::acknowledged(int machine, quint32 sequence) {
    m_journal.acknowledged(machine, sequence);
}

void AttendanceWriter::compactWhenLarge() {
    if (m_journal.size() <= kCompactAbove)
        return;
    m_journal.sync();
    m_journal.compact();
}

void AttendanceWriter::close() {
    m_files.clear();
    m_names.clear();
    m_journal.sync();
    if (!m_journal.pending() && m_journal.size() > 0)
        m_journal.compact();
}

} // namespace selvenor
