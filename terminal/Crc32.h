#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace selvenor::protocol {

// CRC-32 as used by Ethernet and zlib (reflected polynomial 0xEDB88320, initial value and final
// XOR 0xFFFFFFFF). crc32("123456789") is 0xCBF43926.
quint32 crc32(QByteArrayView data);

} // namespace selvenor::protocol
