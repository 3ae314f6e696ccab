#include "Messages.h"

#include "PayloadReader.h"
#include "PayloadWriter.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

#include <algorithm>

namespace selvenor::protocol {

namespace {

void writeKey(PayloadWriter& w, const EnrollKey& k) {
    w.i32(k.enroll).i32(k.eMachine).u8(k.backup);
}

EnrollKey readKey(PayloadReader& r) {
    EnrollKey k;
    k.enroll = r.i32();
    k.eMachine = r.i32();
    k.backup = r.u8();
    return k;
}

bool readBool(PayloadReader& r) {
    const quint8 b = r.u8();
    if (b > 1)
        r.fail();
    return b == 1;
}

void writeItemBody(PayloadWriter& w, const EnrollItem& item) {
    w.u8(item.privilege).u8(item.enabled ? 1 : 0).i32(item.value).u16(quint16(item.data.size()));
    for (qint32 v : item.data)
        w.i32(v);
}

void readItemBody(PayloadReader& r, EnrollItem& item) {
    item.privilege = r.u8();
    item.enabled = readBool(r);
    item.value = r.i32();
    const int count = r.u16();
    if (count != 0 && count != kTemplateSize) {
        r.fail();
        return;
    }
    item.data.resize(count);
    for (int i = 0; i < count && r.ok(); ++i)
        item.data[i] = r.i32();
}

bool clockInRange(const ClockTime& t, bool withDayOfWeek) {
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 &&
           t.minute <= 59 && t.second <= 59 &&
           (!withDayOfWeek || (t.dayOfWeek >= 1 && t.dayOfWeek <= 7));
}

QString readName(PayloadReader& r) {
    const int length = r.u8();
    const QByteArray utf8 = r.bytes(length);
    const QString name = QString::fromUtf8(utf8);
    if (name.toUtf8() != utf8)
        r.fail(); // not valid UTF-8
    return name;
}

} // namespace

int logRecordSize(quint32 delta) {
    int varintBytes = 1;
    while (delta >= 0x80) {
        delta >>= 7;
        ++varintBytes;
    }
    return varintBytes + 14;
}

QByteArray authResponse(qint32 password, const QByteArray& nonce) {
    return QMessageAuthenticationCode::hash(nonce, QByteArray::number(password),
                                            QCryptographicHash::Sha256);
}

bool isValidSerial(const QString& serial) {
    if (serial.isEmpty() || serial.size() > kMaxSerialLength)
        return false;
    return std::all_of(serial.begin(), serial.end(),
                       [](QChar c) { return c.unicode() >= '!' && c.unicode() <= '~'; });
}

QByteArray encodeHelloReply(const HelloReply& h) {
    return PayloadWriter()
        .u8(h.flags)
        .bytes(h.nonce)
        .bytes(encodeName(h.serial))
        .u32(h.logGeneration)
        .data();
}

bool decodeHelloReply(const QByteArray& p, HelloReply& h) {
    PayloadReader r(p);
    h.flags = r.u8();
    h.nonce = r.bytes(kNonceSize);
    h.serial = readName(r);
    h.logGeneration = r.u32();
    return r.complete() && isValidSerial(h.serial) && h.logGeneration != 0;
}

QByteArray encodeFlag(bool flag) {
    return PayloadWriter().u8(flag ? 1 : 0).data();
}

bool decodeFlag(const QByteArray& p, bool& flag) {
    PayloadReader r(p);
    flag = readBool(r);
    return r.complete();
}

QByteArray encodeU32(quint32 v) {
    return PayloadWriter().u32(v).data();
}

bool decodeU32(const QByteArray& p, quint32& v) {
    PayloadReader r(p);
    v = r.u32();
    return r.complete();
}

QByteArray encodeMode(LogMode mode) {
    return PayloadWriter().u8(quint8(mode)).data();
}

bool decodeMode(const QByteArray& p, LogMode& mode) {
    PayloadReader r(p);
    const quint8 m = r.u8();
    mode = LogMode(m);
    return r.complete() && m <= 1;
}

ClockTime clockTimeOf(const QDateTime& when) {
    ClockTime t;
    t.year = quint16(when.date().year());
    t.month = quint8(when.date().month());
    t.day = quint8(when.date().day());
    t.hour = quint8(when.time().hour());
    t.minute = quint8(when.time().minute());
    t.second = quint8(when.time().second());
    t.dayOfWeek = quint8(when.date().dayOfWeek());
    return t;
}

QByteArray encodeClock(const ClockTime& t, bool withDayOfWeek) {
    PayloadWriter w;
    w.u16(t.year).u8(t.month).u8(t.day).u8(t.hour).u8(t.minute).u8(t.second);
    if (withDayOfWeek)
        w.u8(t.dayOfWeek);
    return w.data();
}

bool decodeClock(const QByteArray& p, ClockTime& t, bool withDayOfWeek) {
    PayloadReader r(p);
    t.year = r.u16();
    t.month = r.u8();
    t.day = r.u8();
    t.hour = r.u8();
    t.minute = r.u8();
    t.second = r.u8();
    t.dayOfWeek = withDayOfWeek ? r.u8() : 0;
    return r.complete() && clockInRange(t, withDayOfWeek);
}

QByteArray encodeLogBufferInfo(const LogBufferInfo& i) {
    return PayloadWriter().u32(i.count).u32(i.upto).data();
}

bool decodeLogBufferInfo(const QByteArray& p, LogBufferInfo& i) {
    PayloadReader r(p);
    i.count = r.u32();
    i.upto = r.u32();
    return r.complete();
}

QByteArray encodeLogQuery(const LogQuery& q) {
    return PayloadWriter().u8(quint8(q.mode)).u32(q.after).u32(q.upto).u16(q.max).data();
}

bool decodeLogQuery(const QByteArray& p, LogQuery& q) {
    PayloadReader r(p);
    const quint8 mode = r.u8();
    q.mode = LogMode(mode);
    q.after = r.u32();
    q.upto = r.u32();
    q.max = r.u16();
    return r.complete() && mode <= 1 && q.max >= 1 && q.max <= kMaxChunkRecords;
}

QByteArray encodeLogChunk(const LogChunk& c, quint32 after) {
    PayloadWriter w;
    w.u8(c.more ? 1 : 0).u16(quint16(c.records.size()));
    quint32 previous = after;
    for (const LogRecord& rec : c.records) {
        w.varint(rec.sequence - previous).i32(rec.enroll).i32(rec.verify);
        w.u16(rec.year).u8(rec.month).u8(rec.day).u8(rec.hour).u8(rec.minute);
        previous = rec.sequence;
    }
    return w.data();
}

bool decodeLogChunk(const QByteArray& p, quint32 after, LogChunk& c) {
    PayloadReader r(p);
    c.more = readBool(r);
    const int count = r.u16();
    // Each record takes at least 15 bytes: a count the payload cannot hold is rejected before
    // anything is reserved for it.
    if (!r.ok() || count > kMaxChunkRecords || count * logRecordSize(0) > r.remaining())
        return false;
    c.records.clear();
    c.records.reserve(count);
    quint32 previous = after;
    for (int i = 0; i < count && r.ok(); ++i) {
        LogRecord rec;
        const quint32 delta = r.varint();
        if (delta == 0 || previous + delta < previous) {
            r.fail(); // sequence numbers ascend strictly and do not wrap
            break;
        }
        rec.sequence = previous + delta;
        rec.enroll = r.i32();
        rec.verify = r.i32();
        rec.year = r.u16();
        rec.month = r.u8();
        rec.day = r.u8();
        rec.hour = r.u8();
        rec.minute = r.u8();
        previous = rec.sequence;
        c.records.append(rec);
    }
    return r.complete() && (count > 0 || !c.more);
}

QByteArray encodeUserQuery(const UserQuery& q) {
    PayloadWriter w;
    w.u8(q.hasAfter ? 1 : 0);
    writeKey(w, q.after);
    w.u16(q.max);
    return w.data();
}

bool decodeUserQuery(const QByteArray& p, UserQuery& q) {
    PayloadReader r(p);
    q.hasAfter = readBool(r);
    q.after = readKey(r);
    q.max = r.u16();
    return r.complete() && q.max >= 1 && q.max <= kMaxChunkRecords;
}

QByteArray encodeUserChunk(const UserChunk& c) {
    PayloadWriter w;
    w.u8(c.more ? 1 : 0).u16(quint16(c.entries.size()));
    for (const UserEntry& e : c.entries) {
        writeKey(w, e.key);
        w.u8(e.privilege).u8(e.enabled ? 1 : 0);
    }
    return w.data();
}

bool decodeUserChunk(const QByteArray& p, UserChunk& c) {
    PayloadReader r(p);
    c.more = readBool(r);
    const int count = r.u16();
    if (!r.ok() || count > kMaxChunkRecords || count * kUserEntrySize != r.remaining())
        return false;
    c.entries.clear();
    c.entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        UserEntry e;
        e.key = readKey(r);
        e.privilege = r.u8();
        e.enabled = readBool(r);
        c.entries.append(e);
    }
    return r.complete() && (count > 0 || !c.more);
}

QByteArray encodeKey(const EnrollKey& k) {
    PayloadWriter w;
    writeKey(w, k);
    return w.data();
}

bool decodeKey(const QByteArray& p, EnrollKey& k) {
    PayloadReader r(p);
    k = readKey(r);
    return r.complete();
}

QByteArray encodeKeyAndByte(const EnrollKey& k, quint8 b) {
    PayloadWriter w;
    writeKey(w, k);
    w.u8(b);
    return w.data();
}

bool decodeKeyAndByte(const QByteArray& p, EnrollKey& k, quint8& b) {
    PayloadReader r(p);
    k = readKey(r);
    b = r.u8();
    return r.complete();
}

QByteArray encodeEnrollItem(const EnrollItem& item) {
    PayloadWriter w;
    writeItemBody(w, item);
    return w.data();
}

bool decodeEnrollItem(const QByteArray& p, EnrollItem& item) {
    PayloadReader r(p);
    readItemBody(r, item);
    return r.complete();
}

QByteArray encodeSetEnroll(const EnrollKey& k, const EnrollItem& item) {
    PayloadWriter w;
    writeKey(w, k);
    writeItemBody(w, item);
    return w.data();
}

bool decodeSetEnroll(const QByteArray& p, EnrollKey& k, EnrollItem& item) {
    PayloadReader r(p);
    k = readKey(r);
    readItemBody(r, item);
    return r.complete();
}

QByteArray encodeEnroll(qint32 enroll) {
    return PayloadWriter().i32(enroll).data();
}

bool decodeEnroll(const QByteArray& p, qint32& enroll) {
    PayloadReader r(p);
    enroll = r.i32();
    return r.complete();
}

bool nameFits(const QString& name) {
    return name.toUtf8().size() <= kMaxNameBytes;
}

QByteArray encodeName(const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    return PayloadWriter().u8(quint8(utf8.size())).bytes(utf8).data();
}

bool decodeName(const QByteArray& p, QString& name) {
    PayloadReader r(p);
    name = readName(r);
    return r.complete();
}

QByteArray encodeSetName(qint32 enroll, const QString& name) {
    return PayloadWriter().i32(enroll).bytes(encodeName(name)).data();
}

bool decodeSetName(const QByteArray& p, qint32& enroll, QString& name) {
    PayloadReader r(p);
    enroll = r.i32();
    name = readName(r);
    return r.complete();
}

} // namespace selvenor::protocol
