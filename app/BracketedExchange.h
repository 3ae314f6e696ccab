#pragma once

#include "CommandOutcome.h"
#include "TerminalSession.h"

#include "terminal/ExchangeBracket.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

// Runs `exchange(clock, machine)` (returns whether the terminal did it) on the session's
// terminal inside the exchange bracket. The terminal is enabled again before this returns, so a
// caller that then shows a message does not keep the terminal locked while the operator reads.
template <typename Exchange>
CommandOutcome bracketedExchange(TerminalSession& session, Exchange&& exchange) {
    TFP_CLOCK& clock = session.clock();
    const int machine = session.machineNumber();
    ExchangeBracket bracket(clock, machine);
    if (!bracket.entered())
        return CommandOutcome::failure(CommandOutcome::TerminalNotDisabled, clock);
    if (!exchange(clock, machine))
        return CommandOutcome::failure(CommandOutcome::Failed, clock);
    return CommandOutcome::success();
}

} // namespace selvenor
