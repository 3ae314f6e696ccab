#include "TerminalLink.h"

#include "Messages.h"
#include "WaitingHook.h"

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

WaitingHook& TerminalLink::waitingHook() {
    static WaitingHook none;
    return m_hook ? *m_hook : none;
}

int TerminalLink::sliceMs(QDeadlineTimer deadline) const {
    const QDeadlineTimer slice = m_hook ? m_hook->sliceOf(deadline) : deadline;
    return int(qMax<qint64>(0, slice.remainingTime()));
}

void TerminalLink::runWaitingHook() {
    if (m_hook)
        m_hook->maybeRun();
}

bool TerminalLink::write(const QByteArray& bytes, QDeadlineTimer deadline) {
    if (!isOpen() || m_device->write(bytes) != bytes.size())
        return false;
    m_sent += quint64(bytes.size());
    while (m_device->bytesToWrite() > 0) {
        if (deadline.hasExpired())
            return false;
        if (!m_device->waitForBytesWritten(sliceMs(deadline)) && !isOpen())
            return false;
        runWaitingHook();
    }
    return true;
}

bool TerminalLink::waitForData(QDeadlineTimer deadline) {
    for (;;) {
        runWaitingHook();
        if (!isOpen())
            return false;
        if (m_device->bytesAvailable() > 0)
            return true;
        if (m_device->waitForReadyRead(sliceMs(deadline)))
            return true;
        if (!isOpen() || deadline.hasExpired())
            return false;
    }
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
