#include "RawClient.h"

#include <QDeadlineTimer>
#include <QHostAddress>

using namespace selvenor::protocol;

bool RawClient::connectTo(quint16 port) {
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(3000);
}

void RawClient::send(const QByteArray& bytes) {
    socket.write(bytes);
    socket.waitForBytesWritten(1000);
}

Frame RawClient::reply(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    Frame frame;
    for (;;) {
        if (m_decoder.take(frame) == FrameDecoder::Status::Frame)
            return frame;
        if (deadline.hasExpired() ||
            (!socket.bytesAvailable() && !socket.waitForReadyRead(int(deadline.remainingTime())))) {
            Frame none;
            none.result = 255;
            return none;
        }
        m_decoder.feed(socket.read(m_decoder.room()));
    }
}

int RawClient::countReplies(int count, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    int received = 0;
    while (received < count && reply(int(qMax<qint64>(1, deadline.remainingTime()))).result != 255)
        ++received;
    return received;
}

bool RawClient::closedByPeer(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        socket.readAll();
    }
    return socket.state() != QAbstractSocket::ConnectedState;
}

QByteArray RawClient::request(Command command, quint16 sequence, const QByteArray& payload,
                              qint32 machine) {
    Frame f;
    f.command = quint8(command);
    f.sequence = sequence;
    f.machine = machine;
    f.payload = payload;
    return encodeFrame(f);
}
