#include "CommandArguments.h"
#include "TerminalDownloads.h"

namespace selvenor::cli {

namespace {

constexpr int kLongestWaitS = 86400;

// --wait SECONDS: how long each terminal's download waits for what another holds: the data
// folder (a download by hand or from the window) and the terminal (the window's session).
int waitMs(const CommandArguments& args) {
    if (!args.has("--wait"))
        return DataFolderLock::kDefaultWaitMs;
    bool ok = false;
    const int seconds = args.value("--wait").toInt(&ok);
    if (!ok || seconds < 0 || seconds > kLongestWaitS)
        usageError("download", QStringLiteral("--wait 0 ile %1 arasında bir saniye sayısı ister: "
                                              "'%2'")
                                   .arg(kLongestWaitS)
                                   .arg(args.value("--wait")));
    return seconds * 1000;
}

} // namespace

// The transfer of "Verileri Aktar" for each named terminal, or every registered one (--all).
int download(CommandContext& context) {
    const CommandArguments args("download", context.arguments, {QStringLiteral("--wait")},
                                {QStringLiteral("--second-file"), QStringLiteral("--all")});
    QStringList names = args.words();
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
                        args.has("--second-file"), waitMs(args));
}

} // namespace selvenor::cli
