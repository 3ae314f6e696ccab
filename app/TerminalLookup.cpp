#include "TerminalLookup.h"

#include "data/Sql.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace selvenor {

std::optional<TerminalRecord> findTerminalByName(const QSqlDatabase& data, const QString& name) {
    QSqlQuery query = execSql(
        data, QStringLiteral("select * from Terminal where Terminal = ? order by id"), {name});
    if (!query.next())
        return std::nullopt;
    return terminalRecordFrom(query.record());
}

} // namespace selvenor
