#include "DownloadStatus.h"

#include "common/Errors.h"
#include "common/OperatorInterface.h"
#include "data/Sql.h"
#include "terminal/ResultCode.h"

#include <QSqlRecord>

namespace selvenor {

namespace {

// Times are kept as ISO text in UTC, so the table reads the same in any time zone and across a
// change of summer time.
QString stored(const QDateTime& when) {
    return when.toUTC().toString(Qt::ISODate);
}

QDateTime readTime(const QVariant& value) {
    if (value.isNull() || value.toString().isEmpty())
        return QDateTime();
    return QDateTime::fromString(value.toString(), Qt::ISODate).toLocalTime();
}

DownloadStatus statusFrom(const QSqlQuery& row) {
    DownloadStatus s;
    s.terminalId = row.value(0).toLongLong();
    s.terminal = row.value(1).toString();
    s.lastAttempt = readTime(row.value(2));
    s.lastSuccess = readTime(row.value(3));
    s.records = row.value(4).toInt();
    s.lastError = row.value(5).toString();
    s.lastErrorCode = row.value(6).toInt();
    s.lastErrorName = row.value(7).toString();
    return s;
}

const char kColumns[] = "s.TerminalId, coalesce(t.Terminal, s.Terminal), s.LastAttempt, "
                        "s.LastSuccess, s.Records, s.LastError, s.LastErrorCode, s.LastErrorName";

} // namespace

DownloadStatusTable::DownloadStatusTable(const QSqlDatabase& data)
    : m_data(data) {
    execSql(m_data, QStringLiteral("CREATE TABLE IF NOT EXISTS DownloadStatus ("
                                   "TerminalId INTEGER PRIMARY KEY, Terminal TEXT, "
                                   "LastAttempt TEXT, LastSuccess TEXT, Records INTEGER, "
                                   "LastError TEXT, LastErrorCode INTEGER, LastErrorName TEXT)"));
}

void DownloadStatusTable::attempted(qint64 terminalId, const QString& terminal,
                                    const QDateTime& when) {
    execSql(m_data,
            QStringLiteral("insert into DownloadStatus (TerminalId, Terminal, LastAttempt, "
                           "Records) values (?, ?, ?, 0) on conflict (TerminalId) do update set "
                           "Terminal = excluded.Terminal, LastAttempt = excluded.LastAttempt"),
            {terminalId, terminal, stored(when)});
}

void DownloadStatusTable::succeeded(qint64 terminalId, int records) {
    execSql(m_data,
            QStringLiteral("update DownloadStatus set LastSuccess = LastAttempt, Records = ?, "
                           "LastError = NULL, LastErrorCode = NULL, LastErrorName = NULL "
                           "where TerminalId = ?"),
            {records, terminalId});
}

void DownloadStatusTable::failed(qint64 terminalId, int records, const QString& error, int code) {
    const QString name = code != 0 ? ResultCodeText(code) : QString();
    execSql(m_data,
            QStringLiteral("update DownloadStatus set Records = ?, LastError = ?, "
                           "LastErrorCode = ?, LastErrorName = ? where TerminalId = ?"),
            {records, error, code != 0 ? QVariant(code) : QVariant(),
             name.isEmpty() ? QVariant() : QVariant(name), terminalId});
}

QList<DownloadStatus> DownloadStatusTable::all() const {
    QSqlQuery rows = execSql(
        m_data, QStringLiteral("select t.id, t.Terminal, s.LastAttempt, s.LastSuccess, s.Records, "
                               "s.LastError, s.LastErrorCode, s.LastErrorName from Terminal t "
                               "left join DownloadStatus s on s.TerminalId = t.id"));
    QList<DownloadStatus> out;
    while (rows.next())
        out << statusFrom(rows);
    return out;
}

DownloadStatus DownloadStatusTable::of(qint64 terminalId) const {
    QSqlQuery row = execSql(m_data,
                            QStringLiteral("select %1 from DownloadStatus s left join Terminal t "
                                           "on t.id = s.TerminalId where s.TerminalId = ?")
                                .arg(QLatin1String(kColumns)),
                            {terminalId});
    return row.next() ? statusFrom(row) : DownloadStatus{};
}

DownloadStatusRecord::DownloadStatusRecord(const std::optional<ListEntry>& entry,
                                           OperatorInterface& ui)
    : m_entry(entry)
    , m_ui(ui) {
    write([this](DownloadStatusTable& table) {
        table.attempted(m_entry->id, m_entry->name, QDateTime::currentDateTime());
    });
}

void DownloadStatusRecord::ended(const QString& error, int records, int resultCode) {
    write([&](DownloadStatusTable& table) {
        if (error.isEmpty())
            table.succeeded(m_entry->id, records);
        else
            table.failed(m_entry->id, records, error, resultCode);
    });
}

template <typename F> void DownloadStatusRecord::write(F&& statement) {
    if (!m_entry)
        return;
    try {
        DownloadStatusTable table(m_entry->data);
        statement(table);
    } catch (const DatabaseError& e) {
        m_ui.messageBox(QStringLiteral("Aktarım durumu kaydedilemedi: %1").arg(e.text()),
                        QStringLiteral("UYARI"), OperatorInterface::Icon::Warning,
                        int(OperatorInterface::Button::Ok));
    }
}

} // namespace selvenor
