#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace selvenor {

// After a repair that could not read everything the journal held, the first records a unit
// hands out may be ones an earlier run already wrote: their acknowledgement was lost with the
// journal. The month's backup file keeps every line, so those records are the ones whose lines
// are the last lines of the backup for the unit's machine number, matched in order as one
// contiguous run.
class BackupReconciliation {
public:
    // Reads the backup file (missing: no line) and keeps its last `limit` lines of `machine`.
    // Throws FileError when it cannot be read.
    BackupReconciliation(const QString& backupPath, int machine, qsizetype limit);

    // How many of the first of `lines` (whole CR LF attendance lines, in the order handed out)
    // are the backup's last lines: the largest k for which the first k lines are its last k.
    qsizetype alreadyWritten(const QByteArray& lines) const;

    // The number of lines that can take part in a match.
    qsizetype tailSize() const { return m_tail.size(); }

private:
    QList<QByteArray> m_tail;
};

} // namespace selvenor
