#include "ThreadConnection.h"

#include "common/Errors.h"

#include <QSqlError>
#include <QUuid>

namespace selvenor {

ThreadConnection::ThreadConnection(const QSqlDatabase& original)
    : m_name(QStringLiteral("thread-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    QSqlDatabase db = QSqlDatabase::cloneDatabase(original.connectionName(), m_name);
    if (!db.open()) {
        const QString error = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw DatabaseError(QStringLiteral("%1 açılamadı: %2").arg(original.databaseName(), error));
    }
}

ThreadConnection::~ThreadConnection() {
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase ThreadConnection::database() const {
    return QSqlDatabase::database(m_name, false);
}

} // namespace selvenor
