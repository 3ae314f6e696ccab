#include "EnrollStoreState.h"

#include "data/Sql.h"

#include <QDateTime>
#include <QSqlQuery>

namespace selvenor {

namespace {

const QLatin1String kTable("EnrollStoreState");

// One row, id 1. Data.mdb files made before the mark existed get the table on the first
// download.
QString schema() {
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (id INTEGER PRIMARY KEY CHECK (id = 1), "
                          "Complete INTEGER NOT NULL, Reason TEXT, Changed TEXT)")
        .arg(kTable);
}

} // namespace

EnrollStoreState::EnrollStoreState(QSqlDatabase data)
    : m_data(std::move(data)) {}

void EnrollStoreState::markIncomplete(const QString& reason) {
    write(false, reason);
}

void EnrollStoreState::markComplete() {
    write(true, QString());
}

void EnrollStoreState::write(bool complete, const QString& reason) {
    execSql(m_data, schema());
    execSql(m_data,
            QStringLiteral("INSERT OR REPLACE INTO %1 (id, Complete, Reason, Changed) "
                           "VALUES (1, ?, ?, ?)")
                .arg(kTable),
            {complete ? 1 : 0, reason, QDateTime::currentDateTime().toString(Qt::ISODate)});
}

std::optional<QString> EnrollStoreState::incompleteReason() const {
    if (!m_data.tables().contains(kTable, Qt::CaseInsensitive))
        return std::nullopt;
    QSqlQuery q = execSql(
        m_data, QStringLiteral("SELECT Reason FROM %1 WHERE id = 1 AND Complete = 0").arg(kTable));
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString();
}

} // namespace selvenor
