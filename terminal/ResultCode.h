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
};

// "SUCCESS" to "ERR_NOSUPPORT" for 0 to 9, an empty text for every other code.
QString ResultCodeName(int code);

} // namespace selvenor
