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

// How long a statement on Data.mdb or Log.mdb waits for another program's transaction (the
// window's, a scheduled download's) before it fails: long enough for any write of the system.
constexpr int kSqliteBusyTimeoutMs = 30000;

// A new SQLite connection's options: it waits kSqliteBusyTimeoutMs for a busy database.
void waitWhenBusy(QSqlDatabase& db);

// Runs `work` inside one transaction of `db`; rolls back and rethrows when it throws.
template <typename F> void inTransaction(QSqlDatabase db, F&& work);

// On SQLite the transaction takes the write lock at once (BEGIN IMMEDIATE): a transaction that
// read first would otherwise fail at its first write, without waiting, when another program
// holds the lock.
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
