#pragma once

#include "TerminalIdentity.h"

#include <QSqlDatabase>
#include <QString>

namespace selvenor {

// One entry of the terminal list (a row of Terminal in Data.mdb) whose unit a download talks
// to: the row, its name, and the database that holds it.
struct ListEntry {
    QSqlDatabase data;
    qint64 id = 0;
    QString name;
};

// What answered last behind each entry of the terminal list (table TerminalIdentity of
// Data.mdb, created when first needed). A unit replaced behind an entry, or one whose record
// numbering started over, answers with another identity; the operator is told once, when the
// download first meets it.
class ListEntryIdentity {
public:
    // Creates the table when it is missing. Throws DatabaseError.
    explicit ListEntryIdentity(const QSqlDatabase& data);

    // Records that `identity` answers behind `entry`. Returns what to tell the operator when
    // another identity answered last time; empty the first time and when nothing changed.
    // Throws DatabaseError.
    QString record(const ListEntry& entry, const TerminalIdentity& identity);

private:
    QSqlDatabase m_data;
};

} // namespace selvenor
