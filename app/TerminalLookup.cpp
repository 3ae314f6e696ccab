#include "TerminalLookup.h"

#include "data/Sql.h"

#include <QSqlQuery>
#include <QVariant>

namespace selvenor {

std::optional<TerminalRecord> findTerminalByName(const QSqlDatabase& data, const QString& name) {
    QSqlQuery query = execSql(
        data, QStringLiteral("select * from Terminal where Terminal = ? order by id"), {name});
    if (!query.next())
        return std::nullopt;
    const auto text = [&](const char* column) {
        return query.value(QString::fromLatin1(column)).toString();
    };
    TerminalRecord record;
    record.id = query.value(QStringLiteral("id")).toLongLong();
    record.Terminal = text("Terminal");
    record.TerminalNo = text("TerminalNo");
    record.Tip = text("Tip");
    record.ComPort = text("ComPort");
    record.ComBaud = text("ComBaud");
    record.Ip = text("Ip");
    record.NetPort = text("NetPort");
    record.Sifre = text("Sifre");
    return record;
}

} // namespace selvenor
