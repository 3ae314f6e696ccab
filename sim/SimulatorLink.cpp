#include "SimulatorLink.h"

#include "SimulatorServer.h"
#include "terminal/Command.h"

#include <QAbstractSocket>
#include <QIODevice>
#include <QTimer>

namespace selvenor::sim {

namespace {

// A partial frame that gets no further byte for this long is thrown away (docs/protocol.md).
constexpr int kPartialFrameTimeoutMs = 500;

} // namespace

using protocol::Command;
using protocol::Frame;
using protocol::FrameDecoder;

SimulatorLink::SimulatorLink(QIODevice* device, bool connection, SimulatorServer& server)
    : QObject(&server)
    , m_device(device)
    , m_connection(connection)
    , m_server(server) {
    connect(device, &QIODevice::readyRead, this, &SimulatorLink::readIncoming);
    if (auto* socket = qobject_cast<QAbstractSocket*>(device))
        connect(socket, &QAbstractSocket::disconnected, this, [this, socket] {
            endSession();
            socket->deleteLater();
            deleteLater();
        });
}

SimulatorLink::~SimulatorLink() {
    endSession();
}

void SimulatorLink::endSession() {
    if (m_server.isHolder(this))
        m_server.release(this);
    m_server.terminal().endSession(m_session);
}

void SimulatorLink::readIncoming() {
    while (m_device && !m_closing) {
        const QByteArray bytes = m_device->read(m_decoder.room());
        m_decoder.feed(bytes);
        Frame frame;
        for (;;) {
            const FrameDecoder::Status status = m_decoder.take(frame);
            if (status == FrameDecoder::Status::NeedMore)
                break;
            if (status == FrameDecoder::Status::Frame)
                answer(frame);
            else
                m_server.log(status == FrameDecoder::Status::Corrupt
                                 ? QStringLiteral("dropped a frame with a bad CRC")
                                 : QStringLiteral("dropped a frame with an oversized length"));
            if (m_closing)
                return;
        }
        if (bytes.isEmpty())
            break;
    }
}

void SimulatorLink::answer(const Frame& frame) {
    if (frame.reply)
        return;
    if (frame.command == quint8(Command::Hello) && !m_server.tryHold(this)) {
        m_server.log(QStringLiteral("#%1 OpenConnection refused: another client holds the terminal")
                         .arg(frame.sequence));
        send(m_server.terminal().busyReply(frame), m_connection);
        return;
    }
    const SimulatedTerminal::Outcome outcome = m_server.terminal().handle(frame, m_session);
    if (outcome.reply.isEmpty()) {
        if (outcome.closeLink)
            dropLink();
        return;
    }
    send(outcome.reply, outcome.closeLink);
    if (!holdsSession() && m_server.isHolder(this))
        m_server.release(this);
}

void SimulatorLink::send(const QByteArray& bytes, bool closeAfter) {
    const auto write = [this, bytes, closeAfter] {
        if (!m_device)
            return;
        m_device->write(bytes);
        if (!closeAfter)
            return;
        endSession();
        if (auto* socket = qobject_cast<QAbstractSocket*>(m_device.data())) {
            m_closing = true;
            socket->disconnectFromHost();
        }
    };
    const int delay = m_server.terminal().delayMs();
    if (delay > 0)
        QTimer::singleShot(delay, this, write);
    else
        write();
}

void SimulatorLink::dropLink() {
    endSession();
    if (auto* socket = qobject_cast<QAbstractSocket*>(m_device.data())) {
        m_closing = true;
        socket->abort();
    }
}

} // namespace selvenor::sim
