#include "RegistryTerminal.h"

#include "app/TerminalClock.h"

namespace selvenor::cli {

// Prints the named terminal's clock as the window shows it, on two lines.
int timeGet(CommandContext& context) {
    RegistryTerminal terminal(context, "time-get");
    if (!terminal.connectToNamedTerminal())
        return 1;
    ClockReading reading;
    const CommandOutcome outcome = TerminalClock::read(terminal.session(), reading);
    if (outcome.succeeded())
        context.out << ClockDisplay(reading, u'\n') << '\n';
    return terminal.exitStatus(outcome, "GetTerminalTime");
}

} // namespace selvenor::cli
