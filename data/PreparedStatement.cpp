#include "PreparedStatement.h"

#include "Sql.h"

#include <QSqlError>

namespace selvenor {

PreparedStatement::PreparedStatement(QSqlDatabase db, QString statement)
    : m_db(std::move(db))
    , m_statement(std::move(statement)) {}

QSqlQuery& PreparedStatement::run(const QVariantList& values) {
    if (!m_db.isOpen())
        throwDatabaseError(m_db, QStringLiteral("veritabanı açık değil"));
    if (!m_query) {
        QSqlQuery query(m_db);
        if (!query.prepare(m_statement))
            throwDatabaseError(m_db, query.lastError().text());
        m_query.emplace(std::move(query));
    }
    for (int i = 0; i < values.size(); ++i)
        m_query->bindValue(i, values[i]);
    if (!m_query->exec())
        throwDatabaseError(m_db, m_query->lastError().text());
    return *m_query;
}

} // namespace selvenor
