#include "BackupReconciliation.h"

#include "AttendanceFile.h"
#include "TextLines.h"

#include "common/TextFunctions.h"

namespace selvenor {

namespace {

// The machine number is the line's fourth piece, before the mode column.
bool isOfMachine(QByteArrayView line, const QByteArray& machine) {
    const QList<QByteArray> pieces = line.toByteArray().split(' ');
    return pieces.size() == 5 && pieces[3] == machine;
}

QList<QByteArray> linesOf(const QByteArray& text) {
    QList<QByteArray> lines;
    forEachLine(text, [&](QByteArrayView line) { lines << line.toByteArray(); });
    return lines;
}

} // namespace

BackupReconciliation::BackupReconciliation(const QString& backupPath, int machine,
                                           qsizetype limit) {
    const qint64 size = AttendanceFile::sizeOf(backupPath, nullptr);
    if (size <= 0)
        return;
    const QByteArray number = ZeroPad(machine, 2).toLatin1();
    QList<QByteArray> all;
    forEachLine(AttendanceFile::readAt(backupPath, 0, size), [&](QByteArrayView line) {
        if (isOfMachine(line, number))
            all << line.toByteArray();
    });
    m_tail = all.mid(qMax<qsizetype>(0, all.size() - limit));
}

qsizetype BackupReconciliation::alreadyWritten(const QByteArray& lines) const {
    const QList<QByteArray> handedOut = linesOf(lines);
    const qsizetype n = m_tail.size();
    for (qsizetype k = qMin(handedOut.size(), n); k > 0; --k) {
        if (handedOut[k - 1] != m_tail[n - 1] || handedOut[0] != m_tail[n - k])
            continue;
        if (std::equal(handedOut.begin(), handedOut.begin() + k, m_tail.end() - k))
            return k;
    }
    return 0;
}

} // namespace selvenor
