#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVector>
#include <QtGlobal>

// Payloads of the protocol's commands (docs/protocol.md, "Commands"), encoded and decoded in one
// place for the control and the simulator. Every decode function returns false for a payload
// that is short, too long or out of range, and then leaves nothing half-filled that matters.
namespace selvenor::protocol {

inline constexpr int kNonceSize = 16;
inline constexpr int kAuthResponseSize = 32;
inline constexpr int kTemplateSize = 355;
inline constexpr int kMaxChunkRecords = 1024;
inline constexpr int kMaxNameBytes = 255;
inline constexpr quint8 kPasswordRequired = 0x01;
inline constexpr int kMaxSerialLength = 32;

enum class LogMode : quint8 { Unread = 0, All = 1 };

// Enroll number, enrolment machine number, backup number.
struct EnrollKey {
    qint32 enroll = 0;
    qint32 eMachine = 0;
    quint8 backup = 0;
    friend bool operator==(const EnrollKey&, const EnrollKey&) = default;
    friend auto operator<=>(const EnrollKey&, const EnrollKey&) = default;
};

struct LogRecord {
    quint32 sequence = 0;
    qint32 enroll = 0;
    qint32 verify = 0;
    quint16 year = 0;
    quint8 month = 0, day = 0, hour = 0, minute = 0;
};

struct UserEntry {
    EnrollKey key;
    quint8 privilege = 0;
    bool enabled = true;
};

// One enrolment item: a template (data holds 355 elements) or a password / card value.
struct EnrollItem {
    quint8 privilege = 0;
    bool enabled = true;
    qint32 value = 0;
    QVector<qint32> data;
};

struct ClockTime {
    quint16 year = 0;
    quint8 month = 0, day = 0, hour = 0, minute = 0, second = 0;
    quint8 dayOfWeek = 0; // 1 Monday .. 7 Sunday; only in replies
};

// A terminal says who it is in every Hello reply: `serial` never changes for a unit, and
// `logGeneration` changes whenever the unit's numbering of attendance records starts over.
struct HelloReply {
    quint8 flags = 0;
    QByteArray nonce;
    QString serial;
    quint32 logGeneration = 0;
};

struct LogBufferInfo {
    quint32 count = 0;
    quint32 upto = 0;
};

struct LogQuery {
    LogMode mode = LogMode::Unread;
    quint32 after = 0;
    quint32 upto = 0;
    quint16 max = 0;
};

struct LogChunk {
    bool more = false;
    QList<LogRecord> records;
};

struct UserQuery {
    bool hasAfter = false;
    EnrollKey after;
    quint16 max = 0;
};

struct UserChunk {
    bool more = false;
    QList<UserEntry> entries;
};

// Wire size of one log record whose sequence number lies `delta` above the one before it.
int logRecordSize(quint32 delta);
inline constexpr int kUserEntrySize = 11;
inline constexpr int kChunkHeaderSize = 3;

// The answer to a challenge: HMAC-SHA256 of the nonce, keyed with the password's decimal text.
QByteArray authResponse(qint32 password, const QByteArray& nonce);

QByteArray encodeHelloReply(const HelloReply& r);
// Also false for a serial that is not 1 to kMaxSerialLength printable ASCII characters, and for
// a log generation of 0.
bool decodeHelloReply(const QByteArray& p, HelloReply& r);
// A serial number as the protocol carries it: 1 to kMaxSerialLength characters from '!' to '~'.
bool isValidSerial(const QString& serial);

QByteArray encodeFlag(bool flag);
bool decodeFlag(const QByteArray& p, bool& flag);
QByteArray encodeU32(quint32 v);
bool decodeU32(const QByteArray& p, quint32& v);
QByteArray encodeMode(LogMode mode);
bool decodeMode(const QByteArray& p, LogMode& mode);

// The clock fields of a date and time, day of the week included.
ClockTime clockTimeOf(const QDateTime& when);
QByteArray encodeClock(const ClockTime& t, bool withDayOfWeek);
bool decodeClock(const QByteArray& p, ClockTime& t, bool withDayOfWeek);

QByteArray encodeLogBufferInfo(const LogBufferInfo& i);
bool decodeLogBufferInfo(const QByteArray& p, LogBufferInfo& i);
QByteArray encodeLogQuery(const LogQuery& q);
bool decodeLogQuery(const QByteArray& p, LogQuery& q);
// Records must ascend by sequence, all above `after`.
QByteArray encodeLogChunk(const LogChunk& c, quint32 after);
bool decodeLogChunk(const QByteArray& p, quint32 after, LogChunk& c);

QByteArray encodeUserQuery(const UserQuery& q);
bool decodeUserQuery(const QByteArray& p, UserQuery& q);
QByteArray encodeUserChunk(const UserChunk& c);
bool decodeUserChunk(const QByteArray& p, UserChunk& c);

QByteArray encodeKey(const EnrollKey& k);
bool decodeKey(const QByteArray& p, EnrollKey& k);
// A key followed by one byte (privilege or enable flag).
QByteArray encodeKeyAndByte(const EnrollKey& k, quint8 b);
bool decodeKeyAndByte(const QByteArray& p, EnrollKey& k, quint8& b);

QByteArray encodeEnrollItem(const EnrollItem& item);
bool decodeEnrollItem(const QByteArray& p, EnrollItem& item);
QByteArray encodeSetEnroll(const EnrollKey& k, const EnrollItem& item);
bool decodeSetEnroll(const QByteArray& p, EnrollKey& k, EnrollItem& item);

QByteArray encodeEnroll(qint32 enroll);
bool decodeEnroll(const QByteArray& p, qint32& enroll);
QByteArray encodeName(const QString& name);
bool decodeName(const QByteArray& p, QString& name);
QByteArray encodeSetName(qint32 enroll, const QString& name);
bool decodeSetName(const QByteArray& p, qint32& enroll, QString& name);
// A name whose UTF-8 form fits the protocol.
bool nameFits(const QString& name);

} // namespace selvenor::protocol
