#include "CommandArguments.h"
#include "TerminalDownloads.h"

namespace selvenor::cli {

// The transfer of "Verileri Aktar" for each named terminal, or every registered one (--all).
int download(CommandContext& context) {
    const QStringList flags{QStringLiteral("--second-file"), QStringLiteral("--all")};
    const CommandArguments args("download", context.arguments, {}, flags);
    QStringList names = context.arguments;
    for (const QString& flag : flags)
        names.removeAll(flag);
    if (args.has("--all")) {
        if (!names.isEmpty())
            usageError("download", QStringLiteral("--all ile terminal adı verilmez"));
        names = allTerminalNames(context, "download");
        if (names.isEmpty())
            usageError("download", QStringLiteral("kayıtlı terminal yok"));
    }
    if (names.isEmpty())
        usageError("download", QStringLiteral("terminal adı ya da --all gerekli"));
    return downloadEach(context, "download", names, LogDownload::NewRecords,
                        args.has("--second-file"));
}

} // namespace selvenor::cli
