#include "SimulatorServer.h"

#include "PtyDevice.h"
#include "SimulatorLink.h"
#include "StateStore.h"
#include "terminal/KeepAlive.h"

#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>

namespace selvenor::sim {

SimulatorServer::SimulatorServer(TerminalState state, std::unique_ptr<StateStore> store,
                                 QObject* parent)
    : QObject(parent)
    , m_terminal(std::move(state), std::move(store)) {}

SimulatorServer::~SimulatorServer() {
    close();
}

void SimulatorServer::setLogger(std::function<void(const QString&)> logger) {
    m_log = logger;
    m_terminal.setLogger(std::move(logger));
}

void SimulatorServer::log(const QString& line) const {
    if (m_log)
        m_log(line);
}

bool SimulatorServer::listen(const QHostAddress& address, quint16 port, QString* error) {
    m_tcp = new QTcpServer(this);
    connect(m_tcp, &QTcpServer::newConnection, this, &SimulatorServer::acceptConnections);
    if (m_tcp->listen(address, port))
        return true;
    if (error)
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(m_tcp->errorString());
    return false;
}

bool SimulatorServer::openSerial(const QString& path, int baudRate, QString* error) {
    QIODevice* device = nullptr;
    int bytesPerSecond = 0; // a pseudo-terminal is not paced
    if (path == QLatin1String("pty")) {
        auto* pty = new PtyDevice(this);
        if (!pty->create(error)) {
            delete pty;
            return false;
        }
        m_serialPath = pty->slavePath();
        device = pty;
    } else {
        auto* port = new QSerialPort(path, this);
        port->setReadBufferSize(SimulatorLink::kMaxBacklog);
        if (!port->open(QIODevice::ReadWrite) || !port->setBaudRate(baudRate)) {
            if (error)
                *error = QStringLiteral("cannot open %1: %2").arg(path, port->errorString());
            delete port;
            return false;
        }
        m_serialPath = path;
        device = port;
        bytesPerSecond = baudRate / 10; // 10 bits a byte
    }
    m_serialLink = new SimulatorLink(device, false, *this, bytesPerSecond);
    return true;
}

void SimulatorServer::finish() {
    close();
    m_terminal.finish();
}

void SimulatorServer::close() {
    if (m_tcp)
        m_tcp->close();
    const auto links = findChildren<SimulatorLink*>();
    for (SimulatorLink* link : links)
        delete link;
    m_serialLink = nullptr;
    m_holder = nullptr;
}

quint16 SimulatorServer::port() const {
    return m_tcp ? m_tcp->serverPort() : 0;
}

bool SimulatorServer::tryHold(SimulatorLink* link) {
    if (m_holder && m_holder != link)
        return false;
    m_holder = link;
    return true;
}

void SimulatorServer::release(SimulatorLink* link) {
    if (m_holder == link)
        m_holder = nullptr;
}

void SimulatorServer::acceptConnections() {
    while (QTcpSocket* socket = m_tcp->nextPendingConnection()) {
        socket->setParent(this);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        socket->setReadBufferSize(SimulatorLink::kMaxBacklog);
        keepConnectionAlive(*socket);
        log(QStringLiteral("connection from %1").arg(socket->peerAddress().toString()));
        new SimulatorLink(socket, true, *this);
    }
}

} // namespace selvenor::sim
