#include "ListEntryIdentity.h"

#include "data/Sql.h"

#include <QDateTime>

namespace selvenor {

namespace {

QString notice(const ListEntry& entry, const TerminalIdentity& before,
               const TerminalIdentity& now) {
    if (before.serial != now.serial)
        return QStringLiteral("'%1' kaydında artık başka bir terminal cevap veriyor (önceki seri "
                              "no %2, şimdiki %3). Bu terminalin kayıtları ilk kaydından "
                              "başlayarak yazılıyor.")
            .arg(entry.name, before.serial, now.serial);
    return QStringLiteral("'%1' terminalinin (seri no %2) kayıt numaralaması yeniden başlamış "
                          "(sıfırlanmış ya da hafızası değişmiş). Kayıtları ilk kaydından "
                          "başlayarak yazılıyor.")
        .arg(entry.name, now.serial);
}

} // namespace

ListEntryIdentity::ListEntryIdentity(const QSqlDatabase& data)
    : m_data(data) {
    execSql(m_data,
            QStringLiteral("CREATE TABLE IF NOT EXISTS TerminalIdentity (TerminalId INTEGER "
                           "PRIMARY KEY, Serial TEXT NOT NULL, LogGeneration INTEGER NOT "
                           "NULL, Seen TEXT)"));
}

QString ListEntryIdentity::record(const ListEntry& entry, const TerminalIdentity& identity) {
    QSqlQuery last =
        execSql(m_data,
                QStringLiteral("select Serial, LogGeneration from TerminalIdentity where "
                               "TerminalId = ?"),
                {entry.id});
    TerminalIdentity before;
    if (last.next())
        before = {last.value(0).toString(), quint32(last.value(1).toLongLong())};
    last.finish();
    execSql(m_data,
            QStringLiteral("insert or replace into TerminalIdentity (TerminalId, Serial, "
                           "LogGeneration, Seen) values (?, ?, ?, ?)"),
            {entry.id, identity.serial, qint64(identity.generation),
             QDateTime::currentDateTime().toString(Qt::ISODate)});
    if (before.isEmpty() || before == identity)
        return QString();
    return notice(entry, before, identity);
}

} // namespace selvenor
