#pragma once

#include <QString>
#include <QtGlobal>

#include <compare>

namespace selvenor {

class TFP_CLOCK;

// Who a terminal is, as its Hello told: the unit's serial number (never changes for a unit) and
// its log generation (changes whenever the unit's numbering of attendance records starts over).
// A sequence number means something only with both, so everything the downloads remember of a
// terminal is kept under this pair, never under the machine number, which several terminals
// may share.
struct TerminalIdentity {
    QString serial; // empty: no terminal (lines of a memory-card file)
    quint32 generation = 0;

    bool isEmpty() const { return serial.isEmpty(); }
    // "SIM-0A1B2C3D / 123456", for messages and journal-check.
    QString text() const;

    // The connected terminal of the control; empty while no connection is open.
    static TerminalIdentity of(const TFP_CLOCK& clock);

    friend bool operator==(const TerminalIdentity&, const TerminalIdentity&) = default;
    friend std::strong_ordering operator<=>(const TerminalIdentity& a, const TerminalIdentity& b) {
        if (const int c = a.serial.compare(b.serial); c != 0)
            return c < 0 ? std::strong_ordering::less : std::strong_ordering::greater;
        return a.generation <=> b.generation;
    }
};

} // namespace selvenor
