#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <optional>

namespace selvenor {

// A statement prepared once, on first use, and run many times with bound values: what the long
// loops of the enrolment commands use instead of preparing a statement per row.
class PreparedStatement {
public:
    PreparedStatement(QSqlDatabase db, QString statement);

    // Binds `values` in order and runs the statement; throws DatabaseError when the database is
    // not open or rejects it. The query stays valid until the next run.
    QSqlQuery& run(const QVariantList& values);

private:
    QSqlDatabase m_db;
    QString m_statement;
    std::optional<QSqlQuery> m_query;
};

} // namespace selvenor
