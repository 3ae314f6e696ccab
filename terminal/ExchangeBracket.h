#pragma once

#include "terminal/TFP_CLOCK.h"

namespace selvenor {

// The bracket around every exchange with a terminal: the terminal is disabled (its keypad and
// sensor locked) before the exchange and enabled again afterwards, on every way out, also when
// the exchange fails or an error interrupts it. When disabling fails the command must do no
// exchange: test entered().
//
//     ExchangeBracket bracket(clock, machine);
//     if (!bracket.entered())
//         return;
//     ... exchange ...
//
// A command that disables the terminal again before each of several steps (and enables it once
// at the end) constructs the bracket with Deferred and calls disable() before each step.
class ExchangeBracket {
public:
    enum DeferredTag { Deferred };

    ExchangeBracket(TFP_CLOCK& clock, int machine)
        : ExchangeBracket(clock, machine, Deferred) {
        disable();
    }
    ExchangeBracket(TFP_CLOCK& clock, int machine, DeferredTag)
        : m_clock(clock)
        , m_machine(machine) {}
    ~ExchangeBracket() { leave(); }
    ExchangeBracket(const ExchangeBracket&) = delete;
    ExchangeBracket& operator=(const ExchangeBracket&) = delete;

    // Disables the terminal; returns whether that worked. Once it has worked, the terminal is
    // enabled again when the bracket is left.
    bool disable() {
        const bool disabled = m_clock.SetTerminalEnabled(m_machine, false);
        m_entered = m_entered || disabled;
        m_lastDisableWorked = disabled;
        return disabled;
    }

    // True when the last disable() worked: the exchange may go on.
    bool entered() const { return m_lastDisableWorked; }

    // Enables the terminal again now, when it was disabled; later calls and the destructor then
    // do nothing. The result of the enable is not looked at.
    void leave() {
        if (m_entered)
            m_clock.SetTerminalEnabled(m_machine, true);
        m_entered = false;
        m_lastDisableWorked = false;
    }

private:
    TFP_CLOCK& m_clock;
    int m_machine;
    bool m_entered = false;
    bool m_lastDisableWorked = false;
};

} // namespace selvenor
