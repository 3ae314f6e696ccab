#include "CommandArguments.h"
#include "RegistryTerminal.h"

#include "app/TerminalClock.h"

namespace selvenor::cli {

// Sets the named terminal's clock from the computer's.
int timeSet(CommandContext& context) {
    const QString name = CommandArguments("time-set", context.arguments).words(1)[0];
    RegistryTerminal terminal(context, "time-set");
    if (!terminal.connect(name))
        return 1;
    return terminal.exitStatus(TerminalClock::set(terminal.session(), context.ui),
                               "SyncTerminalTime");
}

} // namespace selvenor::cli
