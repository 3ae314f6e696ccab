#pragma once

class QAbstractSocket;

namespace selvenor {

// TCP keepalive on a connected socket: probes after 10 s of silence, every 5 s, and three
// unanswered close the connection. So a connection whose other end lost power or its cable is
// noticed in about 25 s, whatever the session's own timers say. Both ends of a terminal link
// use it.
inline constexpr int kKeepAliveIdleS = 10;
inline constexpr int kKeepAliveIntervalS = 5;
inline constexpr int kKeepAliveProbes = 3;

void keepConnectionAlive(QAbstractSocket& socket);

} // namespace selvenor
