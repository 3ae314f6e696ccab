#include "EnrollStore.h"

#include "data/Sql.h"

#include <QSqlRecord>

namespace selvenor {

namespace {

const char* const kSelectAll = "SELECT * FROM tblEnroll ORDER BY id";
const char* const kSelectUser = "SELECT * FROM tblEnroll WHERE EnrollNumber = ? ORDER BY id";

} // namespace

EnrollStore::EnrollStore(QSqlDatabase db)
    : m_db(db)
    , m_contains(db, QStringLiteral("SELECT COUNT(*) FROM tblEnroll WHERE EnrollNumber = ? "
                                    "AND EMachineNumber = ? AND FingerNumber = ?"))
    , m_insert(db, QStringLiteral("INSERT INTO tblEnroll (EMachineNumber, EnrollNumber, "
                                  "FingerNumber, Privilige, Password, FPdata) "
                                  "VALUES (?, ?, ?, ?, ?, ?)")) {}

void EnrollStore::clear() {
    execSql(m_db, QStringLiteral("DELETE FROM tblEnroll"));
}

bool EnrollStore::contains(qint32 enrollNumber, qint32 eMachineNumber, qint32 fingerNumber) {
    QSqlQuery& q = m_contains.run({enrollNumber, eMachineNumber, fingerNumber});
    const bool found = q.next() && q.value(0).toInt() > 0;
    q.finish();
    return found;
}

void EnrollStore::insert(qint32 enrollNumber, qint32 eMachineNumber, qint32 fingerNumber,
                         qint32 privilege, const QVariant& password, const QVariant& fpData) {
    m_insert.run({eMachineNumber, enrollNumber, fingerNumber, privilege, password, fpData});
}

void EnrollStore::deleteUser(qint32 enrollNumber) {
    execSql(m_db, QStringLiteral("DELETE FROM tblEnroll WHERE EnrollNumber = ?"), {enrollNumber});
}

int EnrollStore::count() {
    QSqlQuery q = execSql(m_db, QStringLiteral("SELECT COUNT(*) FROM tblEnroll"));
    return q.next() ? q.value(0).toInt() : 0;
}

EnrollRow EnrollStore::rowFrom(const QSqlQuery& query) {
    const QSqlRecord r = query.record();
    EnrollRow row;
    row.enrollNumber = r.value(QStringLiteral("EnrollNumber")).toInt();
    row.eMachineNumber = r.value(QStringLiteral("EMachineNumber")).toInt();
    row.fingerNumber = r.value(QStringLiteral("FingerNumber")).toInt();
    row.privilege = r.value(QStringLiteral("Privilige")).toInt();
    row.password = r.value(QStringLiteral("Password")).toInt();
    row.fpData = r.value(QStringLiteral("FPdata")).toString();
    return row;
}

void EnrollStore::walk(const QString& statement, const QVariantList& values, const Visitor& visit) {
    QSqlQuery q = execSql(m_db, statement, values);
    int position = 0;
    while (q.next()) {
        if (!visit(rowFrom(q), ++position))
            break;
    }
}

void EnrollStore::forEachRow(const Visitor& visit) {
    walk(QString::fromLatin1(kSelectAll), {}, visit);
}

void EnrollStore::forEachRowOfUser(qint32 enrollNumber, const Visitor& visit) {
    walk(QString::fromLatin1(kSelectUser), {enrollNumber}, visit);
}

} // namespace selvenor
