#include "FrameDecoder.h"

#include "Crc32.h"

#include <QtEndian>

#include <chrono>
#include <cstring>

namespace selvenor::protocol {

namespace {

qint64 steadyClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

FrameDecoder::FrameDecoder(Clock clock)
    : m_clock(clock ? std::move(clock) : Clock(steadyClockMs)) {}

int FrameDecoder::feed(QByteArrayView bytes) {
    const int kept = int(qMin<qsizetype>(bytes.size(), room()));
    if (kept <= 0)
        return 0;
    compact();
    const qsizetype from = m_buffer.size();
    m_buffer.append(bytes.constData(), kept);
    m_prefixCrc.resize(size_t(m_buffer.size()) + 1);
    quint32 crc = m_prefixCrc[size_t(from)];
    for (qsizetype i = from; i < m_buffer.size(); ++i) {
        crc = crc32Extend(crc, QByteArrayView(m_buffer.constData() + i, 1));
        m_prefixCrc[size_t(i) + 1] = crc;
    }
    m_arrivals.push_back({m_buffer.size(), m_clock()});
    return kept;
}

void FrameDecoder::clear() {
    m_buffer.clear();
    m_start = 0;
    m_prefixCrc.assign(1, 0);
    m_arrivals.clear();
}

// Moves the live bytes to the front once the bytes before them make up half the capacity, so
// every byte is moved a bounded number of times.
void FrameDecoder::compact() {
    if (m_start == 0 || (m_start < m_buffer.size() && m_start < kBufferCapacity / 2))
        return;
    m_buffer.remove(0, m_start);
    m_prefixCrc.erase(m_prefixCrc.begin(), m_prefixCrc.begin() + m_start);
    for (Arrival& arrival : m_arrivals)
        arrival.end -= m_start;
    m_start = 0;
}

void FrameDecoder::advanceTo(qsizetype at) {
    m_start = at;
    while (!m_arrivals.empty() && m_arrivals.front().end <= m_start)
        m_arrivals.pop_front();
}

// Skips to the next start marker (or a first marker byte that ends the buffer); false when the
// buffer holds none.
bool FrameDecoder::findMarker() {
    const char* bytes = m_buffer.constData();
    const qsizetype size = m_buffer.size();
    qsizetype at = m_start;
    while (at < size) {
        const void* hit = std::memchr(bytes + at, kStartMarker0, size_t(size - at));
        if (!hit) {
            at = size;
            break;
        }
        at = static_cast<const char*>(hit) - bytes;
        if (at + 1 == size || quint8(bytes[at + 1]) == kStartMarker1)
            break;
        ++at;
    }
    advanceTo(at);
    return at < size;
}

void FrameDecoder::dropFirstByte() {
    advanceTo(m_start + 1);
}

// The size of the frame begun: the announced one once the header is there.
int FrameDecoder::announcedFrameSize() const {
    if (buffered() < kHeaderSize)
        return kHeaderSize;
    const int payloadSize = qFromBigEndian<quint16>(m_buffer.constData() + m_start + 12);
    return kHeaderSize + qMin(payloadSize, kMaxPayloadSize) + kCrcSize;
}

qint64 FrameDecoder::expiryOf(int frameSize) const {
    const qint64 lineMs = m_bytesPerSecond > 0 ? qint64(frameSize) * 1000 / m_bytesPerSecond : 0;
    const qint64 firstByteAt = m_arrivals.empty() ? m_clock() : m_arrivals.front().atMs;
    return firstByteAt + kPartialFrameTimeoutMs + lineMs;
}

bool FrameDecoder::expired(int frameSize) const {
    return m_clock() >= expiryOf(frameSize);
}

qint64 FrameDecoder::msUntilExpiry() const {
    if (buffered() == 0)
        return -1;
    return qMax<qint64>(0, expiryOf(announcedFrameSize()) - m_clock());
}

quint32 FrameDecoder::crcOf(qsizetype from, qsizetype to) {
    if (to - from != m_shiftLength) {
        m_shiftLength = to - from;
        m_shift = crc32Shift(m_shiftLength);
    }
    return crc32OfTail(m_prefixCrc[size_t(from)], m_prefixCrc[size_t(to)], m_shift);
}

FrameDecoder::Status FrameDecoder::take(Frame& frame) {
    if (!findMarker())
        return Status::NeedMore;
    const qsizetype live = buffered();
    if (live < kHeaderSize) {
        if (!expired(kHeaderSize))
            return Status::NeedMore;
        dropFirstByte();
        return Status::Expired;
    }
    const char* p = m_buffer.constData() + m_start;
    const int payloadSize = qFromBigEndian<quint16>(p + 12);
    if (payloadSize > kMaxPayloadSize) {
        dropFirstByte();
        return Status::Oversized;
    }
    const int frameSize = kHeaderSize + payloadSize + kCrcSize;
    if (live < frameSize) {
        if (!expired(frameSize))
            return Status::NeedMore;
        dropFirstByte();
        return Status::Expired;
    }
    const int crcAt = kHeaderSize + payloadSize;
    if (qFromBigEndian<quint32>(p + crcAt) != crcOf(m_start, m_start + crcAt)) {
        dropFirstByte();
        return Status::Corrupt;
    }
    frame.version = quint8(p[2]);
    frame.reply = (quint8(p[3]) & kReplyFlag) != 0;
    frame.command = quint8(p[4]);
    frame.result = quint8(p[5]);
    frame.sequence = qFromBigEndian<quint16>(p + 6);
    frame.machine = qint32(qFromBigEndian<quint32>(p + 8));
    frame.payload = QByteArray(p + kHeaderSize, payloadSize);
    advanceTo(m_start + frameSize);
    return Status::Frame;
}

} // namespace selvenor::protocol
