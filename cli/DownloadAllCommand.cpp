#include "CommandArguments.h"
#include "TerminalDownloads.h"

namespace selvenor::cli {

// "Tüm Verileri Al (silmez)"; with --inout "Tüm Verileri Al(aldıktan sonra cihazdan sil)",
// which also erases the records from the terminal once they stand in the files.
int downloadAll(CommandContext& context) {
    const CommandArguments args("download-all", context.arguments, {},
                                {"--inout", "--second-file"});
    return downloadEach(context, "download-all", args.words(1),
                        args.has("--inout") ? LogDownload::AllRecordsInOut
                                            : LogDownload::AllRecords,
                        args.has("--second-file"));
}

} // namespace selvenor::cli
