#include "EventPump.h"

namespace selvenor {

EventPump::EventPump(OperatorInterface& ui, int intervalMs)
    : m_ui(ui)
    , m_intervalMs(intervalMs) {
    m_sinceLastRun.start();
}

void EventPump::maybeRun() {
    if (m_sinceLastRun.elapsed() >= m_intervalMs)
        runNow();
}

void EventPump::runNow() {
    m_ui.letPendingEventsRun();
    m_sinceLastRun.restart();
}

} // namespace selvenor
