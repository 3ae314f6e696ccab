#pragma once

#include <QString>

namespace selvenor {

// The TCP port of a terminal (NetPort): 1 to 65535. A number outside is refused wherever it is
// typed or read, never cut down to 16 bits (which would make port p + 65536 reach port p).
inline constexpr int kLowestNetPort = 1;
inline constexpr int kHighestNetPort = 65535;

// Throws ConversionError naming the field when `port` is no TCP port.
void requireNetPort(int port);

} // namespace selvenor
