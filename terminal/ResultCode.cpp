#include "ResultCode.h"

#include <array>

namespace selvenor {

QString ResultCodeName(int code) {
    static constexpr std::array<const char*, 10> names = {
        "SUCCESS",           "ERR_COMPORT_ERROR", "ERR_WRITE_FAIL", "ERR_READ_FAIL",
        "ERR_INVALID_PARAM", "ERR_NON_CARRYOUT",  "ERR_LOG_END",    "ERR_MEMORY",
        "ERR_MULTIUSER",     "ERR_NOSUPPORT"};
    if (code < 0 || code >= static_cast<int>(names.size()))
        return QString();
    return QString::fromLatin1(names[code]);
}

QString ResultCodeSymbol(int code) {
    static constexpr std::array<const char*, 5> own = {"ERR_NOT_OPEN", "ERR_AUTH_FAILED",
                                                       "ERR_WRONG_MACHINE", "ERR_BAD_REPLY",
                                                       "ERR_NOT_DISABLED"};
    if (code >= ERR_NOT_OPEN && code < ERR_NOT_OPEN + static_cast<int>(own.size()))
        return QString::fromLatin1(own[code - ERR_NOT_OPEN]);
    return ResultCodeName(code);
}

QString ResultCodeText(int code) {
    const QString symbol = ResultCodeSymbol(code);
    return symbol.isEmpty() ? QStringLiteral("kod %1").arg(code) : symbol;
}

} // namespace selvenor
