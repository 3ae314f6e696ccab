#include "TcpConnect.h"

#include "WaitingHook.h"

#include <QHostAddress>
#include <QHostInfo>

#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace selvenor {

namespace {

QHostAddress resolve(const QString& address) {
    const QHostAddress literal(address);
    if (!literal.isNull())
        return literal;
    const QList<QHostAddress> found = QHostInfo::fromName(address).addresses();
    return found.isEmpty() ? QHostAddress() : found.first();
}

// The socket address of `host`; its size, 0 for an address of neither family.
socklen_t socketAddressOf(const QHostAddress& host, quint16 port, sockaddr_storage& storage) {
    std::memset(&storage, 0, sizeof storage);
    if (host.protocol() == QAbstractSocket::IPv4Protocol) {
        auto& v4 = reinterpret_cast<sockaddr_in&>(storage);
        v4.sin_family = AF_INET;
        v4.sin_port = htons(port);
        v4.sin_addr.s_addr = htonl(host.toIPv4Address());
        return sizeof v4;
    }
    if (host.protocol() == QAbstractSocket::IPv6Protocol) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(storage);
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(port);
        const Q_IPV6ADDR bytes = host.toIPv6Address();
        std::memcpy(&v6.sin6_addr, &bytes, sizeof bytes);
        return sizeof v6;
    }
    return 0;
}

// Waits for a connection under way to succeed or fail, in slices that let the hook run.
bool awaitConnected(int fd, QDeadlineTimer deadline, WaitingHook& hook) {
    for (;;) {
        pollfd p{fd, POLLOUT, 0};
        const QDeadlineTimer slice = hook.sliceOf(deadline);
        if (::poll(&p, 1, int(qMax<qint64>(0, slice.remainingTime()))) > 0) {
            int error = 0;
            socklen_t size = sizeof error;
            return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
        }
        hook.maybeRun();
        if (deadline.hasExpired())
            return false;
    }
}

} // namespace

int connectTcp(const QString& address, quint16 port, QDeadlineTimer deadline, WaitingHook& hook) {
    sockaddr_storage storage;
    const socklen_t size = socketAddressOf(resolve(address), port, storage);
    if (size == 0)
        return -1;
    const int fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int started = ::connect(fd, reinterpret_cast<const sockaddr*>(&storage), size);
    if (started == 0 || (errno == EINPROGRESS && awaitConnected(fd, deadline, hook)))
        return fd;
    ::close(fd);
    return -1;
}

} // namespace selvenor
