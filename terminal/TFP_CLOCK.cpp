#include "TFP_CLOCK.h"

#include "ChunkedWalk.h"
#include "Messages.h"
#include "RequestChannel.h"
#include "ResultCode.h"
#include "SerialLink.h"
#include "TcpLink.h"
#include "WaitingHook.h"

#include <QDateTime>

#include <optional>

namespace selvenor {

using namespace protocol;

namespace {

constexpr int kDefaultTimeoutMs = 3000;
constexpr int kSmallReply = 64;

int timeoutFromEnvironment() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("SELVENOR_TERMINAL_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? ms : kDefaultTimeoutMs;
}

bool fitsByte(int value) {
    return value >= 0 && value <= 255;
}

void handOut(const LogRecord& r, int machine, int& tMachine, int& enrollNumber, int& eMachine,
             int& verify, int& year, int& month, int& day, int& hour, int& minute) {
    tMachine = eMachine = machine;
    enrollNumber = r.enroll;
    verify = r.verify;
    year = r.year;
    month = r.month;
    day = r.day;
    hour = r.hour;
    minute = r.minute;
}

} // namespace

struct TFP_CLOCK::Private {
    enum class LinkKind { Tcp, Serial, Usb };

    int commPort = 1;
    bool readMark = true;
    int baudrate = 115200;
    LinkKind kind = LinkKind::Usb;
    QString address;
    int port = 0;
    int password = 0;
    int timeoutMs = timeoutFromEnvironment();

    std::unique_ptr<TerminalLink> link;
    RequestChannel channel;
    WaitingHook waitingHook;
    int lastError = SUCCESS;
    quint64 sentBefore = 0;
    quint64 receivedBefore = 0;

    ChunkedWalk<LogRecord> unreadWalk;
    LogMode unreadMode = LogMode::Unread;
    quint32 unreadUpto = 0;
    ChunkedWalk<LogRecord> allWalk;
    quint32 allUpto = 0;
    quint32 lastSequence = 0;
    ChunkedWalk<UserEntry> userWalk;
    HelloReply identity; // of the open session; serial and generation only

    // The session the caller opened and has not closed. An operation that finds it gone opens
    // a new one with the same settings, to the same unit, and disables the terminal again if
    // the lost session had disabled it.
    bool sessionWanted = false;
    int sessionMachine = 0;
    HelloReply sessionIdentity;
    bool terminalDisabled = false; // SetTerminalEnabled(false) worked, no true since

    // The end of the operation under way; requests and re-opens inside it share it.
    QDeadlineTimer operationEnd;
    int operationDepth = 0;
    class Operation {
    public:
        explicit Operation(Private& d)
            : m_d(d) {
            if (m_d.operationDepth++ == 0)
                m_d.operationEnd = QDeadlineTimer(TFP_CLOCK::kOperationLimitMs);
        }
        ~Operation() { --m_d.operationDepth; }
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        Private& m_d;
    };

    bool fail(int code) {
        lastError = code;
        return false;
    }

    std::unique_ptr<TerminalLink> makeLink() {
        std::unique_ptr<TerminalLink> made = makeLinkOfKind();
        made->setWaitingHook(&waitingHook);
        return made;
    }

    std::unique_ptr<TerminalLink> makeLinkOfKind() const {
        switch (kind) {
        case LinkKind::Tcp:
            return std::make_unique<TcpLink>(address, port);
        case LinkKind::Serial:
            return std::make_unique<SerialLink>(SerialLink::comDevice(commPort), baudrate, true);
        case LinkKind::Usb:
            break;
        }
        return std::make_unique<SerialLink>(SerialLink::usbDevice(), baudrate, false);
    }

    // A request or a new link from inside the waiting hook would pull the link from under the
    // exchange that waits.
    bool busyWaiting() {
        if (!waitingHook.running())
            return false;
        fail(ERR_MULTIUSER);
        return true;
    }

    void dropLink() {
        if (link) {
            sentBefore += link->bytesSent();
            receivedBefore += link->bytesReceived();
            link->close();
        }
        link.reset();
        identity = HelloReply();
        channel.attach(nullptr);
        unreadWalk.breakOff();
        allWalk.breakOff();
        userWalk.breakOff();
    }

    // One operation's request. A session that is gone when it starts, or that the terminal says
    // is not open (so it carried nothing out), is opened again once and the request repeated.
    bool call(Command command, int machine, const QByteArray& payload, QByteArray* replyPayload,
              int expectedReplyBytes = kSmallReply) {
        if (busyWaiting())
            return false;
        const Operation operation(*this);
        const bool lost = sessionWanted && (!link || !link->stillOpen());
        if (lost && !reopen(command))
            return false;
        if (request(command, machine, payload, replyPayload, expectedReplyBytes))
            return true;
        if (lost || lastError != ERR_NOT_OPEN || !sessionWanted)
            return false;
        return reopen(command) &&
               request(command, machine, payload, replyPayload, expectedReplyBytes);
    }

    bool reopen(Command command) {
        const bool disableAgain = terminalDisabled && command != Command::SetTerminalEnabled;
        if (!open(sessionMachine))
            return false;
        if (identity.serial != sessionIdentity.serial ||
            identity.logGeneration != sessionIdentity.logGeneration) {
            // Another unit answers at the address: what the caller holds is not about this one.
            dropLink();
            sessionWanted = false;
            return fail(ERR_NOT_OPEN);
        }
        return !disableAgain ||
               request(Command::SetTerminalEnabled, sessionMachine, encodeFlag(false), nullptr);
    }

    // One request; on failure records the code, and forgets a link the terminal closed.
    bool request(Command command, int machine, const QByteArray& payload, QByteArray* replyPayload,
                 int expectedReplyBytes = kSmallReply) {
        if (busyWaiting())
            return false;
        const Operation operation(*this);
        channel.setTimeoutMs(timeoutMs);
        const RequestChannel::Reply reply =
            channel.transact(command, machine, payload, expectedReplyBytes, operationEnd);
        if (link && !link->isOpen())
            dropLink();
        if (!reply.ok())
            return fail(reply.result);
        if (replyPayload)
            *replyPayload = reply.payload;
        return true;
    }

    // A reply whose payload does not parse.
    bool badReply() { return fail(ERR_BAD_REPLY); }

    bool open(int machine) {
        if (busyWaiting())
            return false;
        const Operation operation(*this);
        dropLink();
        const QDeadlineTimer deadline = qMin(QDeadlineTimer(timeoutMs), operationEnd);
        link = makeLink();
        const int opened = link->open(deadline);
        if (opened != SUCCESS) {
            dropLink();
            return fail(opened);
        }
        channel.attach(link.get());
        if (!authenticate(machine)) {
            dropLink();
            return false;
        }
        return true;
    }

    bool authenticate(int machine) {
        QByteArray payload;
        if (!request(Command::Hello, machine, {}, &payload))
            return false;
        HelloReply hello;
        if (!decodeHelloReply(payload, hello))
            return badReply();
        if ((hello.flags & kPasswordRequired) &&
            !request(Command::Authenticate, machine, authResponse(password, hello.nonce), nullptr))
            return false;
        identity.serial = hello.serial;
        identity.logGeneration = hello.logGeneration;
        return true;
    }

    bool readLog(int machine, LogMode mode, ChunkedWalk<LogRecord>& walk, quint32& upto) {
        walk.reset();
        QByteArray payload;
        if (!call(Command::ReadLogBuffer, machine, encodeMode(mode), &payload))
            return false;
        LogBufferInfo info;
        if (!decodeLogBufferInfo(payload, info))
            return badReply();
        upto = info.upto;
        walk.start(info.count > 0);
        return true;
    }

    // A step of a walk on a link that is gone fails: the list in hand went with the link, and
    // "no entry left" would pass a broken walk off as the whole list.
    bool linkLost() const { return !link || !link->isOpen(); }

    bool nextLog(int machine, LogMode mode, ChunkedWalk<LogRecord>& walk, quint32 upto,
                 LogRecord& record) {
        if (linkLost() || walk.broken())
            return fail(ERR_NOT_OPEN);
        if (!walk.active())
            return fail(ERR_LOG_END);
        if (walk.needsFetch() && !fetchLogChunk(machine, mode, walk, upto))
            return false;
        if (!walk.take(record))
            return fail(ERR_LOG_END);
        lastSequence = record.sequence;
        return true;
    }

    bool fetchLogChunk(int machine, LogMode mode, ChunkedWalk<LogRecord>& walk, quint32 upto) {
        LogQuery query;
        query.mode = mode;
        query.after = walk.hasLast() ? walk.last().sequence : 0;
        query.upto = upto;
        const int recordBytes = logRecordSize(1);
        query.max = quint16(link ? link->chunkRecords(recordBytes) : kMaxChunkRecords);
        QByteArray payload;
        if (!request(Command::FetchLogChunk, machine, encodeLogQuery(query), &payload,
                     kChunkHeaderSize + query.max * recordBytes))
            return false;
        LogChunk chunk;
        if (!decodeLogChunk(payload, query.after, chunk) || chunk.records.size() > query.max)
            return badReply();
        walk.accept(chunk.records, chunk.more);
        return true;
    }

    bool fetchUserChunk(int machine) {
        UserQuery query;
        query.hasAfter = userWalk.hasLast();
        if (query.hasAfter)
            query.after = userWalk.last().key;
        query.max = quint16(link ? link->chunkRecords(kUserEntrySize) : kMaxChunkRecords);
        QByteArray payload;
        if (!request(Command::FetchUserChunk, machine, encodeUserQuery(query), &payload,
                     kChunkHeaderSize + query.max * kUserEntrySize))
            return false;
        UserChunk chunk;
        if (!decodeUserChunk(payload, chunk) || chunk.entries.size() > query.max)
            return badReply();
        userWalk.accept(chunk.entries, chunk.more);
        return true;
    }

    bool keyed(Command command, int machine, int enroll, int eMachine, int backup,
               std::optional<int> extra) {
        if (!fitsByte(backup) || (extra && !fitsByte(*extra)))
            return fail(ERR_INVALID_PARAM);
        const EnrollKey key{enroll, eMachine, quint8(backup)};
        const QByteArray payload = extra ? encodeKeyAndByte(key, quint8(*extra)) : encodeKey(key);
        return call(command, machine, payload, nullptr);
    }
};

TFP_CLOCK::TFP_CLOCK(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {}

TFP_CLOCK::~TFP_CLOCK() {
    CloseConnection();
}

int TFP_CLOCK::CommPort() const {
    return d->commPort;
}

void TFP_CLOCK::setCommPort(int port) {
    d->commPort = port;
    d->kind = Private::LinkKind::Serial;
}

bool TFP_CLOCK::ReadMark() const {
    return d->readMark;
}

void TFP_CLOCK::setReadMark(bool mark) {
    d->readMark = mark;
}

int TFP_CLOCK::Baudrate() const {
    return d->baudrate;
}

void TFP_CLOCK::setBaudrate(int baud) {
    d->baudrate = baud;
}

bool TFP_CLOCK::IsUSB() const {
    return d->kind == Private::LinkKind::Usb;
}

void TFP_CLOCK::setIsUSB(bool usb) {
    if (usb)
        d->kind = Private::LinkKind::Usb;
    else if (IsUSB())
        selectComPort();
}

void TFP_CLOCK::selectComPort() {
    d->kind = Private::LinkKind::Serial;
}

bool TFP_CLOCK::OpenConnection(int machine) {
    d->terminalDisabled = false;
    d->sessionMachine = machine;
    d->sessionWanted = d->open(machine);
    d->sessionIdentity = d->identity;
    return d->sessionWanted;
}

void TFP_CLOCK::CloseConnection() {
    if (d->waitingHook.running())
        return;
    if (d->link && d->link->isOpen())
        d->channel.post(Command::Bye, d->sessionMachine);
    d->sessionWanted = false;
    d->terminalDisabled = false;
    d->dropLink();
}

bool TFP_CLOCK::ConfigureNetwork(QString& address, int port, int password) {
    d->address = address;
    d->port = port;
    d->password = password;
    d->kind = Private::LinkKind::Tcp;
    if (port < 1 || port > 65535)
        return d->fail(ERR_INVALID_PARAM);
    return true;
}

bool TFP_CLOCK::SetTerminalEnabled(int machine, bool enabled) {
    if (!d->call(Command::SetTerminalEnabled, machine, encodeFlag(enabled), nullptr))
        return false;
    d->terminalDisabled = !enabled;
    return true;
}

bool TFP_CLOCK::ReadLogBuffer(int machine) {
    d->unreadMode = d->readMark ? LogMode::Unread : LogMode::All;
    return d->readLog(machine, d->unreadMode, d->unreadWalk, d->unreadUpto);
}

bool TFP_CLOCK::NextLogRecord(int machine, int& tMachine, int& enrollNumber, int& eMachine,
                              int& verify, int& year, int& month, int& day, int& hour,
                              int& minute) {
    LogRecord r;
    if (!d->nextLog(machine, d->unreadMode, d->unreadWalk, d->unreadUpto, r))
        return false;
    handOut(r, machine, tMachine, enrollNumber, eMachine, verify, year, month, day, hour, minute);
    return true;
}

bool TFP_CLOCK::ReadAllLogBuffer(int machine) {
    return d->readLog(machine, LogMode::All, d->allWalk, d->allUpto);
}

bool TFP_CLOCK::NextAllLogRecord(int machine, int& tMachine, int& enrollNumber, int& eMachine,
                                 int& verify, int& year, int& month, int& day, int& hour,
                                 int& minute) {
    LogRecord r;
    if (!d->nextLog(machine, LogMode::All, d->allWalk, d->allUpto, r))
        return false;
    handOut(r, machine, tMachine, enrollNumber, eMachine, verify, year, month, day, hour, minute);
    return true;
}

bool TFP_CLOCK::GetLastErrorCode(int& code) {
    code = d->lastError;
    return true;
}

bool TFP_CLOCK::SyncTerminalTime(int machine) {
    return d->call(Command::SyncTerminalTime, machine,
                   encodeClock(clockTimeOf(QDateTime::currentDateTime()), false), nullptr);
}

bool TFP_CLOCK::GetTerminalTime(int machine, int& year, int& month, int& day, int& hour,
                                int& minute, int& dayOfWeek) {
    QByteArray payload;
    if (!d->call(Command::GetTerminalTime, machine, {}, &payload))
        return false;
    ClockTime t;
    if (!decodeClock(payload, t, true))
        return d->badReply();
    year = t.year;
    month = t.month;
    day = t.day;
    hour = t.hour;
    minute = t.minute;
    dayOfWeek = t.dayOfWeek;
    return true;
}

bool TFP_CLOCK::ReadAllUserID(int machine) {
    d->userWalk.reset();
    QByteArray payload;
    if (!d->call(Command::ReadAllUserID, machine, {}, &payload))
        return false;
    quint32 count = 0;
    if (!decodeU32(payload, count))
        return d->badReply();
    d->userWalk.start(count > 0);
    return true;
}

bool TFP_CLOCK::GetNextUserID(int machine, int& enrollNumber, int& eMachine, int& backupNumber,
                              int& privilege, int& enabled) {
    if (d->linkLost() || d->userWalk.broken())
        return d->fail(ERR_NOT_OPEN);
    if (!d->userWalk.active())
        return d->fail(ERR_LOG_END);
    if (d->userWalk.needsFetch() && !d->fetchUserChunk(machine))
        return false;
    UserEntry e;
    if (!d->userWalk.take(e))
        return d->fail(ERR_LOG_END);
    enrollNumber = e.key.enroll;
    eMachine = e.key.eMachine;
    backupNumber = e.key.backup;
    privilege = e.privilege;
    enabled = e.enabled ? 1 : 0;
    return true;
}

bool TFP_CLOCK::GetEnrollData(int machine, int enrollNumber, int eMachine, int backupNumber,
                              int& privilege, QVector<qint32>& enrollData, int& password) {
    if (!fitsByte(backupNumber))
        return d->fail(ERR_INVALID_PARAM);
    QByteArray payload;
    const EnrollKey key{enrollNumber, eMachine, quint8(backupNumber)};
    if (!d->call(Command::GetEnrollData, machine, encodeKey(key), &payload, 16 + 4 * kTemplateSize))
        return false;
    EnrollItem item;
    if (!decodeEnrollItem(payload, item))
        return d->badReply();
    privilege = item.privilege;
    if (item.data.size() == kTemplateSize)
        enrollData = item.data;
    else
        password = item.value;
    return true;
}

bool TFP_CLOCK::SetEnrollData(int machine, int enrollNumber, int eMachine, int backupNumber,
                              int privilege, QVector<qint32>& enrollData, int password) {
    const bool isTemplate = backupNumber >= 0 && backupNumber <= 9;
    if (!fitsByte(backupNumber) || !fitsByte(privilege) ||
        (isTemplate && enrollData.size() != kEnrollDataSize))
        return d->fail(ERR_INVALID_PARAM);
    EnrollItem item;
    item.privilege = quint8(privilege);
    if (isTemplate)
        item.data = enrollData;
    else
        item.value = password;
    const EnrollKey key{enrollNumber, eMachine, quint8(backupNumber)};
    return d->call(Command::SetEnrollData, machine, encodeSetEnroll(key, item), nullptr);
}

bool TFP_CLOCK::DeleteEnrollData(int machine, int enrollNumber, int eMachine, int backupNumber) {
    return d->keyed(Command::DeleteEnrollData, machine, enrollNumber, eMachine, backupNumber, {});
}

bool TFP_CLOCK::SetUserPrivilege(int machine, int enrollNumber, int eMachine, int backupNumber,
                                 int privilege) {
    return d->keyed(Command::SetUserPrivilege, machine, enrollNumber, eMachine, backupNumber,
                    privilege);
}

bool TFP_CLOCK::SetUserEnabled(int machine, int enrollNumber, int eMachine, int backupNumber,
                               int flag) {
    return d->keyed(Command::SetUserEnabled, machine, enrollNumber, eMachine, backupNumber,
                    flag != 0 ? 1 : 0);
}

bool TFP_CLOCK::ClearKeeperData(int machine) {
    return d->call(Command::ClearKeeperData, machine, {}, nullptr);
}

bool TFP_CLOCK::ClearEnrollStore(int machine) {
    return d->call(Command::ClearEnrollStore, machine, {}, nullptr);
}

bool TFP_CLOCK::GetUserName(int, int machine, int enrollNumber, int, QString& name) {
    QByteArray payload;
    if (!d->call(Command::GetUserName, machine, encodeEnroll(enrollNumber), &payload,
                 1 + kMaxNameBytes))
        return false;
    QString received;
    if (!decodeName(payload, received))
        return d->badReply();
    name = received;
    return true;
}

bool TFP_CLOCK::SetUserName(int, int machine, int enrollNumber, int, QString& name) {
    if (!nameFits(name))
        return d->fail(ERR_INVALID_PARAM);
    return d->call(Command::SetUserName, machine, encodeSetName(enrollNumber, name), nullptr);
}

quint32 TFP_CLOCK::LastLogSequence() const {
    return d->lastSequence;
}

bool TFP_CLOCK::AcknowledgeLogRecords(int machine, quint32 sequence) {
    return d->call(Command::AcknowledgeLog, machine, encodeU32(sequence), nullptr);
}

bool TFP_CLOCK::ClearLogData(int machine) {
    return d->call(Command::ClearLogData, machine, {}, nullptr);
}

QString TFP_CLOCK::TerminalSerial() const {
    return isOpen() ? d->identity.serial : QString();
}

quint32 TFP_CLOCK::LogGeneration() const {
    return isOpen() ? d->identity.logGeneration : 0;
}

int TFP_CLOCK::timeoutMs() const {
    return d->timeoutMs;
}

void TFP_CLOCK::setTimeoutMs(int ms) {
    d->timeoutMs = ms > 0 ? ms : kDefaultTimeoutMs;
}

bool TFP_CLOCK::isOpen() const {
    return d->link && d->link->isOpen();
}

void TFP_CLOCK::setPassword(int password) {
    d->password = password;
}

void TFP_CLOCK::setWaitingHook(std::function<void()> hook) {
    d->waitingHook.set(std::move(hook));
}

std::function<void()> TFP_CLOCK::waitingHook() const {
    return d->waitingHook.callback();
}

quint64 TFP_CLOCK::bytesSent() const {
    return d->sentBefore + (d->link ? d->link->bytesSent() : 0);
}

quint64 TFP_CLOCK::bytesReceived() const {
    return d->receivedBefore + (d->link ? d->link->bytesReceived() : 0);
}

} // namespace selvenor
