#pragma once

#include "OperatorInterface.h"

#include <QElapsedTimer>

namespace selvenor {

// Lets pending window events run from inside a long loop, at most once per interval, so the
// window repaints and stays usable without the event loop dominating the work.
class EventPump {
public:
    explicit EventPump(OperatorInterface& ui, int intervalMs = 30);

    // Runs pending events when the interval has passed since the last run.
    void maybeRun();
    // Runs pending events now.
    void runNow();

private:
    OperatorInterface& m_ui;
    int m_intervalMs;
    QElapsedTimer m_sinceLastRun;
};

} // namespace selvenor
