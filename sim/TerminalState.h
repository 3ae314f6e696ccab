#pragma once

#include "FaultPlan.h"
#include "terminal/Messages.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

#include <map>
#include <optional>

namespace selvenor::sim {

// Backup numbers as the terminal keeps them.
inline constexpr quint8 kPasswordBackup = 10;
inline constexpr quint8 kPasswordAlias = 15;
inline constexpr quint8 kCardBackup = 11;

struct StoredEntry {
    quint8 privilege = 0;
    bool enabled = true;
    qint32 value = 0;     // password or card number
    QVector<qint32> data; // 355 elements for a template, empty otherwise
};

struct StoredRecord {
    protocol::LogRecord record;
    bool read = false;
};

// Everything one simulated terminal holds (docs/simulator.md, "State file").
struct TerminalState {
    // Who the unit is (Hello tells the client): empty and 0 until assignMissingIdentity().
    QString serial;
    quint32 logGeneration = 0;
    qint32 machine = 1;
    qint32 password = 0;
    bool enabled = true;
    // Terminal clock minus the computer's, in seconds; none while the terminal runs on the
    // computer's clock.
    std::optional<qint64> clockOffset;
    int maxEntries = 0; // 0: no limit
    // A session without a valid request for this long ends (and enables the terminal).
    int idleTimeoutS = 60;
    // After five failed password attempts in a row, every Authenticate is refused this long.
    int authLockoutS = 30;
    std::map<protocol::EnrollKey, StoredEntry> entries;
    QMap<qint32, QString> names;
    QList<StoredRecord> logs; // ascending by sequence
    quint32 nextSequence = 1;
    FaultPlan faults;
    // Keys of the file this system does not know, kept when the file is rewritten.
    QJsonObject otherKeys;

    QDateTime clockNow() const;
    // Gives a state without a serial or log generation fresh random ones; true if it did.
    bool assignMissingIdentity();
    // Adds an attendance record with the next sequence number.
    void appendRecord(protocol::LogRecord record, bool read = false);

    static bool isTemplateBackup(int backup) { return backup >= 0 && backup <= 9; }
    // 15 becomes 10; false for a backup number no entry can have.
    static bool normaliseBackup(quint8& backup);
};

} // namespace selvenor::sim
