#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <thread>

// A serial line that carries baud / 10 bytes a second in each direction, as a COM port does
// (start bit, 8 data bits, stop bit), which a pseudo-terminal does not. The client opens
// clientPath(), a pseudo-terminal of the line's own; a thread relays its bytes to and from the
// terminal's device (the simulator's pseudo-terminal), no faster than the line would. Without a
// terminal's device the line is silent: what the client sends goes nowhere.
class PacedSerialLine {
public:
    PacedSerialLine(const QString& terminalDevice, int baud);
    ~PacedSerialLine();
    PacedSerialLine(const PacedSerialLine&) = delete;
    PacedSerialLine& operator=(const PacedSerialLine&) = delete;

    // False when a pseudo-terminal or the terminal's device could not be opened; error() says
    // why.
    bool isOpen() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString clientPath() const { return m_clientPath; }
    // Points $SELVENOR_COM<port> at clientPath() for the control's "com" link.
    void exportComPort(int port) const;

private:
    // The bytes waiting to go one way and when the line can take the next one.
    struct Direction {
        int from = -1;
        int to = -1;
        QByteArray pending;
        double nextByteAtMs = 0;
    };
    void relay();
    void readInto(Direction& direction);
    void sendDue(Direction& direction, double nowMs);

    QString m_error;
    QString m_clientPath;
    int m_master = -1;      // the line's end of the client's pseudo-terminal
    int m_clientSlave = -1; // held open, so the pair survives the client closing its end
    int m_terminal = -1;
    double m_msPerByte;
    Direction m_toTerminal;
    Direction m_toClient;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
