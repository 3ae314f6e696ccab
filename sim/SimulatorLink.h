#pragma once

#include "SimulatedTerminal.h"
#include "terminal/FrameDecoder.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QIODevice;

namespace selvenor::sim {

class SimulatorServer;

// One byte stream into the simulator (a TCP connection or the serial device): cuts frames out
// of it, lets the terminal answer them and writes the replies back, delayed if the fault plan
// says so.
class SimulatorLink : public QObject {
    Q_OBJECT
public:
    // `stream` says whether the device is a connection that ends (TCP) or a line that stays.
    SimulatorLink(QIODevice* device, bool connection, SimulatorServer& server);
    ~SimulatorLink() override;

    bool holdsSession() const { return m_session.open || m_session.awaitingAuth; }
    void endSession();

private:
    void readIncoming();
    void answer(const protocol::Frame& frame);
    void send(const QByteArray& bytes, bool closeAfter);
    void dropLink();

    QPointer<QIODevice> m_device;
    bool m_connection;
    SimulatorServer& m_server;
    protocol::FrameDecoder m_decoder;
    SimulatedTerminal::Session m_session;
    bool m_closing = false;
    QElapsedTimer m_sinceLastByte;
};

} // namespace selvenor::sim
