#include "ListWalk.h"

#include "TFP_CLOCK.h"

namespace selvenor {

ListWalk::ListWalk(TFP_CLOCK& clock)
    : m_clock(clock) {}

bool ListWalk::step(bool handedOut) {
    if (handedOut) {
        ++m_entries;
        return true;
    }
    int code = SUCCESS;
    if (!m_clock.GetLastErrorCode(code) || code == SUCCESS)
        code = ERR_READ_FAIL; // a failure without a reason is a failure, never the end
    m_ended = true;
    m_resultCode = code;
    return false;
}

} // namespace selvenor
