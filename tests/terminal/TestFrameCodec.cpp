#include "terminal/Crc32.h"
#include "terminal/Frame.h"
#include "terminal/FrameDecoder.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace selvenor::protocol;

namespace {

Frame sampleFrame(int payloadSize = 5) {
    Frame f;
    f.reply = true;
    f.command = 0x21;
    f.result = 6;
    f.sequence = 0xBEEF;
    f.machine = -2;
    f.payload = QByteArray(payloadSize, 'x');
    return f;
}

FrameDecoder::Status feedAndTake(FrameDecoder& decoder, const QByteArray& bytes, Frame& out) {
    EXPECT_EQ(decoder.feed(bytes), bytes.size());
    return decoder.take(out);
}

} // namespace

TEST(Crc32, MatchesTheStandardCheckValue) {
    EXPECT_EQ(crc32(QByteArrayView("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc32(QByteArrayView()), 0u);
}

TEST(FrameCodec, EncodesTheDocumentedHeader) {
    const QByteArray bytes = encodeFrame(sampleFrame());
    ASSERT_EQ(bytes.size(), kHeaderSize + 5 + kCrcSize);
    EXPECT_EQ(quint8(bytes[0]), 0xA5);
    EXPECT_EQ(quint8(bytes[1]), 0x5A);
    EXPECT_EQ(quint8(bytes[2]), 1);
    EXPECT_EQ(quint8(bytes[3]), 0x80);
    EXPECT_EQ(quint8(bytes[4]), 0x21);
    EXPECT_EQ(quint8(bytes[5]), 6);
    EXPECT_EQ(qFromBigEndian<quint16>(bytes.constData() + 6), 0xBEEF);
    EXPECT_EQ(qFromBigEndian<quint32>(bytes.constData() + 8), 0xFFFFFFFEu);
    EXPECT_EQ(qFromBigEndian<quint16>(bytes.constData() + 12), 5);
    EXPECT_EQ(qFromBigEndian<quint32>(bytes.constData() + 19),
              crc32(QByteArrayView(bytes.constData(), 19)));
}

TEST(FrameCodec, RoundTripsAFrameFedByteByByte) {
    const Frame in = sampleFrame(300);
    const QByteArray bytes = encodeFrame(in);
    FrameDecoder decoder;
    Frame out;
    for (int i = 0; i < bytes.size() - 1; ++i) {
        decoder.feed(bytes.mid(i, 1));
        ASSERT_EQ(decoder.take(out), FrameDecoder::Status::NeedMore) << "at byte " << i;
    }
    decoder.feed(bytes.right(1));
    ASSERT_EQ(decoder.take(out), FrameDecoder::Status::Frame);
    EXPECT_TRUE(out.reply);
    EXPECT_EQ(out.command, in.command);
    EXPECT_EQ(out.result, in.result);
    EXPECT_EQ(out.sequence, in.sequence);
    EXPECT_EQ(out.machine, in.machine);
    EXPECT_EQ(out.payload, in.payload);
    EXPECT_EQ(decoder.buffered(), 0);
}

TEST(FrameDecoder, SkipsGarbageBeforeTheStartMarker) {
    FrameDecoder decoder;
    Frame out;
    const QByteArray bytes = QByteArray("\x00\x13\xA5garbage", 11) + encodeFrame(sampleFrame());
    ASSERT_EQ(feedAndTake(decoder, bytes, out), FrameDecoder::Status::Frame);
    EXPECT_EQ(out.sequence, 0xBEEF);
}

TEST(FrameDecoder, DropsAFrameWithABadCrcAndFindsTheNextOne) {
    QByteArray bad = encodeFrame(sampleFrame());
    bad[kHeaderSize + 2] = 'y';
    Frame good = sampleFrame();
    good.sequence = 7;
    FrameDecoder decoder;
    Frame out;
    ASSERT_EQ(feedAndTake(decoder, bad + encodeFrame(good), out), FrameDecoder::Status::Corrupt);
    ASSERT_EQ(decoder.take(out), FrameDecoder::Status::Frame);
    EXPECT_EQ(out.sequence, 7);
}

TEST(FrameDecoder, RejectsAnOversizedLengthWithoutWaitingForIt) {
    QByteArray header = encodeFrame(sampleFrame(0)).left(kHeaderSize);
    qToBigEndian<quint16>(quint16(kMaxPayloadSize + 1), header.data() + 12);
    FrameDecoder decoder;
    Frame out;
    EXPECT_EQ(feedAndTake(decoder, header, out), FrameDecoder::Status::Oversized);
    EXPECT_EQ(decoder.take(out), FrameDecoder::Status::NeedMore);
    EXPECT_LT(decoder.buffered(), kHeaderSize);
}

TEST(FrameDecoder, AcceptsTheLargestPayload) {
    const Frame in = sampleFrame(kMaxPayloadSize);
    const QByteArray bytes = encodeFrame(in);
    EXPECT_EQ(bytes.size(), kMaxFrameSize);
    FrameDecoder decoder;
    Frame out;
    ASSERT_EQ(feedAndTake(decoder, bytes, out), FrameDecoder::Status::Frame);
    EXPECT_EQ(out.payload.size(), kMaxPayloadSize);
}

TEST(FrameDecoder, NeverBuffersMoreThanItsCapacity) {
    FrameDecoder decoder;
    const QByteArray flood(3 * FrameDecoder::kBufferCapacity, '\xA5');
    EXPECT_EQ(decoder.feed(flood), FrameDecoder::kBufferCapacity);
    EXPECT_EQ(decoder.room(), 0);
    Frame out;
    while (decoder.take(out) != FrameDecoder::Status::NeedMore) {
    }
    EXPECT_LE(decoder.buffered(), kMaxFrameSize);
}

TEST(FrameDecoder, ATruncatedFrameStaysIncomplete) {
    const QByteArray bytes = encodeFrame(sampleFrame(40));
    FrameDecoder decoder;
    Frame out;
    EXPECT_EQ(feedAndTake(decoder, bytes.left(bytes.size() - 3), out),
              FrameDecoder::Status::NeedMore);
}
