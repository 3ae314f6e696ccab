#pragma once

#include "Frame.h"

#include <QByteArray>
#include <QByteArrayView>

#include <deque>
#include <functional>
#include <vector>

namespace selvenor::protocol {

// Cuts frames out of a byte stream. Bytes before a start marker are skipped; a header whose
// length exceeds the maximum frame and a frame whose CRC does not match are dropped, and the
// search for the next start marker begins one byte after the rejected marker. A frame begun
// but still incomplete when its time is up (500 ms from its first byte, plus the time its bytes
// take on a paced line) is dropped the same way, so a frame cut short cannot swallow the next
// one.
//
// The work is linear in the bytes received, however the stream is made: every byte is looked
// at once by the search for markers, and the CRC of a frame is taken from the running CRC of
// the buffer, not by reading the frame again for every marker inside a rejected one.
//
// The decoder never holds more than kBufferCapacity bytes: feed at most room() bytes, then take
// frames. A receiver that waits for bytes should wake up by msUntilExpiry() and call take().
class FrameDecoder {
public:
    static constexpr int kBufferCapacity = 2 * kMaxFrameSize;
    static constexpr int kPartialFrameTimeoutMs = 500;

    // Monotonic milliseconds; tests pass their own.
    using Clock = std::function<qint64()>;

    enum class Status {
        NeedMore,  // no complete frame buffered
        Frame,     // a frame was taken
        Oversized, // a header announced a payload above the maximum; dropped
        Corrupt,   // a frame failed its CRC; dropped
        Expired,   // a frame begun too long ago was still incomplete; dropped
    };

    explicit FrameDecoder(Clock clock = {});

    // A line paced by a baud rate carries this many bytes a second; 0 (the default) for a link
    // that is not paced. A long frame on a slow line is given the time its bytes take.
    void setLineBytesPerSecond(int bytesPerSecond) { m_bytesPerSecond = bytesPerSecond; }

    // How many bytes feed() accepts now.
    int room() const { return kBufferCapacity - buffered(); }
    // Appends bytes that arrived now; at most room() of them are kept, the rest is ignored
    // (returns the count kept).
    int feed(QByteArrayView bytes);
    // Takes the next complete frame, or reports why bytes were dropped.
    Status take(Frame& frame);
    // Milliseconds until the frame begun (not complete) expires, 0 when it has; -1 when no
    // frame is begun.
    qint64 msUntilExpiry() const;
    void clear();
    int buffered() const { return int(m_buffer.size() - m_start); }

private:
    bool findMarker();
    void advanceTo(qsizetype at);
    void dropFirstByte();
    bool expired(int frameSize) const;
    qint64 expiryOf(int frameSize) const;
    int announcedFrameSize() const;
    quint32 crcOf(qsizetype from, qsizetype to);
    void compact();

    Clock m_clock;
    int m_bytesPerSecond = 0;
    // Bytes [m_start, size) are live; m_prefixCrc[i] is the CRC of m_buffer[0, i) (of whatever
    // came before too, after a compaction: only differences between two entries are used).
    QByteArray m_buffer;
    qsizetype m_start = 0;
    std::vector<quint32> m_prefixCrc{0};
    // When each run of bytes arrived: the end of the run in m_buffer and the moment.
    struct Arrival {
        qsizetype end;
        qint64 atMs;
    };
    std::deque<Arrival> m_arrivals;
    // The CRC shift of the last frame length checked; a flood repeats one length.
    qint64 m_shiftLength = -1;
    quint32 m_shift = 0;
};

} // namespace selvenor::protocol
