#pragma once

#include <QString>
#include <QStringList>

namespace selvenor {

// The version of the three programs, from the project's version in CMakeLists.txt.
QString ProgramVersion();
// "selvenor-cli 1.0": what --version prints.
QString VersionLine(const QString& program);

// What a command line asks for instead of a run: the usage (--help or -h) or the version
// (--version). The word counts wherever it stands, before or after a command and its other
// options, so it never starts the work; --help wins over --version.
enum class InfoRequest { None, Help, Version };
// `arguments` as the program got them, its own name first.
InfoRequest infoRequestOf(const QStringList& arguments);

} // namespace selvenor
