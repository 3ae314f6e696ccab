#include "Frame.h"
#include "Crc32.h"

#include <QtEndian>

#include <cstring>

namespace selvenor::protocol {

QByteArray encodeFrame(const Frame& frame) {
    Q_ASSERT(frame.payload.size() <= kMaxPayloadSize);
    const int payloadSize = int(frame.payload.size());
    QByteArray bytes(kHeaderSize + payloadSize + kCrcSize, '\0');
    char* p = bytes.data();
    p[0] = char(kStartMarker0);
    p[1] = char(kStartMarker1);
    p[2] = char(frame.version);
    p[3] = char(frame.reply ? kReplyFlag : 0);
    p[4] = char(frame.command);
    p[5] = char(frame.result);
    qToBigEndian<quint16>(frame.sequence, p + 6);
    qToBigEndian<quint32>(quint32(frame.machine), p + 8);
    qToBigEndian<quint16>(quint16(payloadSize), p + 12);
    if (payloadSize > 0)
        std::memcpy(p + kHeaderSize, frame.payload.constData(), size_t(payloadSize));
    const int crcAt = kHeaderSize + payloadSize;
    qToBigEndian<quint32>(crc32(QByteArrayView(p, crcAt)), p + crcAt);
    return bytes;
}

} // namespace selvenor::protocol
