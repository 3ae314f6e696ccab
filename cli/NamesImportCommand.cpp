#include "CommandArguments.h"
#include "EnrolCommandSupport.h"

#include "enrol/NameList.h"

namespace selvenor::cli {

// The personnel-name import of the enrolment window: every card number of temp gets the name
// of its row in the attendance program's personel table (MySQL settings of Settings.ini).
int namesImport(CommandContext& context) {
    const QString command = QStringLiteral("names-import");
    CommandArguments(command, context.arguments).words(0);
    OfflineEnrolContext offline(context); // the import does not talk to a terminal
    openLogStore(context.folder, offline.dm);
    NameList list;
    list.refresh(offline.dm.ADOConnection2(), QString());
    const QStringList before = [&] {
        QStringList names;
        for (int row = 0; row < list.rowCount(); ++row)
            names << list.value(row, QStringLiteral("isim")).toString();
        return names;
    }();
    list.importNames(offline.ctx);
    int changed = 0;
    for (int row = 0; row < list.rowCount() && row < before.size(); ++row)
        changed += list.value(row, QStringLiteral("isim")).toString() != before[row];
    return enrolSummary(
        context, command, true,
        QStringLiteral("%1 satır, %2 isim değişti").arg(list.rowCount()).arg(changed));
}

} // namespace selvenor::cli
