// What an attacker or a careless client costs a terminal: the real selvenor-sim program, state on
// disk, against a megabyte of frame markers, a client that never reads its replies, a client that
// holds the terminal and goes silent, and a password guesser.
//
//   build/bin/bench_link_stress [--no-idle]   (--no-idle skips the minute of the silent holder)

#include "bench/BenchMachine.h"
#include "bench/BenchSimulator.h"
#include "terminal/Command.h"
#include "terminal/Frame.h"
#include "terminal/FrameDecoder.h"
#include "terminal/Messages.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace selvenor;
using namespace selvenor::protocol;

namespace {

constexpr qint32 kPassword = 123456;

sim::TerminalState terminalWithRecords(int records) {
    sim::TerminalState state;
    state.password = kPassword;
    for (int i = 0; i < records; ++i) {
        sim::StoredRecord r;
        r.record = LogRecord{quint32(i + 1), 1000 + i % 50, 1, 2012, 3, 5, 8, quint8(i % 60)};
        state.logs.push_back(r);
    }
    state.nextSequence = quint32(records + 1);
    return state;
}

qint64 memoryKb(qint64 pid, const char* field) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    return -1;
}

QByteArray request(Command command, quint16 sequence, const QByteArray& payload = {}) {
    Frame f;
    f.command = quint8(command);
    f.sequence = sequence;
    f.machine = 1;
    f.payload = payload;
    return encodeFrame(f);
}

// A client that speaks frames over its own socket.
class RawSession {
public:
    bool open(quint16 port) {
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        return m_socket.waitForConnected(3000);
    }
    void send(const QByteArray& bytes) {
        m_socket.write(bytes);
        while (m_socket.bytesToWrite() > 0 && m_socket.waitForBytesWritten(5000)) {
        }
    }
    Frame reply(int timeoutMs = 5000) {
        QElapsedTimer timer;
        timer.start();
        Frame frame;
        while (timer.elapsed() < timeoutMs) {
            if (m_decoder.take(frame) == FrameDecoder::Status::Frame)
                return frame;
            if (m_socket.bytesAvailable() == 0 && !m_socket.waitForReadyRead(50)) {
                if (m_socket.state() != QAbstractSocket::ConnectedState)
                    break; // the terminal closed the link
                continue;
            }
            const QByteArray bytes = m_socket.read(m_decoder.room());
            m_decoder.feed(bytes);
        }
        frame.result = 255;
        return frame;
    }
    Frame ask(Command command, const QByteArray& payload = {}) {
        send(request(command, ++m_sequence, payload));
        return reply();
    }

private:
    QTcpSocket m_socket;
    FrameDecoder m_decoder;
    quint16 m_sequence = 0;
};

bool controlAnswers(quint16 port, int timeoutMs) {
    TFP_CLOCK clock;
    clock.setTimeoutMs(timeoutMs);
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, port, kPassword);
    if (!clock.OpenConnection(1))
        return false;
    int year, month, day, hour, minute, dayOfWeek;
    const bool answered = clock.GetTerminalTime(1, year, month, day, hour, minute, dayOfWeek);
    clock.CloseConnection();
    return answered;
}

void markerFlood(DiskSimulator& sim) {
    const QByteArray unit("\xA5\x5A\x00\x00\x00\x3F\xEE", 7);
    const QByteArray flood = unit.repeated((1 << 20) / unit.size());
    RawSession attacker;
    attacker.open(sim.port());
    const qint64 cpuBefore = sim.cpuMs();
    QElapsedTimer timer;
    timer.start();
    attacker.send(flood);
    const qint64 sentMs = timer.elapsed();
    const bool answered = controlAnswers(sim.port(), 5000);
    const qint64 answeredMs = timer.elapsed();
    QThread::msleep(2000); // whatever of the burst is still waiting to be read
    std::printf("1 MB of markers (each announcing the largest frame): sent in %lld ms, the control "
                "%s %lld ms after the first byte; simulator CPU for all of it %lld ms\n",
                sentMs, answered ? "answered" : "NOT answered", answeredMs,
                sim.cpuMs() - cpuBefore);
}

void clientThatDoesNotRead(DiskSimulator& sim) {
    RawSession client;
    client.open(sim.port());
    client.ask(Command::Hello);
    const qint64 before = memoryKb(sim.processId(), "VmRSS:");
    const QByteArray query = encodeLogQuery(LogQuery{LogMode::All, 0, 0xFFFFFFFFu, 1024});
    QByteArray burst;
    for (int i = 0; i < 4000; ++i)
        burst += request(Command::FetchLogChunk, quint16(100 + i), query);
    client.send(burst);
    QThread::msleep(3000);
    std::printf("4000 pipelined chunk requests (about 60 MB of replies), none read for 3 s: "
                "simulator resident memory grew by %lld KiB\n",
                memoryKb(sim.processId(), "VmRSS:") - before);
}

// A refused Authenticate closes the link, so each guess is a connection, a Hello and an
// Authenticate, as a guessing script does it.
int guess(quint16 port, qint32 password) {
    RawSession guesser;
    if (!guesser.open(port))
        return -1;
    HelloReply hello;
    decodeHelloReply(guesser.ask(Command::Hello).payload, hello);
    return guesser.ask(Command::Authenticate, authResponse(password, hello.nonce)).result;
}

void passwordGuesses(DiskSimulator& sim) {
    QElapsedTimer timer;
    timer.start();
    int refused = 0;
    for (int wrong = 0; wrong < 321; ++wrong)
        refused += guess(sim.port(), wrong) == ERR_AUTH_FAILED;
    const int right = guess(sim.port(), kPassword);
    std::printf("321 wrong guesses then the right one in %lld ms: %d refused, the right one %s\n",
                timer.elapsed(), refused, right == SUCCESS ? "ACCEPTED" : "refused (locked out)");
}

void silentHolder(DiskSimulator& sim) {
    RawSession holder;
    holder.open(sim.port());
    HelloReply hello;
    decodeHelloReply(holder.ask(Command::Hello).payload, hello);
    holder.ask(Command::Authenticate, authResponse(kPassword, hello.nonce));
    holder.ask(Command::SetTerminalEnabled, QByteArray(1, '\0'));
    QElapsedTimer timer;
    timer.start();
    while (!controlAnswers(sim.port(), 2000) && timer.elapsed() < 120000)
        QThread::msleep(500);
    std::printf("a client that disabled the terminal and went silent: another got in %lld ms "
                "later\n",
                timer.elapsed());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const bool idle = !app.arguments().contains(QStringLiteral("--no-idle"));
    QTemporaryDir folder;
    std::printf("Machine: %d processors, %s; the simulator: a selvenor-sim process, state on "
                "disk, 1100 records\n",
                QThread::idealThreadCount(), qPrintable(cpuModel()));
    {
        DiskSimulator sim(folder.path(), QStringLiteral("flood"), terminalWithRecords(1100));
        markerFlood(sim);
    }
    {
        DiskSimulator sim(folder.path(), QStringLiteral("unread"), terminalWithRecords(1100));
        clientThatDoesNotRead(sim);
    }
    {
        DiskSimulator sim(folder.path(), QStringLiteral("guess"), terminalWithRecords(10));
        passwordGuesses(sim);
    }
    if (idle) {
        DiskSimulator sim(folder.path(), QStringLiteral("idle"), terminalWithRecords(10));
        silentHolder(sim);
    }
    return 0;
}
