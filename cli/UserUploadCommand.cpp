#include "CommandArguments.h"
#include "EnrolTerminal.h"
#include "UserSelection.h"

namespace selvenor::cli {

// "Seçili Kullanıcıyı Yükle": every stored entry of the user selected in the record list onto
// the named terminal.
int userUpload(CommandContext& context) {
    const QString command = QStringLiteral("user-upload");
    const CommandArguments a(command, context.arguments, {QStringLiteral("--on-error")});
    const QStringList words = a.words(2);
    EnrolTerminal enrol(context, command,
                        EnrolQuestionAnswers::policyFrom(command, a.value("--on-error")));
    const TerminalRecord row = enrol.terminal().find(words[0]);
    RecordLists lists;
    const qint32 user = checkedInput(command, [&] {
        return selectUser(lists, enrol.data(), UserSheet::Records, PrivilegeChoice::Either,
                          words[1]);
    });
    if (!enrol.connect(row))
        return 1;
    return enrol.sendSummary(uploadUser(enrol.context(), user));
}

} // namespace selvenor::cli
