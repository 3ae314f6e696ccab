#pragma once

#include "CommandArguments.h"

#include "enrol/RecordLists.h"

namespace selvenor::cli {

// The radio buttons "kullanıcı" (--users) and "admin(yönetici)" (--admins) of the password and
// activation sheets. A list command without either shows administrators, as the window does
// when it opens; a command on one user without either finds the user in whichever list holds it.
enum class PrivilegeChoice { Either, Users, Admins };
QStringList privilegeFlags();
PrivilegeChoice privilegeChoice(const QString& command, const CommandArguments& a);
inline bool showsAdministrators(PrivilegeChoice choice) {
    return choice != PrivilegeChoice::Users;
}

// The sheets whose list a command selects its user in.
enum class UserSheet { Records, Passwords, Activation };

// Reads the store's lists (the record list without a search) and selects the user typed as
// `enrollNumber` in the sheet's list, as a click on the user's row would. A number that is no
// integer throws ConversionError; a user that the list does not hold throws Error; both before
// any terminal is touched. Returns the enroll number of the selected row.
qint32 selectUser(RecordLists& lists, QSqlDatabase data, UserSheet sheet, PrivilegeChoice choice,
                  const QString& enrollNumber);

} // namespace selvenor::cli
