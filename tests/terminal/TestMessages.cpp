#include "terminal/Messages.h"
#include "terminal/PayloadWriter.h"

#include <gtest/gtest.h>

using namespace selvenor::protocol;

namespace {

LogRecord record(quint32 sequence, qint32 enroll) {
    LogRecord r;
    r.sequence = sequence;
    r.enroll = enroll;
    r.verify = -1;
    r.year = 2012;
    r.month = 3;
    r.day = 5;
    r.hour = 8;
    r.minute = 7;
    return r;
}

} // namespace

TEST(Messages, LogChunkCarriesSequenceNumbersAsGaps) {
    LogChunk in;
    in.more = true;
    in.records = {record(11, 1), record(12, 2), record(500, 3)};
    const QByteArray bytes = encodeLogChunk(in, 10);
    // 3 header bytes; gaps 1, 1 and 488 take 1, 1 and 2 bytes; 14 bytes of values each.
    EXPECT_EQ(bytes.size(), 3 + 15 + 15 + 16);
    LogChunk out;
    ASSERT_TRUE(decodeLogChunk(bytes, 10, out));
    ASSERT_EQ(out.records.size(), 3);
    EXPECT_TRUE(out.more);
    EXPECT_EQ(out.records[0].sequence, 11u);
    EXPECT_EQ(out.records[2].sequence, 500u);
    EXPECT_EQ(out.records[2].enroll, 3);
    EXPECT_EQ(out.records[1].verify, -1);
    EXPECT_EQ(out.records[0].year, 2012);
    EXPECT_EQ(out.records[0].minute, 7);
}

TEST(Messages, LogChunkWithACountBeyondItsBytesIsRejected) {
    QByteArray bytes = encodeLogChunk(LogChunk{false, {record(1, 1)}}, 0);
    bytes[2] = char(200); // claims 200 records
    LogChunk out;
    EXPECT_FALSE(decodeLogChunk(bytes, 0, out));
    EXPECT_TRUE(out.records.isEmpty());
}

TEST(Messages, LogChunkWithAZeroGapOrAWrapIsRejected) {
    LogChunk out;
    QByteArray zeroGap = encodeLogChunk(LogChunk{false, {record(5, 1)}}, 0);
    zeroGap[3] = 0;
    EXPECT_FALSE(decodeLogChunk(zeroGap, 0, out));
    const QByteArray wraps = encodeLogChunk(LogChunk{false, {record(4, 1)}}, 0);
    EXPECT_FALSE(decodeLogChunk(wraps, 0xFFFFFFFFu, out));
}

TEST(Messages, VarintLongerThan32BitsIsRejected) {
    PayloadWriter w;
    w.u8(0).u16(1);
    for (int i = 0; i < 5; ++i)
        w.u8(0xFF);
    w.bytes(QByteArray(14, '\0'));
    LogChunk out;
    EXPECT_FALSE(decodeLogChunk(w.data(), 0, out));
}

TEST(Messages, UserChunkRoundTripsAndRejectsTrailingBytes) {
    UserChunk in;
    in.entries = {UserEntry{{42, 1, 10}, 2, false}, UserEntry{{43, 1, 0}, 0, true}};
    const QByteArray bytes = encodeUserChunk(in);
    UserChunk out;
    ASSERT_TRUE(decodeUserChunk(bytes, out));
    ASSERT_EQ(out.entries.size(), 2);
    EXPECT_EQ(out.entries[0].key, (EnrollKey{42, 1, 10}));
    EXPECT_EQ(out.entries[0].privilege, 2);
    EXPECT_FALSE(out.entries[0].enabled);
    EXPECT_FALSE(decodeUserChunk(bytes + 'x', out));
}

TEST(Messages, EnrollItemNeedsNoneOr355Elements) {
    EnrollItem item;
    item.data = QVector<qint32>(kTemplateSize, -7);
    EnrollItem out;
    ASSERT_TRUE(decodeEnrollItem(encodeEnrollItem(item), out));
    EXPECT_EQ(out.data, item.data);
    item.data.resize(354);
    EXPECT_FALSE(decodeEnrollItem(encodeEnrollItem(item), out));
}

TEST(Messages, ClockOutOfRangeIsRejected) {
    ClockTime t{2012, 3, 7, 9, 5, 0, 3};
    ClockTime out;
    ASSERT_TRUE(decodeClock(encodeClock(t, true), out, true));
    EXPECT_EQ(out.day, 7);
    t.month = 13;
    EXPECT_FALSE(decodeClock(encodeClock(t, true), out, true));
}

TEST(Messages, NamesTravelAsUtf8AndInvalidUtf8IsRejected) {
    QString out;
    ASSERT_TRUE(decodeName(encodeName(QStringLiteral("Ayşe Yılmaz")), out));
    EXPECT_EQ(out, QStringLiteral("Ayşe Yılmaz"));
    const QByteArray invalid("\x02\xC3\x28", 3);
    EXPECT_FALSE(decodeName(invalid, out));
    EXPECT_FALSE(nameFits(QString(256, 'a')));
    EXPECT_TRUE(nameFits(QString(255, 'a')));
}

TEST(Messages, AuthResponseIsHmacSha256OfTheNonce) {
    const QByteArray nonce(kNonceSize, '\x01');
    EXPECT_EQ(authResponse(1234, nonce).size(), kAuthResponseSize);
    EXPECT_NE(authResponse(1234, nonce), authResponse(1235, nonce));
    EXPECT_EQ(authResponse(0, QByteArray()).toHex(),
              QByteArray("7ee63503c8fd03ddf6f3cefd998f4aaf56329811f10b779043e8d05cb0e76de5"))
        << authResponse(0, QByteArray()).toHex().constData();
}

TEST(Messages, HelloReplyCarriesTheTerminalsIdentity) {
    const HelloReply in{kPasswordRequired, QByteArray(kNonceSize, '\x07'),
                        QStringLiteral("SIM-0A1B2C3D4E5F"), 0xDEADBEEF};
    HelloReply out;
    ASSERT_TRUE(decodeHelloReply(encodeHelloReply(in), out));
    EXPECT_EQ(out.flags, kPasswordRequired);
    EXPECT_EQ(out.nonce, in.nonce);
    EXPECT_EQ(out.serial, in.serial);
    EXPECT_EQ(out.logGeneration, 0xDEADBEEFu);
    EXPECT_FALSE(decodeHelloReply(encodeHelloReply(in) + 'x', out)) << "trailing byte";
    EXPECT_FALSE(decodeHelloReply(encodeHelloReply(in).chopped(1), out)) << "short";

    HelloReply bad = in;
    bad.logGeneration = 0;
    EXPECT_FALSE(decodeHelloReply(encodeHelloReply(bad), out)) << "generation 0 means none";
    for (const QString& serial : {QString(), QStringLiteral("A B"), QStringLiteral("Şube-1"),
                                  QString(kMaxSerialLength + 1, 'A')}) {
        bad = in;
        bad.serial = serial;
        EXPECT_FALSE(decodeHelloReply(encodeHelloReply(bad), out)) << serial.toStdString();
    }
    bad.serial = QString(kMaxSerialLength, '~');
    EXPECT_TRUE(decodeHelloReply(encodeHelloReply(bad), out));
}
