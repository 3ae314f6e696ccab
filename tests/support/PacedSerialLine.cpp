#include "PacedSerialLine.h"

#include <QtGlobal>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kBitsPerByte = 10;
constexpr int kLongestPollMs = 5;

double steadyMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool makeRaw(int fd) {
    termios raw{};
    if (tcgetattr(fd, &raw) != 0)
        return false;
    cfmakeraw(&raw);
    return tcsetattr(fd, TCSANOW, &raw) == 0;
}

} // namespace

PacedSerialLine::PacedSerialLine(const QString& terminalDevice, int baud)
    : m_msPerByte(1000.0 * kBitsPerByte / qMax(1, baud)) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        m_error = QStringLiteral("cannot create a pseudo-terminal");
        return;
    }
    m_clientPath = QString::fromLocal8Bit(ptsname(m_master));
    m_clientSlave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
    if (m_clientSlave < 0 || !makeRaw(m_clientSlave)) {
        m_error = QStringLiteral("cannot open %1").arg(m_clientPath);
        return;
    }
    if (!terminalDevice.isEmpty()) {
        m_terminal =
            ::open(terminalDevice.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_terminal < 0 || !makeRaw(m_terminal)) {
            m_error = QStringLiteral("cannot open %1").arg(terminalDevice);
            return;
        }
    }
    m_toTerminal.from = m_master;
    m_toTerminal.to = m_terminal;
    m_toClient.from = m_terminal;
    m_toClient.to = m_master;
    m_thread = std::thread([this] { relay(); });
}

PacedSerialLine::~PacedSerialLine() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : {m_terminal, m_clientSlave, m_master}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void PacedSerialLine::exportComPort(int port) const {
    qputenv(QByteArray("SELVENOR_COM") + QByteArray::number(port), m_clientPath.toLocal8Bit());
}

void PacedSerialLine::relay() {
    while (!m_stop) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_terminal, POLLIN, 0}};
        ::poll(fds, m_terminal >= 0 ? 2 : 1, kLongestPollMs);
        readInto(m_toTerminal);
        readInto(m_toClient);
        const double now = steadyMs();
        sendDue(m_toTerminal, now);
        sendDue(m_toClient, now);
    }
}

void PacedSerialLine::readInto(Direction& direction) {
    if (direction.from < 0)
        return;
    char buffer[4096];
    const ssize_t n = ::read(direction.from, buffer, sizeof buffer);
    if (n <= 0 || direction.to < 0)
        return;
    // An idle line saves no time for later: the first byte after a pause starts the clock anew.
    if (direction.pending.isEmpty())
        direction.nextByteAtMs = qMax(direction.nextByteAtMs, steadyMs());
    direction.pending.append(buffer, n);
}

// Sends the bytes the line has carried by now.
void PacedSerialLine::sendDue(Direction& direction, double nowMs) {
    if (direction.pending.isEmpty())
        return;
    qsizetype due = 0;
    while (due < direction.pending.size() && direction.nextByteAtMs <= nowMs) {
        ++due;
        direction.nextByteAtMs += m_msPerByte;
    }
    if (due == 0)
        return;
    const ssize_t written = ::write(direction.to, direction.pending.constData(), size_t(due));
    const qsizetype sent = written > 0 ? written : 0;
    direction.nextByteAtMs -= double(due - sent) * m_msPerByte;
    direction.pending.remove(0, sent);
}
