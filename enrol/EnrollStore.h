#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <QtGlobal>

#include "data/PreparedStatement.h"

#include <functional>

namespace selvenor {

// One row of tblEnroll. An empty Password reads as 0, an empty FPdata as an empty text.
struct EnrollRow {
    qint32 enrollNumber = 0;
    qint32 eMachineNumber = 0;
    qint32 fingerNumber = 0;
    qint32 privilege = 0;
    qint32 password = 0;
    QString fpData;
};

// The enrolment store, table tblEnroll of Data.mdb. A row is identified by its enroll number,
// enrolment machine number and finger (backup) number. Rows are handed out in the order they
// were stored. Every value is bound; errors are DatabaseError.
class EnrollStore {
public:
    explicit EnrollStore(QSqlDatabase db);

    QSqlDatabase database() const { return m_db; }

    void clear();
    bool contains(qint32 enrollNumber, qint32 eMachineNumber, qint32 fingerNumber);
    // `password` and `fpData` may be null QVariants: the column stays empty.
    void insert(qint32 enrollNumber, qint32 eMachineNumber, qint32 fingerNumber, qint32 privilege,
                const QVariant& password, const QVariant& fpData);
    void deleteUser(qint32 enrollNumber);
    int count();

    // Walks every row, or the rows of one user, first to last; `visit` gets the row and its
    // position counted from 1 and returns false to stop.
    using Visitor = std::function<bool(const EnrollRow&, int position)>;
    void forEachRow(const Visitor& visit);
    void forEachRowOfUser(qint32 enrollNumber, const Visitor& visit);

    static EnrollRow rowFrom(const QSqlQuery& query);

private:
    void walk(const QString& statement, const QVariantList& values, const Visitor& visit);

    QSqlDatabase m_db;
    PreparedStatement m_contains;
    PreparedStatement m_insert;
};

} // namespace selvenor
