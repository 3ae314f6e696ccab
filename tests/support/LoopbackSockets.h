#pragma once

#include <QtGlobal>

// The test process's own loopback TCP sockets, to look at options the code under test set.

// The socket whose own port is `ownPort` and whose peer's is `peerPort` (0: any); -1 if none.
int loopbackSocketBetween(quint16 ownPort, quint16 peerPort);

// getsockopt of an integer option; -1 when it cannot be read.
int socketOption(int fd, int level, int name);
