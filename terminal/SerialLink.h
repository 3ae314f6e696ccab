#pragma once

#include "TerminalLink.h"

class QSerialPort;

namespace selvenor {

// The "com" and "usb" links: a serial device at a baud rate. `paced` says whether the baud rate
// really limits the line (a COM port) or not (a USB terminal presenting a serial device).
class SerialLink : public TerminalLink {
public:
    SerialLink(QString devicePath, int baudRate, bool paced);

    int open(QDeadlineTimer deadline) override;
    int wireTimeMs(int bytes) const override;
    int lineBytesPerSecond() const override;
    int chunkRecords(int recordBytes) const override;

    // Device of COM port `port`: $SELVENOR_COM<port>, else /dev/ttyS<port - 1>.
    static QString comDevice(int port);
    // Device of the USB terminal: $SELVENOR_USB_DEVICE, else /dev/ttyACM0.
    static QString usbDevice();

private:
    QSerialPort& port();

    QString m_path;
    int m_baud;
    bool m_paced;
};

} // namespace selvenor
