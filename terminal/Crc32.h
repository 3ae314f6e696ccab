#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace selvenor::protocol {

// CRC-32 as used by Ethernet and zlib (reflected polynomial 0xEDB88320, initial value and final
// XOR 0xFFFFFFFF). crc32("123456789") is 0xCBF43926.
quint32 crc32(QByteArrayView data);

// The CRC of a text continued by `data`, from the CRC of the text alone (0 for an empty text).
quint32 crc32Extend(quint32 crc, QByteArrayView data);

// The CRC of the last bytes of a text, from the CRC of the whole text and the CRC of the part in
// front of that tail; `shift` is crc32Shift(tail length). Costs the same whatever the length: a
// receiver that keeps the running CRC of its buffer checks any frame in it without reading the
// frame again.
quint32 crc32Shift(qint64 tailLength);
quint32 crc32OfTail(quint32 crcOfHead, quint32 crcOfWhole, quint32 shift);

} // namespace selvenor::protocol
