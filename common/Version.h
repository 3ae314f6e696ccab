#pragma once

#include <QString>

namespace selvenor {

// The version of the three programs, from the project's version in CMakeLists.txt.
QString ProgramVersion();
// "selvenor-cli 1.0": what --version prints.
QString VersionLine(const QString& program);

} // namespace selvenor
