#pragma once

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace selvenor {

class EnrolContext;

// The attendance program's table `personel`, read through the data module's MySQL connection.
// The connection is set up from the window's MySQL settings before each command and opened by
// the first query. Every failure is a DatabaseError whose text says what went wrong with the
// personnel database; nothing is changed by a failed read.
class PersonnelTable {
public:
    explicit PersonnelTable(EnrolContext& ctx);

    // The MySQL connection set-up (a port that is no number is reported and the previous port
    // kept).
    void setUp();
    // Closes the connection.
    void close();

    // Enroll numbers of the people marked exactly "Pasif" whose kartno is an integer.
    QList<qint32> leftEnrollNumbers();
    // "ad soyad" of the first personnel row of each card number that has one.
    QHash<QString, QString> namesOf(const QStringList& cardNumbers);

    // The connection, opened; throws DatabaseError when it cannot be opened.
    QSqlDatabase openedConnection();

    // The text of a failure of the personnel database.
    static QString failureText(const QString& detail);

private:
    EnrolContext& m_ctx;
};

} // namespace selvenor
