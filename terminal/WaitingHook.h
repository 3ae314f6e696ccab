#pragma once

#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <functional>

namespace selvenor {

// What the control calls while it waits for its terminal (connecting, sending, waiting for reply
// bytes), so that a window can let its events run meanwhile. The control knows no window: the
// program sets the callback, the command line sets none. The callback runs at most once per
// interval and never from inside itself.
class WaitingHook {
public:
    static constexpr int kIntervalMs = 30;

    void set(std::function<void()> callback);
    bool isSet() const { return bool(m_callback); }
    const std::function<void()>& callback() const { return m_callback; }
    // True while the callback runs.
    bool running() const { return m_running; }
    // The most a wait may block before the callback is due again; the whole deadline when no
    // callback is set.
    QDeadlineTimer sliceOf(QDeadlineTimer deadline) const;
    // Runs the callback when its interval has passed since it ran last.
    void maybeRun();

private:
    std::function<void()> m_callback;
    QElapsedTimer m_sinceLastRun;
    bool m_running = false;
};

} // namespace selvenor
