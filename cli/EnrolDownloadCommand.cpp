#include "CommandArguments.h"
#include "EnrolCommandSupport.h"
#include "RegistryTerminal.h"

#include "enrol/EnrolContext.h"
#include "enrol/EnrollDownload.h"
#include "enrol/EnrollStoreState.h"

namespace selvenor::cli {

// The bulk download of the enrolment window: every item of the named terminal into tblEnroll,
// one name row per entry into temp.
int enrolDownload(CommandContext& context) {
    const QString command = QStringLiteral("enrol-download");
    const CommandArguments args(command, context.arguments, {QStringLiteral("--on-error")});
    const QString name = args.words(1)[0];
    EnrolQuestionAnswers answers(
        context.ui, EnrolQuestionAnswers::policyFrom(command, args.value("--on-error")));
    RegistryTerminal terminal(context, command);
    openLogStore(context.folder, terminal.dataModule());
    if (!terminal.connect(name))
        return 1;
    ConsoleEnrolView view(answers);
    EnrollItem item;
    EnrolContext ctx(terminal.dataModule(), terminal.session().clock(),
                     terminal.session().machineNumber(), item, answers, view);
    const DownloadResult r = downloadEnrollData(ctx);
    const bool ok = r.started && r.ok && r.complete;
    if (!r.complete)
        terminal.reportError(
            QStringLiteral("%1: parmakizi datası eksik olarak işaretlendi (%2); enrol-upload "
                           "bunu --yes olmadan yüklemez")
                .arg(command,
                     EnrollStoreState(terminal.data()).incompleteReason().value_or(QString())));
    return enrolSummary(
        context, command, ok,
        QStringLiteral("%1 giriş, %2 kayıt saklandı, %3 Double ID, %4 atlandı%5 "
                       "(%6)")
            .arg(r.entries)
            .arg(r.stored)
            .arg(r.doubles)
            .arg(r.skipped)
            .arg(r.cancelled ? QStringLiteral(", durduruldu") : QString(), view.status));
}

} // namespace selvenor::cli
