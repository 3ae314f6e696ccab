// The client's side: a byte stream from a terminal, cut into frames, and every payload decoder
// the control runs on a reply.
#include "terminal/Frame.h"
#include "terminal/FrameDecoder.h"
#include "terminal/Messages.h"

#include <cstddef>
#include <cstdint>

using namespace selvenor::protocol;

namespace {

void decodeEveryReplyPayload(const QByteArray& p) {
    HelloReply hello;
    decodeHelloReply(p, hello);
    LogBufferInfo info;
    decodeLogBufferInfo(p, info);
    LogChunk logs;
    decodeLogChunk(p, 0, logs);
    decodeLogChunk(p, 0xFFFFFFF0u, logs);
    UserChunk users;
    decodeUserChunk(p, users);
    EnrollItem item;
    decodeEnrollItem(p, item);
    ClockTime clock;
    decodeClock(p, clock, true);
    QString name;
    decodeName(p, name);
    quint32 count = 0;
    decodeU32(p, count);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    decodeEveryReplyPayload(bytes);

    FrameDecoder decoder;
    qsizetype at = 0;
    Frame frame;
    while (at < bytes.size()) {
        // Uneven slices, as a socket delivers them.
        const qsizetype slice = qMin<qsizetype>(decoder.room(), 1 + (at * 7919) % 977);
        at += decoder.feed(QByteArrayView(bytes.constData() + at, qMin(slice, bytes.size() - at)));
        while (decoder.take(frame) != FrameDecoder::Status::NeedMore)
            decodeEveryReplyPayload(frame.payload);
        if (decoder.buffered() > FrameDecoder::kBufferCapacity)
            __builtin_trap();
    }
    return 0;
}
