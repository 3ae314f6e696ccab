#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QIODevice>
#include <QString>

#include <memory>

namespace selvenor {

class WaitingHook;

// One byte stream to a terminal: a TCP connection or a serial device. Blocking calls with
// deadlines, on the caller's thread. Counts the bytes that cross it.
class TerminalLink {
public:
    virtual ~TerminalLink();

    // Opens the link; returns a result code (SUCCESS or ERR_COMPORT_ERROR).
    virtual int open(QDeadlineTimer deadline) = 0;
    virtual void close();
    virtual bool isOpen() const;
    // Like isOpen(), but first takes notice of a close by the other side that arrived since the
    // last wait (a TCP connection the terminal ended while nobody was reading).
    virtual bool stillOpen();
    // Milliseconds that `bytes` take on the line; 0 where the link is not paced by a baud rate.
    virtual int wireTimeMs(int bytes) const;
    // Bytes a second the line carries when it is paced by a baud rate; 0 where it is not.
    virtual int lineBytesPerSecond() const;
    // How many records of `recordBytes` one chunk should ask for on this link.
    virtual int chunkRecords(int recordBytes) const;

    // Every wait of the link lets this hook run (none: the waits block to their deadline).
    void setWaitingHook(WaitingHook* hook) { m_hook = hook; }

    bool write(const QByteArray& bytes, QDeadlineTimer deadline);
    // Waits until bytes can be read; false on timeout or when the link is lost.
    bool waitForData(QDeadlineTimer deadline);
    QByteArray read(int maxBytes);
    // Discards whatever the other side sent before (stale replies of an earlier session).
    void discardInput();

    quint64 bytesSent() const { return m_sent; }
    quint64 bytesReceived() const { return m_received; }

protected:
    explicit TerminalLink(std::unique_ptr<QIODevice> device);
    QIODevice& device() { return *m_device; }
    const QIODevice& device() const { return *m_device; }
    WaitingHook& waitingHook();

private:
    // How long one blocking wait may take before the hook is due.
    int sliceMs(QDeadlineTimer deadline) const;
    void runWaitingHook();

    std::unique_ptr<QIODevice> m_device;
    WaitingHook* m_hook = nullptr;
    quint64 m_sent = 0;
    quint64 m_received = 0;
};

} // namespace selvenor
