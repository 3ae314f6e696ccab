#pragma once

#include "TerminalState.h"

#include <QString>

namespace selvenor::sim {

// The simulator's state as a JSON file (docs/simulator.md). Loading checks every key and throws
// selvenor::FileError naming the file and the faulty key; saving replaces the file atomically.
class StateFile {
public:
    static TerminalState load(const QString& path);
    static TerminalState fromJson(const QByteArray& json, const QString& pathForErrors);
    static void save(const QString& path, const TerminalState& state);
    static QByteArray toJson(const TerminalState& state);
};

} // namespace selvenor::sim
