#pragma once

#include <QString>

class QTemporaryDir;

#include <gtest/gtest.h>

// File and folder modes do not stop root. A test about them that runs as root runs itself again,
// alone, in a child process of the test program as the user `nobody` (through setpriv or
// runuser), and passes when the child passes. As any other user the test runs here.
class UnprivilegedRun {
public:
    enum class Where { Here, Child };

    // Runs the current test again as `nobody` when this process is root; Here otherwise.
    // After Child the test has nothing left to do: its result is the child's.
    static Where runCurrentTest();
    static bool isRoot();

private:
    static const QTemporaryDir& sharedFolder();
    static QString executableOthersCanRun(QString& error);
};

// Put first in a test body: as root, runs the test as `nobody` and returns; skips, saying why,
// only when neither setpriv nor runuser can run it.
#define RUN_AS_UNPRIVILEGED_USER()                                                                 \
    do {                                                                                           \
        if (UnprivilegedRun::runCurrentTest() == UnprivilegedRun::Where::Child)                    \
            return;                                                                                \
    } while (false)
