#include "PersonnelTable.h"

#include "EnrolContext.h"

#include "common/Errors.h"
#include "common/TextFunctions.h"
#include "data/TfrmDM.h"

#include <QSqlError>
#include <QSqlQuery>

namespace selvenor {

namespace {

// An unreachable server must not hold the window for the driver's default minutes.
const char* const kConnectOptions = "MYSQL_OPT_CONNECT_TIMEOUT=5;MYSQL_OPT_READ_TIMEOUT=30";

QSqlQuery select(QSqlDatabase db, const QString& statement, const QVariantList& values = {}) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        throw DatabaseError(PersonnelTable::failureText(query.lastError().text()));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw DatabaseError(PersonnelTable::failureText(query.lastError().text()));
    return query;
}

} // namespace

PersonnelTable::PersonnelTable(EnrolContext& ctx)
    : m_ctx(ctx) {}

QString PersonnelTable::failureText(const QString& detail) {
    return QStringLiteral("Personel veritabanı okunamadı (MySQL): %1").arg(detail.trimmed());
}

void PersonnelTable::setUp() {
    m_ctx.dm.MySqlConnectionSetup(m_ctx.ui, m_ctx.mySql);
}

void PersonnelTable::close() {
    m_ctx.dm.MyConnection1().close();
}

QSqlDatabase PersonnelTable::openedConnection() {
    QSqlDatabase db = m_ctx.dm.MyConnection1();
    if (!db.isValid())
        throw DatabaseError(failureText(QStringLiteral("MySQL sürücüsü yok")));
    if (db.isOpen())
        return db;
    db.setConnectOptions(QString::fromLatin1(kConnectOptions));
    if (!db.open())
        throw DatabaseError(failureText(db.lastError().text()));
    return db;
}

QList<qint32> PersonnelTable::leftEnrollNumbers() {
    QSqlQuery q = select(openedConnection(),
                         QStringLiteral("SELECT kartno, durum FROM personel ORDER BY kartno"));
    QList<qint32> numbers;
    while (q.next()) {
        const QString kartno = q.value(0).toString();
        if (q.value(1).toString() == QLatin1String("Pasif") && IsNumeric(kartno))
            numbers << StrToInt(kartno);
    }
    return numbers;
}

QHash<QString, QString> PersonnelTable::namesOf(const QStringList& cardNumbers) {
    QSqlDatabase db = openedConnection();
    QHash<QString, QString> names;
    for (const QString& kartno : cardNumbers) {
        if (names.contains(kartno))
            continue;
        QSqlQuery q =
            select(db, QStringLiteral("SELECT ad, soyad FROM personel WHERE kartno = ? LIMIT 1"),
                   {kartno});
        if (q.next())
            names.insert(kartno, q.value(0).toString() + QLatin1Char(' ') + q.value(1).toString());
    }
    return names;
}

} // namespace selvenor
