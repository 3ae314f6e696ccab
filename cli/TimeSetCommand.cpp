#include "RegistryTerminal.h"

#include "app/TerminalClock.h"

namespace selvenor::cli {

// Sets the named terminal's clock from the computer's.
int timeSet(CommandContext& context) {
    RegistryTerminal terminal(context, "time-set");
    if (!terminal.connectToNamedTerminal())
        return 1;
    return terminal.exitStatus(TerminalClock::set(terminal.session(), context.ui),
                               "SyncTerminalTime");
}

} // namespace selvenor::cli
