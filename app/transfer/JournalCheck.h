#pragma once

#include "TransferJournal.h"

#include "data/DataFolder.h"

#include <QDate>
#include <QStringList>

namespace selvenor {

// The operator's way out of a damaged or unknown journal (selvenor-cli journal-check): shows
// what the journal holds and repairs it without losing or doubling a record. The repair keeps a
// copy of the journal as it found it, takes every sound entry (each has its marker and CRC)
// whatever the header says, completes the batch that was in progress as far as its lines are
// proven (by the journal's CRCs or by the attendance files themselves), and writes a sound
// journal with everything it could read. When some bytes held what can no longer be told (a
// unit's owed acknowledgement, perhaps), the journal notes that its memory was rebuilt: the
// next download of each unit it does not know for sure passes over the records whose lines
// already end the month's backup (BackupReconciliation), which keeps every line.
class JournalCheck {
public:
    explicit JournalCheck(const DataFolder& folder);

    // Lines describing the journal: its state, every terminal it remembers, a batch in progress,
    // the places that did not read. Throws FileError when it cannot be read.
    QStringList describe();
    // Whether the downloads can use the journal as it is (after describe() or repair()).
    bool sound() const { return m_sound; }

    // Repairs the journal under the data folder's lock; returns lines saying what was done.
    // `today` names the month's backup files whose last line is ended when a batch could not
    // be read. Throws FileError.
    QStringList repair(const QDate& today = QDate::currentDate());

private:
    QString keepCopy();
    QStringList completePending();
    QStringList endCutLines(const QDate& today);

    DataFolder m_folder;
    TransferJournal m_journal;
    bool m_sound = false;
};

} // namespace selvenor
