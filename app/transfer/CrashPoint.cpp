#include "CrashPoint.h"

#include <QtGlobal>

#include <csignal>
#include <cstdlib>

namespace selvenor {

bool CrashPoint::reached(const QByteArray& point, int batch) {
    static const QByteArray wanted = qgetenv("SELVENOR_TEST_CRASH_AT");
    if (wanted.isEmpty())
        return false;
    return wanted == point + ':' + QByteArray::number(batch);
}

void CrashPoint::crash() {
    std::raise(SIGKILL);
    std::abort();
}

QByteArray CrashPoint::ofFile(const char* point, size_t index) {
    return QByteArray(point) + QByteArray::number(qulonglong(index));
}

qsizetype CrashPoint::insideALine(const QByteArray& lines) {
    qsizetype part = lines.size() / 2;
    if (part > 0 && lines[part - 1] == '\n') {
        const qsizetype lineStart = lines.lastIndexOf('\n', part - 2) + 1;
        part = lineStart + (part - lineStart) / 2;
    }
    return part;
}

} // namespace selvenor
