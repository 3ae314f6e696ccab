#include "terminal/Crc32.h"
#include "terminal/Frame.h"
#include "terminal/FrameDecoder.h"

#include <QList>
#include <QRandomGenerator>
#include <QtEndian>

#include <algorithm>

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

namespace {

// A clock the test moves by hand.
struct ManualClock {
    qint64 now = 0;
    FrameDecoder::Clock clock() {
        return [this] { return now; };
    }
};

// Takes frames until the decoder needs more bytes; returns the sequence numbers of the frames.
QList<int> takeAll(FrameDecoder& decoder, int* dropped = nullptr) {
    QList<int> sequences;
    Frame out;
    for (;;) {
        const FrameDecoder::Status status = decoder.take(out);
        if (status == FrameDecoder::Status::NeedMore)
            return sequences;
        if (status == FrameDecoder::Status::Frame)
            sequences << out.sequence;
        else if (dropped)
            ++*dropped;
    }
}

// Feeds `bytes` in slices no larger than the decoder's room, taking frames in between.
QList<int> feedAll(FrameDecoder& decoder, const QByteArray& bytes, int* dropped = nullptr,
                   int slice = FrameDecoder::kBufferCapacity) {
    QList<int> sequences;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype size =
            std::min({qsizetype(slice), qsizetype(decoder.room()), bytes.size() - at});
        at += decoder.feed(QByteArrayView(bytes.constData() + at, size));
        sequences += takeAll(decoder, dropped);
    }
    return sequences;
}

QByteArray markerFlood(int bytes) {
    const QByteArray unit("\xA5\x5A\x00\x00\x00\x3F\xEE", 7);
    return unit.repeated(bytes / unit.size());
}

Frame numbered(int sequence, int payloadSize) {
    Frame f = sampleFrame(payloadSize);
    f.sequence = quint16(sequence);
    return f;
}

} // namespace

// Every marker of the flood announces the largest frame; each is dropped once the bytes of its
// frame are there, and what is left when the bytes stop is dropped when its time is up.
TEST(FrameDecoder, AMegabyteOfMarkersIsDroppedAndTheFrameBehindItFound) {
    ManualClock time;
    FrameDecoder decoder(time.clock());
    const QByteArray flood = markerFlood(1 << 20);
    int dropped = 0;
    EXPECT_TRUE(feedAll(decoder, flood + encodeFrame(numbered(9, 4)), &dropped).isEmpty());
    EXPECT_GT(dropped, (flood.size() - kMaxFrameSize) / 7 - 1);
    EXPECT_EQ(decoder.msUntilExpiry(), FrameDecoder::kPartialFrameTimeoutMs);

    time.now += FrameDecoder::kPartialFrameTimeoutMs;
    EXPECT_EQ(takeAll(decoder), QList<int>{9});
    EXPECT_EQ(decoder.buffered(), 0);
}

// A valid frame inside the bytes of a rejected one is found: the search goes on one byte after
// the rejected marker, however the stream is sliced and however long it runs.
TEST(FrameDecoder, FindsEveryValidFrameAmongCorruptOnesInAnySlicing) {
    QRandomGenerator random(20240501);
    QByteArray stream;
    QList<int> expected;
    for (int i = 1; i <= 400; ++i) {
        QByteArray garbage(random.bounded(40), '\0');
        for (char& c : garbage)
            c = char(random.bounded(0xA5)); // no marker byte
        Frame bad = numbered(60000 + i, random.bounded(2000));
        QByteArray corrupt = encodeFrame(bad);
        corrupt[corrupt.size() - 1] = char(corrupt.at(corrupt.size() - 1) ^ 1);
        // A corrupt frame that carries a valid one in its payload.
        Frame carrier = numbered(61000 + i, 0);
        carrier.payload = encodeFrame(numbered(i, random.bounded(30)));
        expected << i;
        QByteArray carried = encodeFrame(carrier);
        carried[carried.size() - 1] = char(carried.at(carried.size() - 1) ^ 1);
        const Frame good = numbered(1000 + i, random.bounded(3000));
        expected << 1000 + i;
        stream += garbage + corrupt + carried + encodeFrame(good);
    }
    for (int slice : {1, 7, 977, FrameDecoder::kBufferCapacity}) {
        FrameDecoder decoder;
        EXPECT_EQ(feedAll(decoder, stream, nullptr, slice), expected) << "slices of " << slice;
    }
}

TEST(FrameDecoder, ACutHeaderIsDroppedHalfASecondAfterItsFirstByte) {
    ManualClock time;
    FrameDecoder decoder(time.clock());
    QByteArray header = encodeFrame(sampleFrame(0)).left(kHeaderSize);
    qToBigEndian<quint16>(quint16(kMaxPayloadSize), header.data() + 12);
    decoder.feed(header);
    Frame out;
    EXPECT_EQ(decoder.take(out), FrameDecoder::Status::NeedMore);

    // Bytes that keep coming do not extend the deadline of the frame they belong to.
    for (int step = 0; step < 4; ++step) {
        time.now += 100;
        decoder.feed(QByteArray(10, 'x'));
        EXPECT_EQ(decoder.take(out), FrameDecoder::Status::NeedMore);
    }
    EXPECT_EQ(decoder.msUntilExpiry(), 100);
    time.now += 60;
    decoder.feed(encodeFrame(numbered(5, 3))); // swallowed as payload so far
    EXPECT_EQ(decoder.take(out), FrameDecoder::Status::NeedMore);
    time.now += 40;
    EXPECT_EQ(decoder.take(out), FrameDecoder::Status::Expired);
    ASSERT_EQ(decoder.take(out), FrameDecoder::Status::Frame);
    EXPECT_EQ(out.sequence, 5);
    EXPECT_EQ(decoder.msUntilExpiry(), -1);
}

TEST(FrameDecoder, ALongFrameOnASlowLineGetsTheTimeItsBytesTake) {
    ManualClock time;
    FrameDecoder decoder(time.clock());
    decoder.setLineBytesPerSecond(960); // 9600 baud
    const QByteArray bytes = encodeFrame(numbered(3, 1402));
    const int lineMs = int(bytes.size()) * 1000 / 960;
    Frame out;
    for (qsizetype at = 0; at + 96 < bytes.size(); at += 96) {
        decoder.feed(bytes.mid(at, 96));
        EXPECT_EQ(decoder.take(out), FrameDecoder::Status::NeedMore) << "at byte " << at;
        time.now += 100;
    }
    EXPECT_LT(time.now, lineMs + FrameDecoder::kPartialFrameTimeoutMs);
    decoder.feed(bytes.mid(bytes.size() / 96 * 96));
    ASSERT_EQ(decoder.take(out), FrameDecoder::Status::Frame);

    decoder.feed(bytes.left(100));
    time.now += lineMs + FrameDecoder::kPartialFrameTimeoutMs;
    EXPECT_EQ(decoder.take(out), FrameDecoder::Status::Expired);
}
