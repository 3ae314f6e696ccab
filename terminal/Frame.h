#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace selvenor::protocol {

// Layout of a frame on the wire (docs/protocol.md, "Framing"). Multi-byte integers are big-endian.
inline constexpr quint8 kStartMarker0 = 0xA5;
inline constexpr quint8 kStartMarker1 = 0x5A;
inline constexpr quint8 kProtocolVersion = 1;
inline constexpr quint8 kReplyFlag = 0x80;
inline constexpr int kHeaderSize = 14;
inline constexpr int kCrcSize = 4;
inline constexpr int kMaxFrameSize = 16384;
inline constexpr int kMaxPayloadSize = kMaxFrameSize - kHeaderSize - kCrcSize;

// One decoded frame: a request from the computer or a reply from the terminal.
struct Frame {
    quint8 version = kProtocolVersion;
    bool reply = false;
    quint8 command = 0;
    quint8 result = 0;
    quint16 sequence = 0;
    qint32 machine = 0;
    QByteArray payload;
};

// The whole frame, CRC included. The payload must not exceed kMaxPayloadSize.
QByteArray encodeFrame(const Frame& frame);

} // namespace selvenor::protocol
