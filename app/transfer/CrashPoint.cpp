#include "CrashPoint.h"

#include <QByteArray>
#include <QtGlobal>

#include <csignal>
#include <cstdlib>

namespace selvenor {

bool CrashPoint::reached(const char* point, int batch) {
    static const QByteArray wanted = qgetenv("SELVENOR_TEST_CRASH_AT");
    if (wanted.isEmpty())
        return false;
    return wanted == QByteArray(point) + ':' + QByteArray::number(batch);
}

void CrashPoint::crash() {
    std::raise(SIGKILL);
    std::abort();
}

} // namespace selvenor
