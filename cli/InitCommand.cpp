#include "CliCommand.h"

#include "common/Errors.h"
#include "data/StoreSchema.h"

namespace selvenor::cli {

// Creates whatever of the data folder's stores is missing and says what it created.
int init(CommandContext& context) {
    if (!context.arguments.isEmpty())
        throw Error(QStringLiteral("init beklenmeyen argüman aldı: %1")
                        .arg(context.arguments.join(QLatin1Char(' '))));
    const QStringList created = createMissingStores(context.folder);
    for (const QString& name : created)
        context.out << QStringLiteral("Oluşturuldu: %1").arg(context.folder.file(name)) << '\n';
    if (created.isEmpty())
        context.out << QStringLiteral("Eksik dosya yok: %1").arg(context.folder.path()) << '\n';
    return 0;
}

} // namespace selvenor::cli
