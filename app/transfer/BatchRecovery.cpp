#include "BatchRecovery.h"

#include "AttendanceFile.h"
#include "JournalFormat.h"

#include "terminal/Crc32.h"

namespace selvenor {

namespace {

qsizetype commonPrefix(QByteArrayView a, QByteArrayView b) {
    const qsizetype n = qMin(a.size(), b.size());
    qsizetype i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

bool endsWithLineEnd(const QString& path) {
    const qint64 size = AttendanceFile::sizeOf(path, nullptr);
    return size < 2 || AttendanceFile::readAt(path, size - 2, 2) == "\r\n";
}

} // namespace

BatchRecovery::BatchRecovery(const DataFolder& folder, const JournalBatch& batch)
    : m_folder(folder)
    , m_batch(batch) {}

qsizetype BatchRecovery::complete() {
    readFiles();
    const QByteArray lines = provenLines();
    for (size_t i = 0; i < m_files.size(); ++i)
        completeFile(i, lines);
    return lines.count('\n');
}

void BatchRecovery::readFiles() {
    for (const JournalFile& f : m_batch.files) {
        FileState s{m_folder.file(f.name)};
        FileIdentity identity;
        const qint64 size = AttendanceFile::sizeOf(s.path, &identity);
        s.replaced =
            size < f.lengthBefore || identity != f.identity ||
            AttendanceFile::readAt(s.path, f.lengthBefore - f.tail.size(), f.tail.size()) != f.tail;
        if (!s.replaced)
            s.held = AttendanceFile::readAt(s.path, f.lengthBefore, m_batch.linesLength);
        m_files.push_back(s);
    }
}

QByteArray BatchRecovery::provenLines() const {
    const QByteArray& journal = m_batch.lines;
    QByteArray proven;
    for (qsizetype block = 0; block < m_batch.blockCrcs.size(); ++block) {
        const qsizetype from = block * journal::kBlockSize;
        const qsizetype length = qMin<qsizetype>(journal::kBlockSize, m_batch.linesLength - from);
        const quint32 crc = m_batch.blockCrcs[block];
        const auto sound = [&](const QByteArray& bytes) {
            return bytes.size() >= from + length &&
                   protocol::crc32(QByteArrayView(bytes).sliced(from, length)) == crc;
        };
        if (sound(journal)) {
            proven += QByteArrayView(journal).sliced(from, length);
            continue;
        }
        const auto holder = std::find_if(m_files.begin(), m_files.end(),
                                         [&](const FileState& f) { return sound(f.held); });
        if (holder != m_files.end()) {
            proven += QByteArrayView(holder->held).sliced(from, length);
            continue;
        }
        // Neither copy proves the block: keep what the journal and a file agree on.
        qsizetype agreed = 0;
        for (const FileState& f : m_files) {
            if (f.held.size() > from && journal.size() > from)
                agreed = qMax(agreed, commonPrefix(QByteArrayView(f.held).sliced(from),
                                                   QByteArrayView(journal).sliced(from)));
        }
        proven += QByteArrayView(journal).sliced(from, qMin(agreed, length));
        break;
    }
    return proven.left(proven.lastIndexOf('\n') + 1); // whole lines only
}

bool BatchRecovery::laterFileHoldsSome(size_t index) const {
    if (int(index) < m_batch.filesDone)
        return true; // the journal itself says this file had all of it
    for (size_t j = index + 1; j < m_files.size(); ++j) {
        if (!m_files[j].replaced && !m_files[j].held.isEmpty())
            return true;
    }
    return false;
}

// Where the batch goes on in a file of which the attendance program took the complete lines:
// it leaves the cut last line, the start of one of the batch's lines. 0 when the file shows
// nothing of the batch (`cut` is empty), -1 when the cut line is none of the batch's.
qsizetype BatchRecovery::resumeAfter(QByteArrayView cut, const QByteArray& lines) {
    if (cut.isEmpty())
        return 0;
    if (cut.contains('\n'))
        return -1;
    qsizetype start = 0;
    while (start < lines.size()) {
        if (QByteArrayView(lines).sliced(start).startsWith(cut))
            return start + cut.size();
        start = lines.indexOf('\n', start) + 1;
        if (start == 0)
            break;
    }
    return -1;
}

void BatchRecovery::completeFile(size_t index, const QByteArray& lines) {
    const FileState& s = m_files[index];
    if (int(index) < m_batch.filesDone)
        return; // it had the whole batch; what it holds now is the attendance program's doing
    if (!s.replaced) {
        const qsizetype same = commonPrefix(s.held, lines);
        if (same == lines.size()) {
            // Bytes beyond the proven lines are a cut line whose record comes again: end it.
            if (s.held.size() > lines.size() && !endsWithLineEnd(s.path))
                AttendanceFile(s.path).append("\r\n");
            return;
        }
        if (same == s.held.size()) {
            // A part of the batch; when a later file holds some of it this file had it all, and
            // the attendance program has taken lines out of it since.
            if (!laterFileHoldsSome(index))
                AttendanceFile(s.path).append(QByteArrayView(lines).sliced(same));
            return;
        }
        if (s.held.contains('\n') || resumeAfter(s.held, lines) < 0) {
            endForeignBytes(s.path, lines, same);
            return;
        }
        // Emptied in place by the attendance program, which left a cut line of the batch.
    }
    // The file does not hold the batch from where it began: moved, deleted, emptied or replaced.
    // A later file holding any of the batch proves this one had all of it.
    if (laterFileHoldsSome(index))
        return;
    AttendanceFile::makeFolderOf(s.path);
    const QByteArray now =
        AttendanceFile::readAt(s.path, 0, AttendanceFile::sizeOf(s.path, nullptr));
    const QByteArrayView cut = QByteArrayView(now).sliced(now.lastIndexOf('\n') + 1);
    const qsizetype resume = resumeAfter(cut, lines);
    if (resume < 0) {
        endForeignBytes(s.path, lines, 0);
        return;
    }
    AttendanceFile(s.path).append(QByteArrayView(lines).sliced(resume));
}

void BatchRecovery::endForeignBytes(const QString& path, const QByteArray& lines, qsizetype same) {
    // Bytes that are not the batch's (a power loss leaves zeros): end them as a line of their own
    // and write every line of the batch that is not whole in the file.
    const qsizetype lineStart = same == 0 ? 0 : lines.lastIndexOf('\n', same - 1) + 1;
    QByteArray rest = endsWithLineEnd(path) ? QByteArray() : QByteArray("\r\n");
    rest += QByteArrayView(lines).sliced(lineStart);
    AttendanceFile(path).append(rest);
}

} // namespace selvenor
