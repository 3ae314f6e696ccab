#include "CommandArguments.h"
#include "EnrolCommandSupport.h"
#include "RegistryTerminal.h"

#include "data/Settings.h"
#include "enrol/EnrolContext.h"
#include "enrol/EnrollStoreState.h"
#include "enrol/EnrollUpload.h"

namespace selvenor::cli {

namespace {

// The upload erases the terminal's enrolment data first. Without --yes: a store that the last
// download did not fill whole is refused, and otherwise the window's question is asked on
// standard input; both before connecting, so a refusal never reaches the terminal.
bool consented(const CommandArguments& args, RegistryTerminal& terminal, CommandContext& context) {
    if (args.has(QStringLiteral("--yes")))
        return true;
    if (const std::optional<QString> reason =
            EnrollStoreState(terminal.data()).incompleteReason()) {
        terminal.reportError(QStringLiteral("Parmakizi datası eksik: %1. Terminale dokunulmadı; "
                                            "yine de yüklemek için --yes")
                                 .arg(*reason));
        return false;
    }
    if (confirmEnrollUpload(context.ui))
        return true;
    terminal.exitStatus(CommandOutcome::declined(), QStringLiteral("Parmakizi yükleme"));
    return false;
}

} // namespace

// The bulk upload of the enrolment window: erases the named terminal's enrolment data and
// writes every row of tblEnroll; --without-left first removes the people marked "Pasif" in the
// personnel table (MySQL settings of Settings.ini).
int enrolUpload(CommandContext& context) {
    const QString command = QStringLiteral("enrol-upload");
    const CommandArguments args(command, context.arguments, {QStringLiteral("--on-error")},
                                {QStringLiteral("--without-left"), QStringLiteral("--yes")});
    const QString name = args.words(1)[0];
    EnrolQuestionAnswers answers(
        context.ui, EnrolQuestionAnswers::policyFrom(command, args.value("--on-error")));
    RegistryTerminal terminal(context, command);
    const TerminalRecord row = terminal.find(name);
    if (!consented(args, terminal, context))
        return 1;
    if (!terminal.connect(row))
        return 1;
    ConsoleEnrolView view(answers);
    EnrollItem item;
    EnrolContext ctx(terminal.dataModule(), terminal.session().clock(),
                     terminal.session().machineNumber(), item, answers, view,
                     Settings(context.folder).mySql());
    const UploadResult r = uploadEnrollData(ctx, args.has(QStringLiteral("--without-left")));
    const SendResult& s = r.send;
    const bool ok = r.started && r.cleared && !s.cancelled && s.failed == 0 && !s.lastFailed;
    return enrolSummary(
        context, command, ok,
        QStringLiteral("%1 satır, %2 yazıldı, %3 yazılamadı, %4 ayrılan kişi satırı silindi%5 (%6)")
            .arg(s.rows)
            .arg(s.sent)
            .arg(s.failed + (s.lastFailed && s.cancelled ? 1 : 0))
            .arg(r.leftRemoved)
            .arg(s.cancelled ? QStringLiteral(", durduruldu") : QString(), view.status));
}

} // namespace selvenor::cli
