#include "FingerprintWipe.h"

#include "BracketedExchange.h"

#include "common/OperatorInterface.h"

namespace selvenor {

CommandOutcome FingerprintWipe::run(TerminalSession& session, OperatorInterface& ui) {
    if (!confirm(ui))
        return CommandOutcome::declined();
    return erase(session, ui);
}

bool FingerprintWipe::confirm(OperatorInterface& ui) {
    using Button = OperatorInterface::Button;
    return ui.messageBox(QStringLiteral("Seçili Terminaldeki Tüm Parmakizlerini Silmek İstiyor "
                                        "musunuz...?"),
                         QStringLiteral("UYARI"), OperatorInterface::Icon::Question,
                         Button::Yes | Button::No) == Button::Yes;
}

CommandOutcome FingerprintWipe::erase(TerminalSession& session, OperatorInterface& ui) {
    const CommandOutcome outcome = bracketedExchange(session, [](TFP_CLOCK& clock, int machine) {
        if (!clock.ClearEnrollStore(machine))
            return false;
        clock.ClearKeeperData(machine);
        return true;
    });
    if (outcome.succeeded())
        ui.showMessage(QStringLiteral("tamamlandı"));
    return outcome;
}

} // namespace selvenor
