#pragma once

#include "Command.h"
#include "FrameDecoder.h"

#include <QByteArray>
#include <QDeadlineTimer>

namespace selvenor {

class TerminalLink;

// Sends one request and waits for its reply, with the protocol's timeout and retry rule: the
// request goes out again, with the same sequence number, when half the time is spent without a
// valid reply; after the whole time the operation fails (ERR_READ_FAIL, or ERR_BAD_REPLY when
// only corrupt frames came). A reply of another command, protocol version or machine number
// fails it with ERR_BAD_REPLY.
class RequestChannel {
public:
    struct Reply {
        int result = 0; // the terminal's result code, or a local failure code
        QByteArray payload;
        bool ok() const { return result == 0; }
    };

    void attach(TerminalLink* link);
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

    // `expectedReplyBytes` lets a slow serial line have time for a long reply. The time budget
    // never reaches past `limit` (the end of the caller's operation).
    Reply transact(protocol::Command command, qint32 machine, const QByteArray& payload,
                   int expectedReplyBytes = 64,
                   QDeadlineTimer limit = QDeadlineTimer(QDeadlineTimer::Forever));
    // Sends a request without waiting for its reply (the goodbye).
    void post(protocol::Command command, qint32 machine);

private:
    enum class Outcome { Waiting, Matched, Malformed };
    Outcome drain(protocol::Command command, qint32 machine, quint16 sequence, Reply& reply,
                  bool& sawCorrupt);
    quint16 nextSequence();

    TerminalLink* m_link = nullptr;
    protocol::FrameDecoder m_decoder;
    quint16 m_sequence = 0;
    int m_timeoutMs = 3000;
};

} // namespace selvenor
