#include "WaitingHook.h"

#include "common/ScopeGuard.h"

namespace selvenor {

void WaitingHook::set(std::function<void()> callback) {
    m_callback = std::move(callback);
    m_sinceLastRun.start();
}

QDeadlineTimer WaitingHook::sliceOf(QDeadlineTimer deadline) const {
    if (!m_callback || m_running)
        return deadline;
    const qint64 due = qMax<qint64>(0, kIntervalMs - m_sinceLastRun.elapsed());
    return qMin(deadline, QDeadlineTimer(due));
}

void WaitingHook::maybeRun() {
    if (!m_callback || m_running || m_sinceLastRun.elapsed() < kIntervalMs)
        return;
    m_running = true;
    const ScopeGuard done([this] {
        m_running = false;
        m_sinceLastRun.restart();
    });
    m_callback();
}

} // namespace selvenor
