#pragma once

#include "CommandOutcome.h"

namespace selvenor {

class OperatorInterface;
class TerminalSession;

// Erases every fingerprint and all other enrolment data of the session's terminal (the one last
// connected or tried, not the list's current row). Touches no local store.
class FingerprintWipe {
public:
    // Asks "UYARI" / "Seçili Terminaldeki Tüm Parmakizlerini Silmek İstiyor musunuz...?"; on No
    // nothing reaches the terminal. Otherwise erase().
    static CommandOutcome run(TerminalSession& session, OperatorInterface& ui);

    // True when the operator answers Yes to the question.
    static bool confirm(OperatorInterface& ui);

    // Inside the exchange bracket: ClearEnrollStore, and after its success ClearKeeperData
    // (result not looked at) and the message "tamamlandı". A failure shows nothing.
    static CommandOutcome erase(TerminalSession& session, OperatorInterface& ui);
};

} // namespace selvenor
