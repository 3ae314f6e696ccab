#include "Version.h"

namespace selvenor {

QString ProgramVersion() {
    return QStringLiteral(SELVENOR_VERSION);
}

QString VersionLine(const QString& program) {
    return program + QLatin1Char(' ') + ProgramVersion();
}

} // namespace selvenor
