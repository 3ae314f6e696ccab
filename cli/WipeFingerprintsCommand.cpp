#include "CommandArguments.h"
#include "RegistryTerminal.h"

#include "app/FingerprintWipe.h"

namespace selvenor::cli {

// Erases every fingerprint of the named terminal. Without --yes the question is asked on
// standard input; it is asked before connecting, so a No never reaches the terminal.
int wipeFingerprints(CommandContext& context) {
    const CommandArguments arguments("wipe-fingerprints", context.arguments, {}, {"--yes"});
    const QString name = arguments.words(1)[0];
    RegistryTerminal terminal(context, "wipe-fingerprints");
    const TerminalRecord row = terminal.find(name);
    if (!arguments.has("--yes") && !FingerprintWipe::confirm(context.ui))
        return terminal.exitStatus(CommandOutcome::declined(), "Parmakizi silme");
    if (!terminal.connect(row))
        return 1;
    return terminal.exitStatus(FingerprintWipe::erase(terminal.session(), context.ui),
                               "ClearEnrollStore");
}

} // namespace selvenor::cli
