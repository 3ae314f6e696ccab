#pragma once

#include <QString>
#include <QtGlobal>

namespace selvenor::protocol {

// Command codes of protocol version 1 (docs/protocol.md, "Commands").
enum class Command : quint8 {
    Hello = 0x01,
    Authenticate = 0x02,
    Bye = 0x03,
    SetTerminalEnabled = 0x10,
    SyncTerminalTime = 0x11,
    GetTerminalTime = 0x12,
    ReadLogBuffer = 0x20,
    FetchLogChunk = 0x21,
    AcknowledgeLog = 0x22,
    ClearLogData = 0x23,
    ReadAllUserID = 0x30,
    FetchUserChunk = 0x31,
    GetEnrollData = 0x32,
    SetEnrollData = 0x33,
    DeleteEnrollData = 0x34,
    SetUserPrivilege = 0x35,
    SetUserEnabled = 0x36,
    ClearKeeperData = 0x37,
    ClearEnrollStore = 0x38,
    GetUserName = 0x40,
    SetUserName = 0x41,
};

// The name a command goes by in logs and fault rules: the control operation it serves
// ("OpenConnection" for Hello, "NextLogRecord" for a log chunk of unread records, ...).
// Empty for an unknown code. A log chunk of all records is "NextAllLogRecord".
QString commandName(quint8 command, quint8 logMode = 0);

// The code of a name given by commandName, or 0 when the name is unknown.
quint8 commandFromName(const QString& name, quint8* logMode = nullptr);

} // namespace selvenor::protocol
