#pragma once

#include "terminal/Command.h"
#include "terminal/Frame.h"
#include "terminal/FrameDecoder.h"

#include <QByteArray>
#include <QList>
#include <QTcpSocket>

// A client that speaks frames byte by byte over TCP, as a script attacking a terminal would:
// whatever it sends goes out as given, and it reads replies only when told to.
class RawClient {
public:
    bool connectTo(quint16 port);
    void send(const QByteArray& bytes);
    // The next reply, or a frame with result 255 when none came within `timeoutMs`.
    selvenor::protocol::Frame reply(int timeoutMs = 3000);
    // Frames of the replies that arrive within `timeoutMs`, up to `count`.
    int countReplies(int count, int timeoutMs);
    // True once the terminal has closed the connection (waits up to `timeoutMs`).
    bool closedByPeer(int timeoutMs);

    static QByteArray request(selvenor::protocol::Command command, quint16 sequence,
                              const QByteArray& payload = {}, qint32 machine = 1);

    QTcpSocket socket;

private:
    selvenor::protocol::FrameDecoder m_decoder;
};
