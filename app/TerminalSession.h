#pragma once

#include <QString>

namespace selvenor {

class OperatorInterface;
class TFP_CLOCK;
struct TerminalRecord;

// The connection state that every terminal command works with, and the steps that connect the
// control to one terminal of the registry and disconnect it again.
//
// The machine number is the TerminalNo of the last connection attempt, successful or not, and
// survives disconnecting: the popup-menu commands address it whether or not a connection is
// open. The connected terminal name is that of the terminal connected last.
class TerminalSession {
public:
    static constexpr int kNoResultCode = -1;

    explicit TerminalSession(TFP_CLOCK& clock);

    TFP_CLOCK& clock() const { return m_clock; }
    int machineNumber() const { return m_machineNumber; }
    QString connectedTerminalName() const { return m_connectedTerminalName; }
    // The Terminal row (id) of the terminal connected last; 0 before any connection.
    qint64 connectedTerminalId() const { return m_connectedTerminalId; }
    bool isConnected() const { return m_connected; }

    // Result code of the last failed connection attempt; kNoResultCode when the attempt made no
    // control call (a Tip that names no link kind) or succeeded.
    int lastConnectResult() const { return m_lastConnectResult; }

    // Configures the control for the terminal's own link, whatever link it used before, and
    // opens the connection:
    // "ethernet": ConfigureNetwork(Ip, NetPort, Sifre) (TCP), then OpenConnection;
    // "com": the serial line, with CommPort and Baudrate from ComPort and ComBaud when both texts
    //        are non-empty (else the port and speed the control held), then OpenConnection;
    // "usb": IsUSB set, then OpenConnection;
    // any other Tip (compared exactly): no control call, the attempt fails.
    // On failure shows "Hata..Bağlantı Kurulamadı...." and returns false. A TerminalNo, NetPort,
    // Sifre, ComPort or ComBaud that is no integer, and a NetPort outside 1 to 65535, throw
    // ConversionError, not connected.
    bool connect(const TerminalRecord& terminal, OperatorInterface& ui);
    // connect(), trying again every kBusyRetryMs while another client holds the terminal
    // (ERR_MULTIUSER: the window's session, or one left idle until the terminal ends it) until
    // `waitMs` has passed. The operator hears only the last attempt's messages.
    bool connectWhenFree(const TerminalRecord& terminal, OperatorInterface& ui, int waitMs);
    static constexpr int kBusyRetryMs = 2000;

    // Closes the connection. The machine number and the connected terminal name stay.
    void disconnect();

private:
    bool openLink(const TerminalRecord& terminal);

    TFP_CLOCK& m_clock;
    int m_machineNumber = 0;
    QString m_connectedTerminalName;
    qint64 m_connectedTerminalId = 0;
    bool m_connected = false;
    int m_lastConnectResult = kNoResultCode;
};

} // namespace selvenor
