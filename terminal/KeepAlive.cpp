#include "KeepAlive.h"

#include <QAbstractSocket>
#include <QVariant>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace selvenor {

void keepConnectionAlive(QAbstractSocket& socket) {
    socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    const int fd = int(socket.socketDescriptor());
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepAliveIdleS, sizeof kKeepAliveIdleS);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepAliveIntervalS, sizeof kKeepAliveIntervalS);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepAliveProbes, sizeof kKeepAliveProbes);
}

} // namespace selvenor
