#pragma once

#include "SimulatedTerminal.h"
#include "terminal/FrameDecoder.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QIODevice;

namespace selvenor::sim {

class SimulatorServer;

// One byte stream into the simulator (a TCP connection or the serial device): cuts frames out
// of it, lets the terminal answer them and writes the replies back, delayed if the fault plan
// says so.
//
// A session without a valid request for the terminal's idle time ends; a TCP connection is
// closed then, with or without a session. A frame begun but not complete 500 ms after its first
// byte is dropped. Replies waiting to go out are bounded: while they exceed kMaxBacklog the
// link reads no further request, so a client that sends without reading is held back by its
// own link instead of filling the simulator's memory.
class SimulatorLink : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxBacklog = 4 * protocol::kMaxFrameSize;

    // `connection` says whether the device is a connection that ends (TCP) or a line that
    // stays. `lineBytesPerSecond` is the pace of a serial line (0: not paced).
    SimulatorLink(QIODevice* device, bool connection, SimulatorServer& server,
                  int lineBytesPerSecond = 0);
    ~SimulatorLink() override;

    bool holdsSession() const { return m_session.open || m_session.awaitingAuth; }
    void endSession();
    // Bytes of replies not yet sent: delayed ones and those the device still holds.
    qint64 backlog() const;

private:
    void readIncoming();
    bool answerBufferedFrames();
    void answer(const protocol::Frame& frame);
    void send(const QByteArray& bytes, bool closeAfter);
    void resumeIfDrained();
    void setPaused(bool paused);
    void armPartialFrameTimer();
    void noteRequest();
    void checkIdle();
    void dropLink();

    QPointer<QIODevice> m_device;
    bool m_connection;
    SimulatorServer& m_server;
    protocol::FrameDecoder m_decoder;
    SimulatedTerminal::Session m_session;
    bool m_closing = false;
    bool m_paused = false;
    qint64 m_delayedBytes = 0;
    // Armed for the idle time; when it fires it looks at the time since the last request, so a
    // request costs a clock reading, not a timer of its own.
    QTimer m_idle;
    QElapsedTimer m_sinceRequest;
    QTimer m_partialFrame;
};

} // namespace selvenor::sim
