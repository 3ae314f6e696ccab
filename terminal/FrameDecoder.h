#pragma once

#include "Frame.h"

#include <QByteArray>
#include <QByteArrayView>

namespace selvenor::protocol {

// Cuts frames out of a byte stream. Bytes before a start marker are skipped; a header whose
// length exceeds the maximum frame and a frame whose CRC does not match are dropped, and the
// search for the next start marker begins one byte after the rejected marker. The decoder
// never holds more than kBufferCapacity bytes: feed at most room() bytes, then take frames.
class FrameDecoder {
public:
    static constexpr int kBufferCapacity = 2 * kMaxFrameSize;

    enum class Status {
        NeedMore,  // no complete frame buffered
        Frame,     // a frame was taken
        Oversized, // a header announced a payload above the maximum; dropped
        Corrupt,   // a frame failed its CRC; dropped
    };

    // How many bytes feed() accepts now.
    int room() const { return kBufferCapacity - int(m_buffer.size()); }
    // Appends bytes; at most room() of them are kept, the rest is ignored (returns the count kept).
    int feed(QByteArrayView bytes);
    // Takes the next complete frame, or reports why bytes were dropped.
    Status take(Frame& frame);
    void clear() { m_buffer.clear(); }
    int buffered() const { return int(m_buffer.size()); }

private:
    void skipToMarker();

    QByteArray m_buffer;
};

} // namespace selvenor::protocol
