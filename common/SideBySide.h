#pragma once

#include <functional>

namespace selvenor {

// Runs work(0) ... work(count - 1) on up to `jobs` threads at once and returns when every one
// has ended. Each call runs on a thread of its own for its whole length, so it may keep
// thread-bound objects (a terminal control, a database connection) on its stack. The first
// exception a call lets out is rethrown here once all have ended; the others still run.
void runSideBySide(int count, int jobs, const std::function<void(int)>& work);

} // namespace selvenor
