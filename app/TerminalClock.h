#pragma once

#include "CommandOutcome.h"

#include <QChar>
#include <QString>

namespace selvenor {

class OperatorInterface;
class TerminalSession;

// The terminal's clock as GetTerminalTime reports it.
struct ClockReading {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int dayOfWeek = 0; // the sixth value; not shown
};

// "Tarih = dd/mm/yyyy", a line break, "Saat = hh:mm": day, month, hour and minute padded to two
// digits (never cut), the year unpadded. The window uses a lone carriage return as the break.
QString ClockDisplay(const ClockReading& clock, QChar lineBreak = QChar(u'\r'));

// The two clock commands on the connected terminal, each inside the exchange bracket.
class TerminalClock {
public:
    // Sets the terminal's clock from the computer's and says whether that worked:
    // "cihaz tarih saati ayarlandı.." or "HATA...tarih saat ayarlanamadı..".
    // Nothing is shown when the terminal cannot be disabled.
    static CommandOutcome set(TerminalSession& session, OperatorInterface& ui);

    // Reads the terminal's clock into `reading`; shows nothing.
    static CommandOutcome read(TerminalSession& session, ClockReading& reading);

    // Reads the clock and shows the clock display; shows nothing when reading fails.
    static CommandOutcome show(TerminalSession& session, OperatorInterface& ui);
};

} // namespace selvenor
