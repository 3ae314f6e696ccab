#pragma once

#include "TerminalState.h"
#include "terminal/Frame.h"

#include <QByteArray>
#include <QString>

#include <QElapsedTimer>

#include <functional>
#include <memory>

namespace selvenor::sim {

class StateStore;

// Plays one terminal: executes the requests of a session against the terminal state and builds
// the replies, with the fault plan applied. Knows nothing of links; the server feeds it frames.
// Every change goes to the state store (when there is one) before its reply leaves.
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

    // Gives a state without an identity its fresh one and starts the store's run with it;
    // without a store the state lives in memory only. Throws selvenor::Error when the store
    // cannot be written.
    SimulatedTerminal(TerminalState state, std::unique_ptr<StateStore> store);
    ~SimulatedTerminal();

    // Faults for this run only (the command line's): they are never saved with the state.
    void addRunFaults(const FaultPlan& faults) { m_faults.add(faults); }
    // Ends the run: the whole state goes back into the state file. Throws selvenor::Error.
    void finish();

    Outcome handle(const protocol::Frame& request, Session& session);
    // A reply refusing a client because another one holds the terminal.
    QByteArray busyReply(const protocol::Frame& request) const;
    // The session ended (link lost, Bye, new Hello): a disabled terminal enables itself.
    void endSession(Session& session);

    const TerminalState& state() const { return m_state; }
    int delayMs() const { return m_faults.delayMs; }
    int idleTimeoutMs() const { return m_state.idleTimeoutS * 1000; }
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
    bool lockedOut() const;
    // Runs one write of the store, if there is one; a failure is logged.
    template <typename Write> void persist(Write&& write);
    void log(const protocol::Frame& request, const QString& op, int code, const QString& note);

    TerminalState m_state;
    FaultPlan m_faults; // the state's faults and this run's
    std::unique_ptr<StateStore> m_store;
    std::function<void(const QString&)> m_log;
    QString m_note;        // what the log line of the request being executed adds
    int m_failedAuths = 0; // in a row
    QElapsedTimer m_lockedSince;
};

} // namespace selvenor::sim
