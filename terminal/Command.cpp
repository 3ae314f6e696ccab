#include "Command.h"

#include <array>

namespace selvenor::protocol {

namespace {

struct NamedCommand {
    Command command;
    quint8 logMode;
    const char* name;
};

constexpr std::array<NamedCommand, 23> kNames = {{
    {Command::Hello, 0, "OpenConnection"},
    {Command::Authenticate, 0, "Authenticate"},
    {Command::Bye, 0, "CloseConnection"},
    {Command::SetTerminalEnabled, 0, "SetTerminalEnabled"},
    {Command::SyncTerminalTime, 0, "SyncTerminalTime"},
    {Command::GetTerminalTime, 0, "GetTerminalTime"},
    {Command::ReadLogBuffer, 0, "ReadLogBuffer"},
    {Command::ReadLogBuffer, 1, "ReadAllLogBuffer"},
    {Command::FetchLogChunk, 0, "NextLogRecord"},
    {Command::FetchLogChunk, 1, "NextAllLogRecord"},
    {Command::AcknowledgeLog, 0, "AcknowledgeLogRecords"},
    {Command::ClearLogData, 0, "ClearLogData"},
    {Command::ReadAllUserID, 0, "ReadAllUserID"},
    {Command::FetchUserChunk, 0, "GetNextUserID"},
    {Command::GetEnrollData, 0, "GetEnrollData"},
    {Command::SetEnrollData, 0, "SetEnrollData"},
    {Command::DeleteEnrollData, 0, "DeleteEnrollData"},
    {Command::SetUserPrivilege, 0, "SetUserPrivilege"},
    {Command::SetUserEnabled, 0, "SetUserEnabled"},
    {Command::ClearKeeperData, 0, "ClearKeeperData"},
    {Command::ClearEnrollStore, 0, "ClearEnrollStore"},
    {Command::GetUserName, 0, "GetUserName"},
    {Command::SetUserName, 0, "SetUserName"},
}};

bool hasLogMode(quint8 command) {
    return command == quint8(Command::ReadLogBuffer) || command == quint8(Command::FetchLogChunk);
}

} // namespace

QString commandName(quint8 command, quint8 logMode) {
    const quint8 mode = hasLogMode(command) ? quint8(logMode ? 1 : 0) : 0;
    for (const auto& n : kNames)
        if (quint8(n.command) == command && n.logMode == mode)
            return QString::fromLatin1(n.name);
    return QString();
}

quint8 commandFromName(const QString& name, quint8* logMode) {
    for (const auto& n : kNames)
        if (name == QLatin1String(n.name)) {
            if (logMode)
                *logMode = n.logMode;
            return quint8(n.command);
        }
    return 0;
}

} // namespace selvenor::protocol
