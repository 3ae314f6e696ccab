#pragma once

#include <QDeadlineTimer>
#include <QString>

namespace selvenor {

class WaitingHook;

// Opens a TCP connection to `address` (a literal address, else a host name looked up first)
// and `port` by the deadline, letting `hook` run while it waits for the other side. Returns the
// connected socket descriptor, or -1 when it was refused, unreachable or not answered in time.
int connectTcp(const QString& address, quint16 port, QDeadlineTimer deadline, WaitingHook& hook);

} // namespace selvenor
