#include "TerminalSession.h"

#include "common/OperatorInterface.h"
#include "common/TextFunctions.h"
#include "registry/NetPort.h"
#include "registry/TerminalRecord.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

TerminalSession::TerminalSession(TFP_CLOCK& clock)
    : m_clock(clock) {}

bool TerminalSession::connect(const TerminalRecord& terminal, OperatorInterface& ui) {
    if (m_connected)
        disconnect();
    m_lastConnectResult = kNoResultCode;
    m_machineNumber = StrToInt(terminal.TerminalNo);
    if (!openLink(terminal)) {
        ui.showMessage(QStringLiteral("Hata..Bağlantı Kurulamadı...."));
        return false;
    }
    m_connected = true;
    m_connectedTerminalName = terminal.Terminal;
    m_connectedTerminalId = terminal.id;
    return true;
}

bool TerminalSession::openLink(const TerminalRecord& terminal) {
    if (terminal.Tip == QLatin1String("ethernet")) {
        QString address = terminal.Ip;
        const int port = StrToInt(terminal.NetPort);
        const int password = StrToInt(terminal.Sifre);
        requireNetPort(port);
        m_clock.ConfigureNetwork(address, port, password);
    } else if (terminal.Tip == QLatin1String("com")) {
        if (!terminal.ComPort.isEmpty() && !terminal.ComBaud.isEmpty()) {
            const int port = StrToInt(terminal.ComPort);
            const int baud = StrToInt(terminal.ComBaud);
            m_clock.setCommPort(port);
            m_clock.setBaudrate(baud);
        }
        m_clock.selectComPort();
    } else if (terminal.Tip == QLatin1String("usb")) {
        m_clock.setIsUSB(true);
    } else {
        return false;
    }
    if (m_clock.OpenConnection(m_machineNumber))
        return true;
    int code = kNoResultCode;
    if (m_clock.GetLastErrorCode(code))
        m_lastConnectResult = code;
    return false;
}

void TerminalSession::disconnect() {
    m_connected = false;
    m_clock.CloseConnection();
}

} // namespace selvenor
