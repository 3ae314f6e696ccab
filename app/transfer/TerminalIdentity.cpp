#include "TerminalIdentity.h"

#include "terminal/TFP_CLOCK.h"

namespace selvenor {

QString TerminalIdentity::text() const {
    return QStringLiteral("%1 / %2").arg(serial).arg(generation);
}

TerminalIdentity TerminalIdentity::of(const TFP_CLOCK& clock) {
    return {clock.TerminalSerial(), clock.LogGeneration()};
}

} // namespace selvenor
