#pragma once

namespace selvenor {

// Test support for the interruption tests: with SELVENOR_TEST_CRASH_AT=POINT:N in the
// environment the process kills itself (SIGKILL, no clean-up at all) when the Nth batch of a
// run reaches POINT. Without the variable nothing happens.
class CrashPoint {
public:
    static bool reached(const char* point, int batch);
    [[noreturn]] static void crash();
    static void crashIfReached(const char* point, int batch) {
        if (reached(point, batch))
            crash();
    }
};

} // namespace selvenor
