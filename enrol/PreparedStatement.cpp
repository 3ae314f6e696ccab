#include "PreparedStatement.h"

#include "common/Errors.h"

#include <QSqlError>

namespace selvenor {

namespace {

[[noreturn]] void fail(const QSqlDatabase& db, const QString& detail) {
    const QString where = db.databaseName().isEmpty() ? db.connectionName() : db.databaseName();
    throw DatabaseError(QStringLiteral("%1: %2").arg(where, detail.trimmed()));
}

} // namespace

PreparedStatement::PreparedStatement(QSqlDatabase db, QString statement)
    : m_db(std::move(db))
    , m_statement(std::move(statement)) {}

QSqlQuery& PreparedStatement::run(const QVariantList& values) {
    if (!m_db.isOpen())
        fail(m_db, QStringLiteral("veritabanı açık değil"));
    if (!m_query) {
        QSqlQuery query(m_db);
        if (!query.prepare(m_statement))
            fail(m_db, query.lastError().text());
        m_query.emplace(std::move(query));
    }
    for (int i = 0; i < values.size(); ++i)
        m_query->bindValue(i, values[i]);
    if (!m_query->exec())
        fail(m_db, m_query->lastError().text());
    return *m_query;
}

} // namespace selvenor
