#include "TcpLink.h"

#include "FrameDecoder.h"
#include "KeepAlive.h"
#include "ResultCode.h"
#include "TcpConnect.h"

#include <QTcpSocket>

#include <unistd.h>

namespace selvenor {

TcpLink::TcpLink(QString address, int port)
    : TerminalLink(std::make_unique<QTcpSocket>())
    , m_address(std::move(address))
    , m_port(port) {}

QTcpSocket& TcpLink::socket() {
    return static_cast<QTcpSocket&>(device());
}

const QTcpSocket& TcpLink::socket() const {
    return static_cast<const QTcpSocket&>(device());
}

int TcpLink::open(QDeadlineTimer deadline) {
    if (m_address.trimmed().isEmpty() || m_port < 1 || m_port > 65535)
        return ERR_COMPORT_ERROR;
    // Connected here rather than by the socket, so the wait can let the waiting hook run.
    const int fd = connectTcp(m_address.trimmed(), quint16(m_port), deadline, waitingHook());
    if (fd < 0)
        return ERR_COMPORT_ERROR;
    // Bounded, so a terminal that floods the line cannot make the control buffer without limit.
    socket().setReadBufferSize(2 * protocol::FrameDecoder::kBufferCapacity);
    if (!socket().setSocketDescriptor(fd)) {
        ::close(fd);
        return ERR_COMPORT_ERROR;
    }
    socket().setSocketOption(QAbstractSocket::LowDelayOption, 1);
    keepConnectionAlive(socket());
    return SUCCESS;
}

void TcpLink::close() {
    socket().abort();
}

bool TcpLink::isOpen() const {
    return socket().state() == QAbstractSocket::ConnectedState;
}

bool TcpLink::stillOpen() {
    // A look without waiting: reads what is there, and so finds the end of the stream.
    if (isOpen() && socket().bytesAvailable() == 0)
        socket().waitForReadyRead(0);
    return isOpen();
}

} // namespace selvenor
