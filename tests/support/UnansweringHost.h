#pragma once

#include <QtGlobal>

// A loopback listener whose accept queue is full and never drained: the kernel drops further
// connection attempts, so a client sees a host that does not answer, as an unplugged terminal
// looks, without any packet leaving the machine.
class UnansweringHost {
public:
    UnansweringHost();
    ~UnansweringHost();
    UnansweringHost(const UnansweringHost&) = delete;
    UnansweringHost& operator=(const UnansweringHost&) = delete;

    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    int m_fillers[4] = {-1, -1, -1, -1};
    quint16 m_port = 0;
};
