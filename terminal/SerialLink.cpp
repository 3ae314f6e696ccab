#include "SerialLink.h"

#include "FrameDecoder.h"
#include "Messages.h"
#include "ResultCode.h"

#include <QSerialPort>

namespace selvenor {

namespace {

constexpr int kBitsPerByte = 10; // start bit, 8 data bits, stop bit
// A chunk of one record still goes through a line as slow as 10 baud within an operation's
// limit; more would not.
constexpr int kMinChunkRecords = 1;

} // namespace

SerialLink::SerialLink(QString devicePath, int baudRate, bool paced)
    : TerminalLink(std::make_unique<QSerialPort>())
    , m_path(std::move(devicePath))
    , m_baud(baudRate > 0 ? baudRate : 115200)
    , m_paced(paced) {}

QSerialPort& SerialLink::port() {
    return static_cast<QSerialPort&>(device());
}

int SerialLink::open(QDeadlineTimer) {
    if (m_path.isEmpty())
        return ERR_COMPORT_ERROR;
    port().setPortName(m_path);
    port().setReadBufferSize(2 * protocol::FrameDecoder::kBufferCapacity);
    if (!port().open(QIODevice::ReadWrite))
        return ERR_COMPORT_ERROR;
    const bool configured = port().setBaudRate(m_baud) && port().setDataBits(QSerialPort::Data8) &&
                            port().setParity(QSerialPort::NoParity) &&
                            port().setStopBits(QSerialPort::OneStop) &&
                            port().setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        port().close();
        return ERR_COMPORT_ERROR;
    }
    port().clear();
    return SUCCESS;
}

int SerialLink::wireTimeMs(int bytes) const {
    if (!m_paced)
        return 0;
    return int(qint64(bytes) * kBitsPerByte * 1000 / m_baud) + 1;
}

int SerialLink::lineBytesPerSecond() const {
    if (!m_paced)
        return 0;
    return qMax(1, m_baud / kBitsPerByte);
}

int SerialLink::chunkRecords(int recordBytes) const {
    if (!m_paced)
        return protocol::kMaxChunkRecords;
    // About one second of line time per chunk, so the window gets its events between chunks.
    const int perSecond = m_baud / kBitsPerByte / qMax(1, recordBytes);
    return qBound(kMinChunkRecords, perSecond, protocol::kMaxChunkRecords);
}

QString SerialLink::comDevice(int portNumber) {
    const QByteArray variable = "SELVENOR_COM" + QByteArray::number(portNumber);
    const QString overridden = qEnvironmentVariable(variable.constData());
    if (!overridden.isEmpty())
        return overridden;
    if (portNumber < 1)
        return QString();
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
}

QString SerialLink::usbDevice() {
    const QString overridden = qEnvironmentVariable("SELVENOR_USB_DEVICE");
    return overridden.isEmpty() ? QStringLiteral("/dev/ttyACM0") : overridden;
}

} // namespace selvenor
