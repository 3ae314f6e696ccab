#pragma once

#include "SimulatedTerminal.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QTcpServer;

namespace selvenor::sim {

class SimulatorLink;
class StateStore;

// The simulator's links: a TCP listener and optionally a serial device or pseudo-terminal, all
// leading to one simulated terminal that serves one client at a time. Lives in one thread; every
// call must come from it.
class SimulatorServer : public QObject {
    Q_OBJECT
public:
    // `store` keeps the state on disk; null keeps it in memory only. Throws selvenor::Error
    // when the store cannot be written.
    SimulatorServer(TerminalState state, std::unique_ptr<StateStore> store,
                    QObject* parent = nullptr);
    ~SimulatorServer() override;

    bool listen(const QHostAddress& address, quint16 port, QString* error);
    // A device path opened as a serial line, or "pty" for a new pseudo-terminal pair.
    bool openSerial(const QString& path, int baudRate, QString* error);
    void close();
    // Closes every link and writes the whole state back into the state file. Throws
    // selvenor::Error.
    void finish();

    quint16 port() const;
    // The path a client opens: the device itself, or the client's end of the pseudo-terminal.
    QString serialPath() const { return m_serialPath; }
    SimulatedTerminal& terminal() { return m_terminal; }
    void setLogger(std::function<void(const QString&)> logger);
    void log(const QString& line) const;

    // Session bookkeeping of the links: one client at a time.
    bool tryHold(SimulatorLink* link);
    void release(SimulatorLink* link);
    bool isHolder(const SimulatorLink* link) const { return m_holder == link; }

private:
    void acceptConnections();

    SimulatedTerminal m_terminal;
    QTcpServer* m_tcp = nullptr;
    SimulatorLink* m_serialLink = nullptr;
    QString m_serialPath;
    SimulatorLink* m_holder = nullptr;
    std::function<void(const QString&)> m_log;
};

} // namespace selvenor::sim
