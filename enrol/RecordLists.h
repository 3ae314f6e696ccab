#pragma once

#include "QueryRowsModel.h"

namespace selvenor {

// The three lists of the store on the sheets of single users: the record list (every entry,
// searchable by the beginning of the enroll number), the password list (password entries of
// ordinary users or of administrators) and the activation list (entries of every kind of
// ordinary users or of administrators).
class RecordLists : public QObject {
    Q_OBJECT
public:
    explicit RecordLists(QObject* parent = nullptr);

    QueryRowsModel qryenroll;
    QueryRowsModel qryadmin;
    QueryRowsModel qryaktifpasif;

    // Record list with the search text (outer blanks removed), then the other two.
    void refresh(QSqlDatabase data, const QString& searchText);
    void refreshPasswordList(QSqlDatabase data, bool administrators);
    void refreshActivationList(QSqlDatabase data, bool administrators);

    // The old password display of the password list's current row ("" for an empty list).
    QString oldPasswordText() const;

    bool passwordAdministrators() const { return m_passwordAdmins; }
    bool activationAdministrators() const { return m_activationAdmins; }

private:
    bool m_passwordAdmins = true;
    bool m_activationAdmins = true;
};

// The enroll number of the selected row of a list; throws DatabaseError for an empty list.
qint32 selectedEnrollNumber(const QueryRowsModel& list);
// Selects the first row of the list with this enroll number, as a click on it would; false, and
// the selection unchanged, when the list holds none.
bool selectEnrollNumber(QueryRowsModel& list, qint32 enrollNumber);

} // namespace selvenor
