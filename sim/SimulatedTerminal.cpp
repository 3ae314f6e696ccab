#include "SimulatedTerminal.h"

#include "StateStore.h"
#include "common/Errors.h"
#include "terminal/Command.h"
#include "terminal/ResultCode.h"

#include <QRandomGenerator>

#include <algorithm>

namespace selvenor::sim {

using namespace protocol;

namespace {

constexpr quint8 kMaxPrivilege = 3;
// Failed password attempts in a row before Authenticate is refused for a while.
constexpr int kMaxFailedAuths = 5;

auto firstAfter(const QList<StoredRecord>& logs, quint32 after) {
    return std::upper_bound(logs.begin(), logs.end(), after,
                            [](quint32 a, const StoredRecord& r) { return a < r.record.sequence; });
}

quint8 logModeOf(const Frame& request) {
    const bool hasMode = request.command == quint8(Command::ReadLogBuffer) ||
                         request.command == quint8(Command::FetchLogChunk);
    return hasMode && !request.payload.isEmpty() ? quint8(request.payload[0]) : 0;
}

bool takesNoPayload(Command command) {
    switch (command) {
    case Command::Hello:
    case Command::Bye:
    case Command::GetTerminalTime:
    case Command::ClearLogData:
    case Command::ReadAllUserID:
    case Command::ClearKeeperData:
    case Command::ClearEnrollStore:
        return true;
    default:
        return false;
    }
}

} // namespace

SimulatedTerminal::SimulatedTerminal(TerminalState state, std::unique_ptr<StateStore> store)
    : m_state(std::move(state))
    , m_faults(m_state.faults)
    , m_store(std::move(store)) {
    m_state.assignMissingIdentity(); // saved by begin(): the unit keeps it from now on
    if (m_store)
        m_store->begin(m_state);
}

SimulatedTerminal::~SimulatedTerminal() = default;

void SimulatedTerminal::finish() {
    if (m_store)
        m_store->finish(m_state);
}

template <typename Write> void SimulatedTerminal::persist(Write&& write) {
    if (!m_store)
        return;
    try {
        write(*m_store);
    } catch (const Error& e) {
        if (m_log)
            m_log(QStringLiteral("cannot save: ") + e.text());
    }
}

SimulatedTerminal::Outcome SimulatedTerminal::handle(const Frame& request, Session& session) {
    Outcome outcome;
    if (request.reply)
        return outcome;
    const QString op = commandName(request.command, logModeOf(request));
    const int dropAfter = m_faults.dropAfterFrames;
    if (dropAfter > 0 && session.framesAnswered >= dropAfter) {
        log(request, op, -1, QStringLiteral("link dropped after %1 frames").arg(dropAfter));
        outcome.closeLink = true;
        return outcome;
    }
    // A repeated request, Hello included, gets the reply it had: a retry of Hello must not bring
    // a new nonce, since the client may answer the first one.
    const bool repeat = session.hasLast && request.sequence == session.lastSequence &&
                        request.command == session.lastCommand;
    QByteArray reply;
    int code = 0;
    QString note = QStringLiteral("repeated");
    if (repeat) {
        reply = session.lastReply;
        code = quint8(reply.at(5));
    } else {
        m_note.clear();
        const Result result = execute(request, session);
        code = result.code;
        note = m_note;
        reply = encodeReply(request, result);
        session.hasLast = true;
        session.lastSequence = request.sequence;
        session.lastCommand = request.command;
        session.lastReply = reply;
    }
    outcome.reply = applyCorruption(reply, op);
    ++session.framesAnswered;
    const bool refusedAuth =
        request.command == quint8(Command::Authenticate) && code == ERR_AUTH_FAILED;
    outcome.closeLink = (request.command == quint8(Command::Bye) && code == SUCCESS) ||
                        refusedAuth ||
                        (request.command == quint8(Command::Hello) && code != SUCCESS);
    log(request, op, code, note);
    return outcome;
}

QByteArray SimulatedTerminal::busyReply(const Frame& request) const {
    return encodeReply(request, Result{ERR_MULTIUSER, {}});
}

void SimulatedTerminal::endSession(Session& session) {
    if (session.open && !m_state.enabled) {
        m_state.enabled = true;
        persist([this](StateStore& store) { store.saveSettings(m_state); });
    }
    session = Session();
}

SimulatedTerminal::Result SimulatedTerminal::execute(const Frame& request, Session& session) {
    const auto command = Command(request.command);
    const QByteArray& p = request.payload;
    if (request.version != kProtocolVersion || commandName(request.command).isEmpty())
        return {ERR_NOSUPPORT, {}};
    if (request.machine != m_state.machine)
        return {ERR_WRONG_MACHINE, {}};
    if (takesNoPayload(command) && !p.isEmpty())
        return {ERR_INVALID_PARAM, {}};
    if (command == Command::Hello)
        return hello(session);
    if (command != Command::Authenticate && !session.open)
        return {ERR_NOT_OPEN, {}};
    if (const int injected = m_faults.failureFor(commandName(request.command, logModeOf(request))))
        return {injected, {}};
    if (command == Command::Authenticate)
        return authenticate(p, session);
    if (needsDisabled(request.command) && m_state.enabled)
        return {ERR_NOT_DISABLED, {}};
    switch (command) {
    case Command::Bye:
        return {};
    case Command::SetTerminalEnabled:
        return setEnabled(p);
    case Command::SyncTerminalTime:
        return syncTime(p);
    case Command::GetTerminalTime:
        return getTime();
    case Command::ReadLogBuffer:
        return readLog(p);
    case Command::FetchLogChunk:
        return fetchLogChunk(p);
    case Command::AcknowledgeLog:
        return acknowledge(p);
    case Command::ClearLogData:
        return clearLog();
    case Command::ReadAllUserID:
        return readUsers();
    case Command::FetchUserChunk:
        return fetchUserChunk(p);
    case Command::GetEnrollData:
        return getEnroll(p);
    case Command::SetEnrollData:
        return setEnroll(p);
    case Command::DeleteEnrollData:
        return deleteEnroll(p);
    case Command::SetUserPrivilege:
        return changeEntry(p, true);
    case Command::SetUserEnabled:
        return changeEntry(p, false);
    case Command::ClearKeeperData:
        return clearEntries(false);
    case Command::ClearEnrollStore:
        return clearEntries(true);
    case Command::GetUserName:
        return getName(p);
    case Command::SetUserName:
        return setName(p);
    case Command::Hello:
    case Command::Authenticate:
        break;
    }
    return {ERR_NOSUPPORT, {}};
}

SimulatedTerminal::Result SimulatedTerminal::hello(Session& session) {
    endSession(session);
    if (const int injected = m_faults.failureFor(QStringLiteral("OpenConnection")))
        return {injected, {}};
    HelloReply reply;
    reply.serial = m_state.serial;
    reply.logGeneration = m_state.logGeneration;
    reply.nonce.resize(kNonceSize);
    QRandomGenerator::system()->generate(reply.nonce.begin(), reply.nonce.end());
    if (m_state.password != 0) {
        reply.flags = kPasswordRequired;
        session.awaitingAuth = true;
        session.nonce = reply.nonce;
    } else {
        session.open = true;
    }
    return {SUCCESS, encodeHelloReply(reply)};
}

SimulatedTerminal::Result SimulatedTerminal::authenticate(const QByteArray& p, Session& session) {
    if (!session.awaitingAuth)
        return {ERR_NOT_OPEN, {}};
    if (p.size() != kAuthResponseSize)
        return {ERR_INVALID_PARAM, {}};
    session.awaitingAuth = false;
    if (lockedOut()) {
        m_note =
            QStringLiteral("refused unchecked: locked out after %1 failures").arg(kMaxFailedAuths);
        return {ERR_AUTH_FAILED, {}};
    }
    if (p != authResponse(m_state.password, session.nonce)) {
        if (++m_failedAuths >= kMaxFailedAuths) {
            m_lockedSince.start();
            m_note = QStringLiteral("%1 failures in a row: every Authenticate refused for %2 s")
                         .arg(m_failedAuths)
                         .arg(m_state.authLockoutS);
        }
        return {ERR_AUTH_FAILED, {}};
    }
    m_failedAuths = 0;
    session.open = true;
    return {};
}

bool SimulatedTerminal::lockedOut() const {
    return m_lockedSince.isValid() && m_lockedSince.elapsed() < m_state.authLockoutS * 1000LL;
}

SimulatedTerminal::Result SimulatedTerminal::setEnabled(const QByteArray& p) {
    bool enabled = true;
    if (!decodeFlag(p, enabled))
        return {ERR_INVALID_PARAM, {}};
    if (!enabled && m_faults.refuseDisable)
        return {ERR_NON_CARRYOUT, {}};
    if (m_state.enabled != enabled) {
        m_state.enabled = enabled;
        persist([this](StateStore& store) { store.saveSettings(m_state); });
    }
    return {};
}

SimulatedTerminal::Result SimulatedTerminal::syncTime(const QByteArray& p) {
    ClockTime t;
    if (!decodeClock(p, t, false))
        return {ERR_INVALID_PARAM, {}};
    const QDateTime set(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
    if (!set.isValid())
        return {ERR_INVALID_PARAM, {}};
    m_state.clockOffset = QDateTime::currentDateTime().secsTo(set);
    persist([this](StateStore& store) { store.saveSettings(m_state); });
    return {};
}

SimulatedTerminal::Result SimulatedTerminal::getTime() const {
    return {SUCCESS, encodeClock(clockTimeOf(m_state.clockNow()), true)};
}

SimulatedTerminal::Result SimulatedTerminal::readLog(const QByteArray& p) const {
    LogMode mode;
    if (!decodeMode(p, mode))
        return {ERR_INVALID_PARAM, {}};
    LogBufferInfo info;
    info.upto = m_state.logs.isEmpty() ? 0 : m_state.logs.last().record.sequence;
    info.count = quint32(
        std::count_if(m_state.logs.begin(), m_state.logs.end(),
                      [mode](const StoredRecord& r) { return mode == LogMode::All || !r.read; }));
    return {SUCCESS, encodeLogBufferInfo(info)};
}

SimulatedTerminal::Result SimulatedTerminal::fetchLogChunk(const QByteArray& p) const {
    LogQuery q;
    if (!decodeLogQuery(p, q))
        return {ERR_INVALID_PARAM, {}};
    LogChunk chunk;
    int size = kChunkHeaderSize;
    quint32 previous = q.after;
    const auto wanted = [&q](const StoredRecord& r) { return q.mode == LogMode::All || !r.read; };
    auto it = firstAfter(m_state.logs, q.after);
    for (; it != m_state.logs.end() && it->record.sequence <= q.upto; ++it) {
        if (!wanted(*it))
            continue;
        const int recordSize = logRecordSize(it->record.sequence - previous);
        if (chunk.records.size() == q.max || size + recordSize > kMaxPayloadSize)
            break;
        chunk.records.append(it->record);
        size += recordSize;
        previous = it->record.sequence;
    }
    for (; it != m_state.logs.end() && it->record.sequence <= q.upto && !chunk.more; ++it)
        chunk.more = wanted(*it);
    return {SUCCESS, encodeLogChunk(chunk, q.after)};
}

SimulatedTerminal::Result SimulatedTerminal::acknowledge(const QByteArray& p) {
    quint32 upto = 0;
    if (!decodeU32(p, upto) || upto >= m_state.nextSequence)
        return {ERR_INVALID_PARAM, {}};
    quint32 marked = 0;
    // By index: the list may be shared with a copy of the state, and writing to it detaches it.
    const qsizetype end = firstAfter(m_state.logs, upto) - m_state.logs.cbegin();
    for (qsizetype i = 0; i < end; ++i) {
        StoredRecord& r = m_state.logs[i];
        if (!r.read) {
            r.read = true;
            ++marked;
        }
    }
    if (marked)
        persist([upto](StateStore& store) { store.markRead(upto); });
    return {SUCCESS, encodeU32(marked)};
}

SimulatedTerminal::Result SimulatedTerminal::clearLog() {
    m_state.logs.clear();
    persist([](StateStore& store) { store.removeRecords(); });
    return {};
}

SimulatedTerminal::Result SimulatedTerminal::readUsers() const {
    return {SUCCESS, encodeU32(quint32(m_state.entries.size()))};
}

SimulatedTerminal::Result SimulatedTerminal::fetchUserChunk(const QByteArray& p) const {
    UserQuery q;
    if (!decodeUserQuery(p, q))
        return {ERR_INVALID_PARAM, {}};
    auto it = q.hasAfter ? m_state.entries.upper_bound(q.after) : m_state.entries.begin();
    UserChunk chunk;
    for (; it != m_state.entries.end() && chunk.entries.size() < q.max; ++it)
        chunk.entries.append(UserEntry{it->first, it->second.privilege, it->second.enabled});
    chunk.more = it != m_state.entries.end();
    return {SUCCESS, encodeUserChunk(chunk)};
}

SimulatedTerminal::Result SimulatedTerminal::getEnroll(const QByteArray& p) const {
    EnrollKey key;
    if (!decodeKey(p, key) || !TerminalState::normaliseBackup(key.backup))
        return {ERR_INVALID_PARAM, {}};
    const auto it = m_state.entries.find(key);
    if (it == m_state.entries.end())
        return {ERR_NON_CARRYOUT, {}};
    EnrollItem item;
    item.privilege = it->second.privilege;
    item.enabled = it->second.enabled;
    item.value = it->second.value;
    item.data = it->second.data;
    return {SUCCESS, encodeEnrollItem(item)};
}

SimulatedTerminal::Result SimulatedTerminal::setEnroll(const QByteArray& p) {
    EnrollKey key;
    EnrollItem item;
    if (!decodeSetEnroll(p, key, item) || !TerminalState::normaliseBackup(key.backup) ||
        item.privilege > kMaxPrivilege ||
        TerminalState::isTemplateBackup(key.backup) != (item.data.size() == kTemplateSize))
        return {ERR_INVALID_PARAM, {}};
    auto it = m_state.entries.find(key);
    if (it == m_state.entries.end()) {
        if (m_state.maxEntries > 0 && int(m_state.entries.size()) >= m_state.maxEntries)
            return {ERR_MEMORY, {}};
        it = m_state.entries.emplace(key, StoredEntry()).first;
    }
    it->second.privilege = item.privilege;
    it->second.value = TerminalState::isTemplateBackup(key.backup) ? 0 : item.value;
    it->second.data = item.data;
    persist([&key, it](StateStore& store) { store.saveEntry(key, it->second); });
    return {};
}

SimulatedTerminal::Result SimulatedTerminal::deleteEnroll(const QByteArray& p) {
    EnrollKey key;
    if (!decodeKey(p, key) || !TerminalState::normaliseBackup(key.backup))
        return {ERR_INVALID_PARAM, {}};
    if (m_state.entries.erase(key) == 0)
        return {ERR_NON_CARRYOUT, {}};
    persist([&key](StateStore& store) { store.removeEntry(key); });
    return {};
}

SimulatedTerminal::Result SimulatedTerminal::changeEntry(const QByteArray& p, bool privilege) {
    EnrollKey key;
    quint8 value = 0;
    if (!decodeKeyAndByte(p, key, value) || !TerminalState::normaliseBackup(key.backup) ||
        value > (privilege ? kMaxPrivilege : 1))
        return {ERR_INVALID_PARAM, {}};
    const auto it = m_state.entries.find(key);
    if (it == m_state.entries.end())
        return {ERR_NON_CARRYOUT, {}};
    if (privilege)
        it->second.privilege = value;
    else
        it->second.enabled = value == 1;
    persist([&key, it](StateStore& store) { store.saveEntry(key, it->second); });
    return {};
}

SimulatedTerminal::Result SimulatedTerminal::clearEntries(bool templatesOnly) {
    std::erase_if(m_state.entries, [templatesOnly](const auto& e) {
        return !templatesOnly || TerminalState::isTemplateBackup(e.first.backup);
    });
    persist([templatesOnly](StateStore& store) { store.removeEntries(templatesOnly); });
    return {};
}

SimulatedTerminal::Result SimulatedTerminal::getName(const QByteArray& p) const {
    qint32 enroll = 0;
    if (!decodeEnroll(p, enroll))
        return {ERR_INVALID_PARAM, {}};
    const auto name = m_state.names.constFind(enroll);
    if (name != m_state.names.constEnd())
        return {SUCCESS, encodeName(*name)};
    const auto entry = m_state.entries.lower_bound(EnrollKey{enroll, INT_MIN, 0});
    if (entry == m_state.entries.end() || entry->first.enroll != enroll)
        return {ERR_NON_CARRYOUT, {}};
    return {SUCCESS, encodeName(QString())};
}

SimulatedTerminal::Result SimulatedTerminal::setName(const QByteArray& p) {
    qint32 enroll = 0;
    QString name;
    if (!decodeSetName(p, enroll, name))
        return {ERR_INVALID_PARAM, {}};
    if (name.isEmpty())
        m_state.names.remove(enroll);
    else
        m_state.names.insert(enroll, name);
    persist([enroll, &name](StateStore& store) { store.saveName(enroll, name); });
    return {};
}

bool SimulatedTerminal::needsDisabled(quint8 command) const {
    switch (Command(command)) {
    case Command::SetEnrollData:
    case Command::DeleteEnrollData:
    case Command::SetUserPrivilege:
    case Command::SetUserEnabled:
    case Command::ClearKeeperData:
    case Command::ClearEnrollStore:
    case Command::ClearLogData:
        return true;
    default:
        return false;
    }
}

QByteArray SimulatedTerminal::encodeReply(const Frame& request, const Result& result) const {
    Frame reply;
    reply.reply = true;
    reply.command = request.command;
    reply.result = quint8(result.code);
    reply.sequence = request.sequence;
    reply.machine = m_state.machine;
    if (result.code == SUCCESS)
        reply.payload = result.payload;
    return encodeFrame(reply);
}

QByteArray SimulatedTerminal::applyCorruption(QByteArray bytes, const QString& op) {
    FaultPlan::CorruptKind kind;
    if (!m_faults.corruptionFor(op, kind))
        return bytes;
    switch (kind) {
    case FaultPlan::CorruptKind::Crc:
        bytes[bytes.size() - 1] = char(bytes.at(bytes.size() - 1) ^ 0x5A);
        break;
    case FaultPlan::CorruptKind::Truncate:
        bytes.truncate(bytes.size() / 2);
        break;
    case FaultPlan::CorruptKind::Oversize:
        bytes[12] = char(0xFF);
        bytes[13] = char(0xFF);
        break;
    }
    return bytes;
}

void SimulatedTerminal::log(const Frame& request, const QString& op, int code,
                            const QString& note) {
    if (!m_log)
        return;
    const QString name =
        op.isEmpty() ? QStringLiteral("command 0x%1").arg(request.command, 2, 16, QLatin1Char('0'))
                     : op;
    QString line =
        QStringLiteral("#%1 %2 machine=%3").arg(request.sequence).arg(name).arg(request.machine);
    if (code >= 0)
        line += QStringLiteral(" -> %1").arg(code == 0 ? QStringLiteral("SUCCESS")
                                                       : ResultCodeSymbol(code));
    if (!note.isEmpty())
        line += QStringLiteral(" (%1)").arg(note);
    m_log(line);
}

} // namespace selvenor::sim
