#include "SimulatorLink.h"

#include "PtyDevice.h"
#include "SimulatorServer.h"
#include "terminal/Command.h"

#include <QAbstractSocket>
#include <QIODevice>

namespace selvenor::sim {

using protocol::Command;
using protocol::Frame;
using protocol::FrameDecoder;

namespace {

QString droppedNote(FrameDecoder::Status status) {
    switch (status) {
    case FrameDecoder::Status::Corrupt:
        return QStringLiteral("dropped a frame with a bad CRC");
    case FrameDecoder::Status::Oversized:
        return QStringLiteral("dropped a frame with an oversized length");
    case FrameDecoder::Status::Expired:
        return QStringLiteral("dropped a frame cut short (not complete %1 ms after its first "
                              "byte)")
            .arg(FrameDecoder::kPartialFrameTimeoutMs);
    case FrameDecoder::Status::NeedMore:
    case FrameDecoder::Status::Frame:
        break;
    }
    return QString();
}

} // namespace

SimulatorLink::SimulatorLink(QIODevice* device, bool connection, SimulatorServer& server,
                             int lineBytesPerSecond)
    : QObject(&server)
    , m_device(device)
    , m_connection(connection)
    , m_server(server) {
    m_decoder.setLineBytesPerSecond(lineBytesPerSecond);
    connect(device, &QIODevice::readyRead, this, &SimulatorLink::readIncoming);
    connect(device, &QIODevice::bytesWritten, this, &SimulatorLink::resumeIfDrained);
    if (auto* socket = qobject_cast<QAbstractSocket*>(device))
        connect(socket, &QAbstractSocket::disconnected, this, [this, socket] {
            endSession();
            socket->deleteLater();
            deleteLater();
        });
    m_partialFrame.setSingleShot(true);
    connect(&m_partialFrame, &QTimer::timeout, this, &SimulatorLink::readIncoming);
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, &SimulatorLink::checkIdle);
    if (connection)
        noteRequest(); // a connection that never sends a request is closed too
}

SimulatorLink::~SimulatorLink() {
    endSession();
}

void SimulatorLink::endSession() {
    if (m_server.isHolder(this))
        m_server.release(this);
    m_server.terminal().endSession(m_session);
}

qint64 SimulatorLink::backlog() const {
    return m_delayedBytes + (m_device ? m_device->bytesToWrite() : 0);
}

void SimulatorLink::readIncoming() {
    while (m_device && !m_closing && !m_paused) {
        const QByteArray bytes = m_device->read(m_decoder.room());
        m_decoder.feed(bytes);
        if (!answerBufferedFrames() || bytes.isEmpty())
            break;
    }
    armPartialFrameTimer();
}

// Answers the frames the decoder holds, as long as the replies waiting to go out stay within
// their bound; false when the link stops reading (paused or closing).
bool SimulatorLink::answerBufferedFrames() {
    Frame frame;
    while (!m_closing) {
        if (backlog() > kMaxBacklog) {
            setPaused(true);
            return false;
        }
        const FrameDecoder::Status status = m_decoder.take(frame);
        if (status == FrameDecoder::Status::NeedMore)
            return true;
        if (status == FrameDecoder::Status::Frame)
            answer(frame);
        else
            m_server.log(droppedNote(status));
    }
    return false;
}

void SimulatorLink::resumeIfDrained() {
    if (m_paused && backlog() <= kMaxBacklog) {
        setPaused(false);
        readIncoming();
    }
}

void SimulatorLink::setPaused(bool paused) {
    m_paused = paused;
    // A socket stops reading by itself once its read buffer is full; the pseudo-terminal has no
    // buffer and must be told.
    if (auto* pty = qobject_cast<PtyDevice*>(m_device.data()))
        pty->setReadPaused(paused);
}

void SimulatorLink::armPartialFrameTimer() {
    const qint64 ms = m_decoder.msUntilExpiry();
    if (ms < 0 || m_paused || m_closing)
        m_partialFrame.stop();
    else
        m_partialFrame.start(int(ms));
}

void SimulatorLink::noteRequest() {
    m_sinceRequest.start();
    if (!m_idle.isActive())
        m_idle.start(m_server.terminal().idleTimeoutMs());
}

void SimulatorLink::checkIdle() {
    const qint64 left = m_server.terminal().idleTimeoutMs() - m_sinceRequest.elapsed();
    if (left > 0) {
        m_idle.start(int(left));
        return;
    }
    const QString silence =
        QStringLiteral("no request for %1 s").arg(m_server.terminal().idleTimeoutMs() / 1000);
    if (holdsSession())
        m_server.log(QStringLiteral("session ended: ") + silence);
    else if (m_connection)
        m_server.log(QStringLiteral("connection closed: ") + silence);
    if (m_connection)
        dropLink();
    else
        endSession();
}

void SimulatorLink::answer(const Frame& frame) {
    if (frame.reply)
        return;
    noteRequest();
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
    if (delay <= 0) {
        write();
        return;
    }
    m_delayedBytes += bytes.size();
    QTimer::singleShot(delay, this, [this, write, size = bytes.size()] {
        m_delayedBytes -= size;
        write();
        resumeIfDrained();
    });
}

void SimulatorLink::dropLink() {
    endSession();
    m_idle.stop();
    if (auto* socket = qobject_cast<QAbstractSocket*>(m_device.data())) {
        m_closing = true;
        socket->abort();
    }
}

} // namespace selvenor::sim
