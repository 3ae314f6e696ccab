#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <QVariantList>

namespace selvenor {

// Throws DatabaseError naming the database and the detail of what went wrong.
[[noreturn]] void throwDatabaseError(const QSqlDatabase& db, const QString& detail);

// Prepares `statement` on `db`, binds `values` to its placeholders in order and runs it.
// Throws DatabaseError with the database's own text when the database is not open or rejects
// the statement.
QSqlQuery execSql(const QSqlDatabase& db, const QString& statement,
                  const QVariantList& values = {});

// Runs `work` inside one transaction of `db`; rolls back and rethrows when it throws.
template <typename F> void inTransaction(QSqlDatabase db, F&& work);

void beginTransaction(QSqlDatabase& db);
void commitTransaction(QSqlDatabase& db);

template <typename F> void inTransaction(QSqlDatabase db, F&& work) {
    beginTransaction(db);
    try {
        work();
    } catch (...) {
        db.rollback();
        throw;
    }
    commitTransaction(db);
}

} // namespace selvenor
