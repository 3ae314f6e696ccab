#include "CommandArguments.h"
#include "EnrolTerminal.h"
#include "UserSelection.h"

namespace selvenor::cli {

namespace {

// "Aktif Yap" and "Pasif Yap" on the user selected in the activation list.
int setEnabled(CommandContext& context, const QString& command, bool enable) {
    const CommandArguments a(command, context.arguments, {}, privilegeFlags());
    const QStringList words = a.words(2);
    const PrivilegeChoice choice = privilegeChoice(command, a);
    EnrolTerminal enrol(context, command);
    const TerminalRecord row = enrol.terminal().find(words[0]);
    RecordLists lists;
    const qint32 user = checkedInput(command, [&] {
        return selectUser(lists, enrol.data(), UserSheet::Activation, choice, words[1]);
    });
    if (!enrol.connect(row))
        return 1;
    return enrol.activationSummary(setUserEnabled(enrol.context(), user, enable));
}

} // namespace

int userEnable(CommandContext& context) {
    return setEnabled(context, QStringLiteral("user-enable"), true);
}

int userDisable(CommandContext& context) {
    return setEnabled(context, QStringLiteral("user-disable"), false);
}

} // namespace selvenor::cli
