#include "TerminalSession.h"

#include "common/ForwardingOperator.h"
#include "common/TextFunctions.h"
#include "registry/NetPort.h"
#include "registry/TerminalRecord.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

#include <QDeadlineTimer>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <utility>

namespace selvenor {

namespace {

// The operator of a connection attempt that may be repeated: its plain messages wait until
// the attempt counts (replay) or is repeated (forget); everything else goes through.
class HeldMessages : public ForwardingOperator {
public:
    using ForwardingOperator::ForwardingOperator;
    void showMessage(const QString& text) override { m_held << text; }

    void replay() {
        for (const QString& text : std::exchange(m_held, {}))
            inner().showMessage(text);
    }
    void forget() { m_held.clear(); }

private:
    QStringList m_held;
};

} // namespace

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

bool TerminalSession::connectWhenFree(const TerminalRecord& terminal, OperatorInterface& ui,
                                      int waitMs) {
    const QDeadlineTimer deadline(waitMs);
    HeldMessages held(ui);
    while (!connect(terminal, held)) {
        const qint64 left = deadline.remainingTime();
        if (m_lastConnectResult != ERR_MULTIUSER || left == 0) {
            held.replay();
            return false;
        }
        held.forget();
        QThread::msleep(quint64(std::min<qint64>(left, kBusyRetryMs)));
    }
    held.replay();
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
