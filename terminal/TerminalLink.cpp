#include "TerminalLink.h"

#include "Messages.h"

namespace selvenor {

TerminalLink::TerminalLink(std::unique_ptr<QIODevice> device)
    : m_device(std::move(device)) {}

TerminalLink::~TerminalLink() = default;

void TerminalLink::close() {
    m_device->close();
}

bool TerminalLink::isOpen() const {
    return m_device->isOpen();
}

bool TerminalLink::stillOpen() {
    return isOpen();
}

int TerminalLink::wireTimeMs(int) const {
    return 0;
}

int TerminalLink::lineBytesPerSecond() const {
    return 0;
}

int TerminalLink::chunkRecords(int) const {
    return protocol::kMaxChunkRecords;
}

bool TerminalLink::write(const QByteArray& bytes, QDeadlineTimer deadline) {
    if (!isOpen() || m_device->write(bytes) != bytes.size())
        return false;
    m_sent += quint64(bytes.size());
    while (m_device->bytesToWrite() > 0) {
        if (deadline.hasExpired() || !m_device->waitForBytesWritten(int(deadline.remainingTime())))
            return m_device->bytesToWrite() == 0;
    }
    return true;
}

bool TerminalLink::waitForData(QDeadlineTimer deadline) {
    if (!isOpen())
        return false;
    if (m_device->bytesAvailable() > 0)
        return true;
    return m_device->waitForReadyRead(int(qMax<qint64>(0, deadline.remainingTime())));
}

QByteArray TerminalLink::read(int maxBytes) {
    QByteArray bytes = m_device->read(maxBytes);
    m_received += quint64(bytes.size());
    return bytes;
}

void TerminalLink::discardInput() {
    if (isOpen())
        m_device->readAll();
}

} // namespace selvenor
