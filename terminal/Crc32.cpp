#include "Crc32.h"

#include <zlib.h>

namespace selvenor::protocol {

quint32 crc32(QByteArrayView data) {
    return crc32Extend(0, data);
}

quint32 crc32Extend(quint32 crc, QByteArrayView data) {
    return quint32(
        ::crc32_z(crc, reinterpret_cast<const Bytef*>(data.data()), size_t(data.size())));
}

quint32 crc32Shift(qint64 tailLength) {
    return quint32(::crc32_combine_gen(z_off_t(tailLength)));
}

quint32 crc32OfTail(quint32 crcOfHead, quint32 crcOfWhole, quint32 shift) {
    // zlib combines CRC(head) and CRC(tail) into CRC(head + tail) as shift(CRC(head)) ^ CRC(tail);
    // the same step undoes it.
    return quint32(::crc32_combine_op(crcOfHead, crcOfWhole, shift));
}

} // namespace selvenor::protocol
