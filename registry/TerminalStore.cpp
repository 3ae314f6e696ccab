#include "TerminalStore.h"

#include "NetPort.h"

#include "common/Errors.h"
#include "common/TextFunctions.h"
#include "data/Sql.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariantList>

namespace selvenor {

namespace {

// The field label goes in front of the conversion error so the operator knows which field
// to correct.
QVariant integerValue(const QString& label, const QString& typed) {
    const QString text = TrimText(typed);
    if (text.isEmpty())
        return QVariant(QMetaType::fromType<int>());
    try {
        return StrToInt(text);
    } catch (const ConversionError& e) {
        throw ConversionError(label + QStringLiteral(": ") + e.text());
    }
}

// Values in the order of the columns below; the numeric ones first so a bad number fails
// before anything is bound.
QVariantList columnValues(const TerminalEntry& e) {
    const QVariant terminalNo = integerValue(QStringLiteral("Cihaz No"), e.TerminalNo);
    const QVariant netPort = integerValue(QStringLiteral("tcp port"), e.NetPort);
    if (!netPort.isNull())
        requireNetPort(netPort.toInt());
    const QVariant sifre = integerValue(QStringLiteral("passsword"), e.Sifre);
    return {terminalNo,
            TrimText(e.Terminal),
            TrimText(e.ComPort),
            TrimText(e.ComBaud),
            TrimText(e.Ip),
            netPort,
            sifre};
}

const char* const kColumns[] = {"TerminalNo", "Terminal", "ComPort", "ComBaud",
                                "Ip",         "NetPort",  "Sifre"};

QStringList columnNames(const TerminalEntry& e) {
    QStringList names;
    for (const char* column : kColumns)
        names << QString::fromLatin1(column);
    if (e.Tip)
        names << QStringLiteral("Tip");
    return names;
}

QVariantList boundValues(const TerminalEntry& e) {
    QVariantList values = columnValues(e);
    if (e.Tip)
        values << TrimText(*e.Tip);
    return values;
}

} // namespace

TerminalStore::TerminalStore(QSqlDatabase db)
    : m_db(std::move(db)) {}

qint64 TerminalStore::insert(const TerminalEntry& entry) const {
    const QVariantList values = boundValues(entry);
    const QStringList names = columnNames(entry);
    const QStringList marks(names.size(), QStringLiteral("?"));
    const QSqlQuery query =
        execSql(m_db,
                QStringLiteral("insert into Terminal (%1) values (%2)")
                    .arg(names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                values);
    return query.lastInsertId().toLongLong();
}

void TerminalStore::update(qint64 id, const TerminalEntry& entry) const {
    QVariantList values = boundValues(entry);
    values << id;
    const QSqlQuery query = execSql(m_db,
                                    QStringLiteral("update Terminal set %1 = ? where id = ?")
                                        .arg(columnNames(entry).join(QStringLiteral(" = ?, "))),
                                    values);
    if (query.numRowsAffected() < 1)
        throw DatabaseError(QStringLiteral("Güncellenecek terminal kaydı bulunamadı."));
}

std::optional<TerminalRecord> TerminalStore::find(qint64 id) const {
    QSqlQuery query = execSql(m_db, QStringLiteral("select * from Terminal where id = ?"), {id});
    if (!query.next())
        return std::nullopt;
    return terminalRecordFrom(query.record());
}

bool TerminalStore::remove(qint64 id) const {
    return execSql(m_db, QStringLiteral("delete from Terminal where id = ?"), {id})
               .numRowsAffected() > 0;
}

} // namespace selvenor
