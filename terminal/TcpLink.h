#pragma once

#include "TerminalLink.h"

class QTcpSocket;

namespace selvenor {

// The "ethernet" link: a TCP connection to the terminal's address and port.
class TcpLink : public TerminalLink {
public:
    TcpLink(QString address, quint16 port);

    int open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override;
    bool stillOpen() override;

private:
    QTcpSocket& socket();
    const QTcpSocket& socket() const;

    QString m_address;
    quint16 m_port;
};

} // namespace selvenor
