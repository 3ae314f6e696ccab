#include "CommandArguments.h"
#include "EnrolCommandSupport.h"
#include "TablePrint.h"

#include "enrol/MemberList.h"

namespace selvenor::cli {

namespace {

MemberList::Status statusFrom(const QString& command, const QString& value) {
    const QString v = value.toLower();
    if (v.isEmpty() || v == QLatin1String("tum") || v == QStringLiteral("tüm"))
        return MemberList::Status::All;
    if (v == QLatin1String("aktif"))
        return MemberList::Status::Active;
    if (v == QLatin1String("pasif"))
        return MemberList::Status::Passive;
    usageError(command, QStringLiteral("--status tüm, aktif ya da pasif olmalı: '%1'").arg(value));
}

} // namespace

// "Bağlan" of the sheet "Yetkilendir": the members of the personnel table (MySQL settings of
// Settings.ini) with their card number, name and membership dates, filtered by --status
// ("Durum") and by the beginning of the first name (--name, "Adı:").
int members(CommandContext& context) {
    const QString command = QStringLiteral("members");
    const CommandArguments a(command, context.arguments,
                             {QStringLiteral("--status"), QStringLiteral("--name")});
    a.words(0);
    const MemberList::Status status = statusFrom(command, a.value(QStringLiteral("--status")));
    OfflineEnrolContext offline(context);
    MemberList list;
    list.connectAndRefresh(offline.ctx, status, a.value(QStringLiteral("--name")));
    printTable(context.out, list);
    return 0;
}

} // namespace selvenor::cli
