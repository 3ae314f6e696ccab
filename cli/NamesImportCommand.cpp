#include "CommandArguments.h"
#include "EnrolCommandSupport.h"

#include "data/Settings.h"
#include "data/TfrmDM.h"
#include "enrol/EnrolContext.h"
#include "enrol/NameList.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor::cli {

// The personnel-name import of the enrolment window: every card number of temp gets the name
// of its row in the attendance program's personel table (MySQL settings of Settings.ini).
int namesImport(CommandContext& context) {
    const QString command = QStringLiteral("names-import");
    CommandArguments(command, context.arguments).words(0);
    TfrmDM dm;
    openLogStore(context.folder, dm);
    TFP_CLOCK clock; // the import does not talk to a terminal
    EnrolQuestionAnswers answers(context.ui, EnrolQuestionAnswers::Policy::Stop);
    ConsoleEnrolView view(answers);
    EnrollItem item;
    EnrolContext ctx(dm, clock, 0, item, answers, view, Settings(context.folder).mySql());
    NameList list;
    list.refresh(dm.ADOConnection2(), QString());
    const QStringList before = [&] {
        QStringList names;
        for (int row = 0; row < list.rowCount(); ++row)
            names << list.value(row, QStringLiteral("isim")).toString();
        return names;
    }();
    list.importNames(ctx);
    int changed = 0;
    for (int row = 0; row < list.rowCount() && row < before.size(); ++row)
        changed += list.value(row, QStringLiteral("isim")).toString() != before[row];
    return enrolSummary(
        context, command, true,
        QStringLiteral("%1 satır, %2 isim değişti").arg(list.rowCount()).arg(changed));
}

} // namespace selvenor::cli
