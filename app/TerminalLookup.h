#pragma once

#include "registry/TerminalRecord.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace selvenor {

// Finds the terminal of the registry (Terminal table of Data.mdb) with exactly this name; when
// several rows carry it, the one added first. Throws DatabaseError when the table cannot be read.
std::optional<TerminalRecord> findTerminalByName(const QSqlDatabase& data, const QString& name);

} // namespace selvenor
