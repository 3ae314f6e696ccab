#include "CommandArguments.h"
#include "RegistryTerminal.h"
#include "TerminalOptions.h"

#include "app/TerminalLookup.h"
#include "common/Errors.h"
#include "registry/TerminalStore.h"

namespace selvenor::cli {

// Registers a terminal; a name already in the registry is refused.
int addTerminal(CommandContext& context) {
    const QString command = QStringLiteral("add-terminal");
    const CommandArguments a(command, context.arguments, terminalValueOptions(), terminalFlags());
    TerminalEntry entry;
    entry.Terminal = a.words(1)[0];
    if (!a.has("--number"))
        usageError(command, QStringLiteral("--number N gerekli"));
    applyTerminalOptions(command, a, entry, true);

    TfrmDM dm;
    openDataStore(context.folder, dm);
    if (findTerminalByName(dm.ADOConnection1(), entry.Terminal))
        throw Error(QStringLiteral("'%1' adlı terminal zaten kayıtlı").arg(entry.Terminal));
    const qint64 id = TerminalStore(dm.ADOConnection1()).insert(entry);
    context.out << QStringLiteral("Terminal eklendi: %1 (id %2)").arg(entry.Terminal).arg(id)
                << '\n';
    return 0;
}

} // namespace selvenor::cli
