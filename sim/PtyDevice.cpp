#include "PtyDevice.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace selvenor::sim {

PtyDevice::PtyDevice(QObject* parent)
    : QIODevice(parent) {}

PtyDevice::~PtyDevice() {
    close();
}

bool PtyDevice::create(QString* error) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        if (error)
            *error = QStringLiteral("cannot create a pseudo-terminal: %1").arg(qt_error_string());
        close();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
    m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
    termios raw{};
    if (m_slave < 0 || tcgetattr(m_slave, &raw) != 0) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(m_slavePath, qt_error_string());
        close();
        return false;
    }
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, [this] { emit readyRead(); });
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] { flushPending(); });
    return QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

qint64 PtyDevice::bytesAvailable() const {
    int count = 0;
    if (m_master >= 0 && ::ioctl(m_master, FIONREAD, &count) == 0)
        return count + QIODevice::bytesAvailable();
    return QIODevice::bytesAvailable();
}

void PtyDevice::close() {
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
    m_pending.clear();
    if (isOpen())
        QIODevice::close();
}

qint64 PtyDevice::readData(char* data, qint64 maxSize) {
    const ssize_t n = ::read(m_master, data, size_t(maxSize));
    return n > 0 ? n : 0;
}

qint64 PtyDevice::writeData(const char* data, qint64 size) {
    m_pending.append(data, size);
    flushPending();
    return size;
}

void PtyDevice::setReadPaused(bool paused) {
    if (m_readNotifier)
        m_readNotifier->setEnabled(!paused);
}

void PtyDevice::flushPending() {
    qint64 written = 0;
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n <= 0)
            break;
        m_pending.remove(0, n);
        written += n;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_pending.isEmpty());
    if (written > 0)
        emit bytesWritten(written);
}

} // namespace selvenor::sim
