#include "CliCommand.h"
#include "CommandArguments.h"

#include "app/transfer/JournalCheck.h"

namespace selvenor::cli {

// Shows what the downloads' journal holds; --repair makes a damaged or unknown one sound again
// without losing a record. Exit status 1 while the journal is not sound.
int journalCheck(CommandContext& context) {
    const CommandArguments args("journal-check", context.arguments, {}, {"--repair"});
    args.words(0);
    JournalCheck check(context.folder);
    const QStringList lines = args.has("--repair") ? check.repair() : check.describe();
    for (const QString& line : lines)
        context.out << line << '\n';
    if (args.has("--repair"))
        check.describe();
    return check.sound() ? 0 : 1;
}

} // namespace selvenor::cli
