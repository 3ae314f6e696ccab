#include "Version.h"

namespace selvenor {

QString ProgramVersion() {
    return QStringLiteral(SELVENOR_VERSION);
}

QString VersionLine(const QString& program) {
    return program + QLatin1Char(' ') + ProgramVersion();
}

InfoRequest infoRequestOf(const QStringList& arguments) {
    const QStringList words = arguments.mid(1);
    if (words.contains(QLatin1String("--help")) || words.contains(QLatin1String("-h")))
        return InfoRequest::Help;
    if (words.contains(QLatin1String("--version")))
        return InfoRequest::Version;
    return InfoRequest::None;
}

} // namespace selvenor
