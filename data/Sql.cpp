#include "Sql.h"

#include "common/Errors.h"

#include <QSqlError>

namespace selvenor {

[[noreturn]] void throwDatabaseError(const QSqlDatabase& db, const QString& detail) {
    const QString where = db.databaseName().isEmpty() ? db.connectionName() : db.databaseName();
    throw DatabaseError(QStringLiteral("%1: %2").arg(where, detail.trimmed()));
}

QSqlQuery execSql(const QSqlDatabase& db, const QString& statement, const QVariantList& values) {
    if (!db.isOpen())
        throwDatabaseError(db, QStringLiteral("veritabanı açık değil"));
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        throwDatabaseError(db, query.lastError().text());
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throwDatabaseError(db, query.lastError().text());
    return query;
}

void waitWhenBusy(QSqlDatabase& db) {
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kSqliteBusyTimeoutMs));
}

void beginTransaction(QSqlDatabase& db) {
    if (db.driverName() == QLatin1String("QSQLITE")) {
        execSql(db, QStringLiteral("BEGIN IMMEDIATE"));
        return;
    }
    if (!db.transaction())
        throwDatabaseError(db, db.lastError().text());
}

void commitTransaction(QSqlDatabase& db) {
    if (!db.commit()) {
        const QString text = db.lastError().text();
        db.rollback();
        throwDatabaseError(db, text);
    }
}

} // namespace selvenor
