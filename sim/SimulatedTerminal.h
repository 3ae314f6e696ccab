#pragma once

#include "TerminalState.h"
#include "terminal/Frame.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace selvenor::sim {

// Plays one terminal: executes the requests of a session against the terminal state and builds
// the replies, with the fault plan applied. Knows nothing of links; the server feeds it frames.
// Saves the state file after every change.
class SimulatedTerminal {
public:
    // The per-link part: whether a session is open, and the last reply for duplicates.
    struct Session {
        bool open = false;
        bool awaitingAuth = false;
        QByteArray nonce;
        bool hasLast = false;
        quint16 lastSequence = 0;
        quint8 lastCommand = 0;
        QByteArray lastReply;
        int framesAnswered = 0;
    };
    struct Outcome {
        QByteArray reply;       // empty: nothing is sent
        bool closeLink = false; // end the session and, on TCP, the connection
    };

    SimulatedTerminal(TerminalState state, QString statePath);

    Outcome handle(const protocol::Frame& request, Session& session);
    // A reply refusing a client because another one holds the terminal.
    QByteArray busyReply(const protocol::Frame& request) const;
    // The session ended (link lost, Bye, new Hello): a disabled terminal enables itself.
    void endSession(Session& session);

    const TerminalState& state() const { return m_state; }
    int delayMs() const { return m_state.faults.delayMs; }
    void setLogger(std::function<void(const QString&)> logger) { m_log = std::move(logger); }

private:
    struct Result {
        int code = 0;
        QByteArray payload;
    };
    Result execute(const protocol::Frame& request, Session& session);
    Result hello(Session& session);
    Result authenticate(const QByteArray& payload, Session& session);
    Result setEnabled(const QByteArray& payload);
    Result syncTime(const QByteArray& payload);
    Result getTime() const;
    Result readLog(const QByteArray& payload) const;
    Result fetchLogChunk(const QByteArray& payload) const;
    Result acknowledge(const QByteArray& payload);
    Result clearLog();
    Result readUsers() const;
    Result fetchUserChunk(const QByteArray& payload) const;
    Result getEnroll(const QByteArray& payload) const;
    Result setEnroll(const QByteArray& payload);
    Result deleteEnroll(const QByteArray& payload);
    Result changeEntry(const QByteArray& payload, bool privilege);
    Result clearEntries(bool templatesOnly);
    Result getName(const QByteArray& payload) const;
    Result setName(const QByteArray& payload);

    bool needsDisabled(quint8 command) const;
    QByteArray encodeReply(const protocol::Frame& request, const Result& result) const;
    QByteArray applyCorruption(QByteArray bytes, const QString& op);
    void changed();
    void log(const protocol::Frame& request, const QString& op, int code, const QString& note);

    TerminalState m_state;
    QString m_path;
    std::function<void(const QString&)> m_log;
};

} // namespace selvenor::sim
