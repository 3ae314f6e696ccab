#include "FrameDecoder.h"

#include "Crc32.h"

#include <QtEndian>

namespace selvenor::protocol {

int FrameDecoder::feed(QByteArrayView bytes) {
    const int kept = int(qMin<qsizetype>(bytes.size(), room()));
    m_buffer.append(bytes.constData(), kept);
    return kept;
}

void FrameDecoder::skipToMarker() {
    qsizetype at = 0;
    while (at < m_buffer.size()) {
        if (quint8(m_buffer[at]) == kStartMarker0 &&
            (at + 1 == m_buffer.size() || quint8(m_buffer[at + 1]) == kStartMarker1))
            break;
        ++at;
    }
    m_buffer.remove(0, at);
}

FrameDecoder::Status FrameDecoder::take(Frame& frame) {
    skipToMarker();
    if (m_buffer.size() < kHeaderSize)
        return Status::NeedMore;
    const char* p = m_buffer.constData();
    const int payloadSize = qFromBigEndian<quint16>(p + 12);
    if (payloadSize > kMaxPayloadSize) {
        m_buffer.remove(0, 1);
        return Status::Oversized;
    }
    const int frameSize = kHeaderSize + payloadSize + kCrcSize;
    if (m_buffer.size() < frameSize)
        return Status::NeedMore;
    const int crcAt = kHeaderSize + payloadSize;
    if (qFromBigEndian<quint32>(p + crcAt) != crc32(QByteArrayView(p, crcAt))) {
        m_buffer.remove(0, 1);
        return Status::Corrupt;
    }
    frame.version = quint8(p[2]);
    frame.reply = (quint8(p[3]) & kReplyFlag) != 0;
    frame.command = quint8(p[4]);
    frame.result = quint8(p[5]);
    frame.sequence = qFromBigEndian<quint16>(p + 6);
    frame.machine = qint32(qFromBigEndian<quint32>(p + 8));
    frame.payload = m_buffer.mid(kHeaderSize, payloadSize);
    m_buffer.remove(0, frameSize);
    return Status::Frame;
}

} // namespace selvenor::protocol
