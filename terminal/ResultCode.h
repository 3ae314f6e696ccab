#pragma once

#include <QString>

namespace selvenor {

// Result codes that GetLastErrorCode reports. 0 to 9 are the terminal's own; the codes from 10
// on are this system's (see docs/protocol.md) and have no name.
enum ResultCode : int {
    SUCCESS = 0,
    ERR_COMPORT_ERROR = 1,
    ERR_WRITE_FAIL = 2,
    ERR_READ_FAIL = 3,
    ERR_INVALID_PARAM = 4,
    ERR_NON_CARRYOUT = 5,
    ERR_LOG_END = 6,
    ERR_MEMORY = 7,
    ERR_MULTIUSER = 8,
    ERR_NOSUPPORT = 9,
    // This system's own codes.
    ERR_NOT_OPEN = 10,      // no connection is open
    ERR_AUTH_FAILED = 11,   // the terminal refused the password
    ERR_WRONG_MACHINE = 12, // the terminal has another machine number
    ERR_BAD_REPLY = 13,     // replies arrived corrupt, oversized or malformed
    ERR_NOT_DISABLED = 14,  // the operation needs the terminal disabled first
};

// "SUCCESS" to "ERR_NOSUPPORT" for 0 to 9, an empty text for every other code.
QString ResultCodeName(int code);

// The symbol of every known code, this system's own included ("ERR_AUTH_FAILED"); empty for an
// unknown code. For logs and the command line, where an empty name would hide the reason.
QString ResultCodeSymbol(int code);

// ResultCodeSymbol, or "kod N" for an unknown code: never empty, for texts that must say why.
QString ResultCodeText(int code);

} // namespace selvenor
