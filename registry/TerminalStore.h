#pragma once

#include "TerminalEntry.h"
#include "TerminalRecord.h"

#include <QSqlDatabase>

#include <optional>

namespace selvenor {

// The terminal editor's work on the Terminal table (ADOQuery1). Every value is a bound
// parameter, trimmed of leading and trailing blanks and control characters. The numeric
// columns take an empty text as empty (NULL) and anything else through StrToInt, so a
// machine number, TCP port or password that is no integer throws ConversionError before
// anything is written.
class TerminalStore {
public:
    explicit TerminalStore(QSqlDatabase db);

    // Stores a new row; returns its id, assigned by the table.
    qint64 insert(const TerminalEntry& entry) const;
    // Writes every column of the row `id`; an unset Tip keeps the column. Throws DatabaseError
    // when the row no longer exists.
    void update(qint64 id, const TerminalEntry& entry) const;
    // "select * from Terminal where ID=?".
    std::optional<TerminalRecord> find(qint64 id) const;
    // Deletes the row `id`; false when it was already gone.
    bool remove(qint64 id) const;

private:
    QSqlDatabase m_db;
};

} // namespace selvenor
