#include "RecordLists.h"

#include "PackedPassword.h"

#include "common/TextFunctions.h"
#include "data/LocalSearch.h"

namespace selvenor {

namespace {

const QString kEnrollNumber = QStringLiteral("EnrollNumber");
const QString kFingerNumber = QStringLiteral("FingerNumber");

QString privilegeFilter(bool administrators) {
    return administrators ? QStringLiteral("(Privilige = 1 OR Privilige = 2)")
                          : QStringLiteral("(Privilige = 0)");
}

} // namespace

RecordLists::RecordLists(QObject* parent)
    : QObject(parent) {
    const QueryRowsModel::Column number{kEnrollNumber, QStringLiteral("KullanıcıNo(Kartno)")};
    const QueryRowsModel::Column kind{kFingerNumber, QStringLiteral("Tür")};
    qryenroll.setColumns(
        {number, kind, {QStringLiteral("Password"), QStringLiteral("KartID/Şifre")}});
    qryadmin.setColumns({number, kind});
    qryaktifpasif.setColumns({number, kind});
}

void RecordLists::refresh(QSqlDatabase data, const QString& searchText) {
    const QString text = TrimText(searchText);
    if (text.isEmpty())
        qryenroll.open(data, QStringLiteral("SELECT * FROM tblEnroll ORDER BY EnrollNumber, id"));
    else
        qryenroll.open(data,
                       QStringLiteral("SELECT * FROM tblEnroll WHERE %1 ORDER BY EnrollNumber, id")
                           .arg(localSearchCondition(data, QStringLiteral("EnrollNumber"))),
                       {text});
    refreshPasswordList(data, m_passwordAdmins);
    refreshActivationList(data, m_activationAdmins);
}

void RecordLists::refreshPasswordList(QSqlDatabase data, bool administrators) {
    m_passwordAdmins = administrators;
    qryadmin.open(data, QStringLiteral("SELECT * FROM tblEnroll WHERE FingerNumber = 15 AND ") +
                            privilegeFilter(administrators));
}

void RecordLists::refreshActivationList(QSqlDatabase data, bool administrators) {
    m_activationAdmins = administrators;
    qryaktifpasif.open(data, QStringLiteral("SELECT * FROM tblEnroll WHERE ") +
                                 privilegeFilter(administrators));
}

QString RecordLists::oldPasswordText() const {
    return PasswordDisplay(
        qryadmin.value(qryadmin.currentRow(), QStringLiteral("Password")).toLongLong());
}

qint32 selectedEnrollNumber(const QueryRowsModel& list) {
    return list.currentValue(kEnrollNumber).toInt();
}

bool selectEnrollNumber(QueryRowsModel& list, qint32 enrollNumber) {
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.value(row, kEnrollNumber).toInt() == enrollNumber) {
            list.setCurrentRow(row);
            return true;
        }
    }
    return false;
}

} // namespace selvenor
