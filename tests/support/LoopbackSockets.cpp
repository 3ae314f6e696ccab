#include "LoopbackSockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

bool portMatches(quint16 wanted, const sockaddr_in& address) {
    return wanted == 0 || ntohs(address.sin_port) == wanted;
}

} // namespace

int loopbackSocketBetween(quint16 ownPort, quint16 peerPort) {
    for (int fd = 3; fd < 4096; ++fd) {
        sockaddr_in local{}, peer{};
        socklen_t size = sizeof local;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0 ||
            local.sin_family != AF_INET)
            continue;
        size = sizeof peer;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) == 0 &&
            portMatches(ownPort, local) && portMatches(peerPort, peer))
            return fd;
    }
    return -1;
}

int socketOption(int fd, int level, int name) {
    int value = -1;
    socklen_t size = sizeof value;
    ::getsockopt(fd, level, name, &value, &size);
    return value;
}
