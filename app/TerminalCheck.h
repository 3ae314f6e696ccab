#pragma once

#include "registry/TerminalRecord.h"

#include <QList>
#include <QString>

namespace selvenor {

// Whether a terminal of the list answers now: a connection opened (its Hello answered, the
// password taken) and closed again at once, nothing changed on the terminal.
struct TerminalAnswer {
    bool answered = false;
    QString serial;     // the unit's serial number, as its Hello told
    int resultCode = 0; // why not, when it did not answer (-1: the row names no link kind)
};

// Asks every terminal side by side, each on a thread of its own with `timeoutMs` per
// operation, so a whole site is checked in about the time of its slowest terminal. The answers
// come in the order of `terminals`. A row whose numbers cannot be read gives resultCode -1 too.
QList<TerminalAnswer> checkTerminals(const QList<TerminalRecord>& terminals, int timeoutMs,
                                     int jobs);

} // namespace selvenor
