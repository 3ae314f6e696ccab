#pragma once

#include "TFP_CLOCK.h"

#include <functional>

namespace selvenor {

// Sets the control's waiting hook for one command of a window and gives the hook it had back
// when the command ends, also when it throws.
class ScopedWaitingHook {
public:
    ScopedWaitingHook(TFP_CLOCK& clock, std::function<void()> hook)
        : m_clock(clock)
        , m_previous(clock.waitingHook()) {
        m_clock.setWaitingHook(std::move(hook));
    }
    ~ScopedWaitingHook() { m_clock.setWaitingHook(std::move(m_previous)); }
    ScopedWaitingHook(const ScopedWaitingHook&) = delete;
    ScopedWaitingHook& operator=(const ScopedWaitingHook&) = delete;

private:
    TFP_CLOCK& m_clock;
    std::function<void()> m_previous;
};

} // namespace selvenor
