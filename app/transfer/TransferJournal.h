#pragma once

#include "AttendanceFile.h"

#include <QByteArray>
#include <QFile>
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
    QByteArray tail; // the file's last bytes before the batch (AttendanceFile::tail)
};

// A batch of attendance lines on its way into the files, in the order they are written.
struct JournalBatch {
    qint32 machine = 0;
    bool acknowledges = false; // the records must be acknowledged to the terminal once written
    quint32 firstSequence = 0;
    quint32 lastSequence = 0;
    QList<JournalFile> files;
    QByteArray lines;
};

// The small journal beside the attendance files. Before a batch goes into the files it is
// recorded here with the files' lengths and synced; after the files are synced it is marked
// written, and after the terminal has taken the acknowledgement, acknowledged. A run that is
// killed or loses power leaves either a batch in progress (the next run completes every file
// from the recorded lines) or an acknowledgement still owed to a terminal (the next download
// from that terminal gives it first, so its records are not handed out and written again).
class TransferJournal {
public:
    explicit TransferJournal(const QString& path);

    QString path() const { return m_path; }

    // Reads the journal. A torn last entry (a run killed while writing it) is ignored.
    void load();

    const std::optional<JournalBatch>& pending() const { return m_pending; }
    // Sequence number the terminal with this machine number still has to be acknowledged up
    // to; 0 when nothing is owed.
    quint32 owedAcknowledgement(int machine) const { return m_owed.value(machine, 0); }

    // Records the batch and syncs, before any of its lines is written.
    void begin(const JournalBatch& batch);
    // Every file holds the batch. Synced by the next begin() or sync().
    void written();
    // The terminal has marked its records up to `sequence` read (or erased them).
    void acknowledged(int machine, quint32 sequence);
    void sync();

    qint64 size() const;
    // Rewrites the journal with nothing but the owed acknowledgements (replacing it atomically).
    // Only when no batch is pending.
    void compact();

private:
    void apply(QByteArrayView payload);
    void appendEntry(const QByteArray& payload);
    void openForAppending();

    QString m_path;
    QFile m_file;
    std::optional<JournalBatch> m_pending;
    QMap<qint32, quint32> m_owed;
};

} // namespace selvenor
