#pragma once

#include "TerminalState.h"

#include <QString>

#include <memory>
#include <optional>

namespace selvenor::sim {

// Keeps a running simulator's state on disk, one small write per change.
//
// The state file (JSON) is what people write, copy and read. While the simulator runs, every
// change goes into a working copy beside it, an SQLite database at workingCopyPath(), so
// persisting a change costs work in proportion to the change, not to the whole state. finish()
// writes the whole state back into the state file and removes the working copy. A run that does
// not get that far (killed) leaves the working copy, and the next load() continues from it,
// unless the state file was changed after that run wrote it. The working copy is locked while
// the store is open: a second simulator on the same state file is refused.
//
// Every function throws selvenor::Error (FileError, DatabaseError) naming the file.
class StateStore {
public:
    explicit StateStore(QString statePath);
    ~StateStore();
    StateStore(const StateStore&) = delete;
    StateStore& operator=(const StateStore&) = delete;

    const QString& statePath() const { return m_statePath; }
    QString workingCopyPath() const;
    // What load() found worth telling: the working copy of an interrupted run taken up, or one
    // that could not be read. Empty otherwise.
    const QString& note() const { return m_note; }

    TerminalState load();
    // Writes `state` whole into the working copy and into the state file: the start of a run.
    void begin(const TerminalState& state);
    // Writes `state` into the state file, then closes and removes the working copy.
    void finish(const TerminalState& state);

    // The scalar settings: identity, machine, password, enabled flag, clock, limits, faults.
    void saveSettings(const TerminalState& state);
    void saveEntry(const protocol::EnrollKey& key, const StoredEntry& entry);
    void removeEntry(const protocol::EnrollKey& key);
    // Every entry, or every fingerprint template only.
    void removeEntries(bool templatesOnly);
    // An empty name removes the name.
    void saveName(qint32 enroll, const QString& name);
    // Every record up to and including `sequence` is read.
    void markRead(quint32 sequence);
    void removeRecords();

private:
    struct Database;
    Database& database();
    std::optional<TerminalState> readWorkingCopy();

    QString m_statePath;
    QString m_note;
    std::unique_ptr<Database> m_db;
};

} // namespace selvenor::sim
