#include "UserSelection.h"

#include "common/Errors.h"
#include "common/TextFunctions.h"

namespace selvenor::cli {

namespace {

QString listName(UserSheet sheet, bool administrators) {
    if (sheet == UserSheet::Records)
        return QStringLiteral("kayıt listesinde");
    const QString kind =
        administrators ? QStringLiteral("admin(yönetici)") : QStringLiteral("kullanıcı");
    return (sheet == UserSheet::Passwords ? QStringLiteral("şifre listesinde (%1)")
                                          : QStringLiteral("aktif/pasif listesinde (%1)"))
        .arg(kind);
}

QueryRowsModel& refreshed(RecordLists& lists, QSqlDatabase data, UserSheet sheet,
                          bool administrators) {
    if (sheet == UserSheet::Passwords) {
        lists.refreshPasswordList(data, administrators);
        return lists.qryadmin;
    }
    lists.refreshActivationList(data, administrators);
    return lists.qryaktifpasif;
}

} // namespace

QStringList privilegeFlags() {
    return {QStringLiteral("--users"), QStringLiteral("--admins")};
}

PrivilegeChoice privilegeChoice(const QString& command, const CommandArguments& a) {
    if (a.has(QStringLiteral("--users")) && a.has(QStringLiteral("--admins")))
        usageError(command, QStringLiteral("--users ve --admins birlikte verilmez"));
    if (a.has(QStringLiteral("--users")))
        return PrivilegeChoice::Users;
    if (a.has(QStringLiteral("--admins")))
        return PrivilegeChoice::Admins;
    return PrivilegeChoice::Either;
}

qint32 selectUser(RecordLists& lists, QSqlDatabase data, UserSheet sheet, PrivilegeChoice choice,
                  const QString& enrollNumber) {
    const qint32 number = StrToInt(enrollNumber);
    lists.refresh(data, QString());
    if (sheet == UserSheet::Records) {
        if (selectEnrollNumber(lists.qryenroll, number))
            return selectedEnrollNumber(lists.qryenroll);
        throw Error(QStringLiteral("Kullanıcı %1 %2 yok").arg(number).arg(listName(sheet, false)));
    }
    QStringList searched;
    for (const bool administrators : {true, false}) {
        if (choice != PrivilegeChoice::Either && showsAdministrators(choice) != administrators)
            continue;
        QueryRowsModel& list = refreshed(lists, data, sheet, administrators);
        if (selectEnrollNumber(list, number))
            return selectedEnrollNumber(list);
        searched << listName(sheet, administrators);
    }
    throw Error(QStringLiteral("Kullanıcı %1 %2 yok")
                    .arg(number)
                    .arg(searched.join(QStringLiteral(" ve "))));
}

} // namespace selvenor::cli
