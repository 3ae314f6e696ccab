#include "CommandArguments.h"
#include "EnrolTerminal.h"
#include "UserSelection.h"

#include "common/Errors.h"

namespace selvenor::cli {

// "Seçili Kull/Admin Şifre Değiştir": the entries of the user selected in the password list
// written again, the password entry carrying the new password. The new password is checked
// ("Şifre gir", digits only) before the terminal is touched. As in the window, the store keeps
// the old password.
int passwordChange(CommandContext& context) {
    const QString command = QStringLiteral("password-change");
    const CommandArguments a(command, context.arguments, {QStringLiteral("--on-error")},
                             privilegeFlags());
    const QStringList words = a.words(3);
    const PrivilegeChoice choice = privilegeChoice(command, a);
    EnrolTerminal enrol(context, command,
                        EnrolQuestionAnswers::policyFrom(command, a.value("--on-error")));
    const TerminalRecord row = enrol.terminal().find(words[0]);
    RecordLists lists;
    const qint32 user = checkedInput(command, [&] {
        if (!packedNewPassword(context.ui, words[2]))
            throw Error(QStringLiteral("yeni şifre boş"));
        return selectUser(lists, enrol.data(), UserSheet::Passwords, choice, words[1]);
    });
    if (!enrol.connect(row))
        return 1;
    const std::optional<UserCommandResult> r = changePassword(enrol.context(), user, words[2]);
    return enrol.sendSummary(r.value());
}

} // namespace selvenor::cli
