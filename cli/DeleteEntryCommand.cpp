#include "CommandArguments.h"
#include "EnrolTerminal.h"

#include "common/TextFunctions.h"
#include "enrol/SingleDelete.h"

namespace selvenor::cli {

namespace {

// The sheet deletes at the press of its button; the command line asks first, as it does before
// every erasure, and before connecting, so a No never reaches the terminal.
bool confirmDeletion(OperatorInterface& ui, const SingleItemFields& f) {
    using Button = OperatorInterface::Button;
    return ui.messageBox(QStringLiteral("Parmak Id %1, Cihaz No %2, Yedek No %3 kaydı terminalden "
                                        "silinsin mi...?")
                             .arg(f.enrollNumber, f.eMachineNumber, f.backupNumber),
                         QStringLiteral("UYARI"), OperatorInterface::Icon::Question,
                         Button::Yes | Button::No) == Button::Yes;
}

} // namespace

// "Parmakizi Sil" of the sheet "tek data(parmak)": deletes one item of the named terminal by
// its enroll number, enrolment machine number (--emachine, 1 like the sheet) and backup number
// (--backup, 0 like the sheet). Numbers that are no integers are refused before anything else.
int deleteEntry(CommandContext& context) {
    const QString command = QStringLiteral("delete-entry");
    const CommandArguments a(command, context.arguments,
                             {QStringLiteral("--emachine"), QStringLiteral("--backup")},
                             {QStringLiteral("--yes")});
    const QStringList words = a.words(2);
    const SingleItemFields fields{words[1], a.value("--emachine", QStringLiteral("1")),
                                  a.value("--backup", QStringLiteral("0"))};
    checkedInput(command, [&] {
        for (const QString& n : {fields.enrollNumber, fields.eMachineNumber, fields.backupNumber})
            StrToInt(n);
    });
    EnrolTerminal enrol(context, command);
    const TerminalRecord row = enrol.terminal().find(words[0]);
    if (!a.has("--yes") && !confirmDeletion(context.ui, fields))
        return enrol.terminal().exitStatus(CommandOutcome::declined(), command);
    if (!enrol.connect(row))
        return 1;
    const SingleDeleteResult r = deleteSingleItem(enrol.context(), fields);
    if (r.deleted)
        return enrolSummary(context, command, true, QStringLiteral("DeleteEnrollData OK"));
    if (!r.started)
        return enrol.terminal().exitStatus({CommandOutcome::TerminalNotDisabled, r.resultCode},
                                           command);
    return enrol.terminal().exitStatus({CommandOutcome::Failed, r.resultCode},
                                       command + QStringLiteral(": DeleteEnrollData"));
}

} // namespace selvenor::cli
