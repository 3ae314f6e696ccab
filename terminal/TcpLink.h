#pragma once

#include "TerminalLink.h"

class QTcpSocket;

namespace selvenor {

// The "ethernet" link: a TCP connection to the terminal's address and port. A port outside
// 1 to 65535 opens nothing (ERR_COMPORT_ERROR); it is never cut down to 16 bits.
class TcpLink : public TerminalLink {
public:
    TcpLink(QString address, int port);

    int open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override;
    bool stillOpen() override;

private:
    QTcpSocket& socket();
    const QTcpSocket& socket() const;

    QString m_address;
    int m_port;
};

} // namespace selvenor
