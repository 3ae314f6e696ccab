#include "TerminalCheck.h"

#include "TerminalSession.h"

#include "common/Errors.h"
#include "common/SerialisedOperator.h"
#include "common/SideBySide.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

namespace {

TerminalAnswer ask(const TerminalRecord& terminal, int timeoutMs) {
    TFP_CLOCK clock;
    clock.setTimeoutMs(timeoutMs);
    TerminalSession session(clock);
    SilentOperator silent;
    TerminalAnswer answer;
    try {
        answer.answered = session.connect(terminal, silent);
    } catch (const ConversionError&) {
        answer.resultCode = TerminalSession::kNoResultCode;
        return answer;
    }
    if (!answer.answered) {
        answer.resultCode = session.lastConnectResult();
        return answer;
    }
    answer.serial = clock.TerminalSerial();
    session.disconnect();
    return answer;
}

} // namespace

QList<TerminalAnswer> checkTerminals(const QList<TerminalRecord>& terminals, int timeoutMs,
                                     int jobs) {
    QList<TerminalAnswer> answers(terminals.size());
    runSideBySide(int(terminals.size()), jobs,
                  [&](int i) { answers[i] = ask(terminals[i], timeoutMs); });
    return answers;
}

} // namespace selvenor
