#include "CommandArguments.h"
#include "RegistryList.h"
#include "TerminalOptions.h"

#include "common/TextFunctions.h"

namespace selvenor::cli {

// "Değiştir" and "Kaydet" of the editor on the named terminal: the fields start from its row,
// the options change some of them, and the editor's save writes all of them with its checks
// (an empty name, a number that is no integer). The registry is left as it was when a check
// fails. A new name already held by another terminal is refused, as add-terminal refuses it.
int changeTerminal(CommandContext& context) {
    const QString command = QStringLiteral("change-terminal");
    const CommandArguments a(command, context.arguments,
                             terminalValueOptions() << QStringLiteral("--name"), terminalFlags());
    const QString name = a.words(1)[0];
    if (context.arguments.size() == 1)
        usageError(command, QStringLiteral("Değiştirilecek alan verilmedi"));
    RegistryList list(context, command);
    const TerminalRecord row = list.select(name);
    TerminalEntry entry = entryOf(row);
    if (a.has("--name"))
        entry.Terminal = a.value("--name");
    applyTerminalOptions(command, a, entry, false);
    TerminalRegistry registry = list.registry(context.ui);
    checkedInput(QStringLiteral("Terminal değiştirme"), [&] {
        if (list.otherRowNamed(entry.Terminal, row.id))
            throw Error(QStringLiteral("'%1' adlı terminal zaten kayıtlı").arg(entry.Terminal));
        if (!registry.lookUpCurrent())
            throw DatabaseError(QStringLiteral("'%1' kaydı artık yok").arg(name));
        if (!registry.saveChanged(entry))
            throw Error(QStringLiteral("kaydedilmedi"));
    });
    context.out << QStringLiteral("Terminal değiştirildi: %1 (id %2)")
                       .arg(TrimText(entry.Terminal))
                       .arg(row.id)
                << '\n';
    return 0;
}

} // namespace selvenor::cli
