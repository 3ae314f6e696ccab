#include "NetPort.h"

#include "common/Errors.h"

namespace selvenor {

void requireNetPort(int port) {
    if (port < kLowestNetPort || port > kHighestNetPort)
        throw ConversionError(
            QStringLiteral("tcp port: %1 bir port numarası değil (%2 ile %3 arası olmalı)")
                .arg(port)
                .arg(kLowestNetPort)
                .arg(kHighestNetPort));
}

} // namespace selvenor
