#include "CommandArguments.h"
#include "EnrolCommandSupport.h"
#include "RegistryTerminal.h"

#include "enrol/EnrolContext.h"
#include "enrol/NameList.h"

namespace selvenor::cli {

// The upload of all names of the enrolment window: every row of temp (or those whose name
// begins with --search) to the named terminal, folded to Latin letters.
int namesUpload(CommandContext& context) {
    const QString command = QStringLiteral("names-upload");
    const CommandArguments args(command, context.arguments, {QStringLiteral("--search")});
    const QString name = args.words(1)[0];
    RegistryTerminal terminal(context, command);
    openLogStore(context.folder, terminal.dataModule());
    if (!terminal.connect(name))
        return 1;
    EnrolQuestionAnswers answers(context.ui, EnrolQuestionAnswers::Policy::Stop);
    ConsoleEnrolView view(answers);
    EnrollItem item;
    EnrolContext ctx(terminal.dataModule(), terminal.session().clock(),
                     terminal.session().machineNumber(), item, answers, view);
    NameList list;
    list.refresh(terminal.dataModule().ADOConnection2(), args.value(QStringLiteral("--search")));
    const NameList::UploadCount count = list.uploadAllNames(ctx);
    return enrolSummary(context, command, count.failed == 0,
                        QStringLiteral("%1 satır, %2 isim yazıldı, %3 yazılamadı, %4 boş isim (%5)")
                            .arg(list.rowCount())
                            .arg(count.sent)
                            .arg(count.failed)
                            .arg(count.empty)
                            .arg(view.status));
}

} // namespace selvenor::cli
