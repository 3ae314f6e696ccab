// Times the terminal link over loopback against the in-process simulator and counts the bytes
// that cross it. Prints a Markdown report (docs/performance.md, "Terminal link").
//   bench_terminal_link [RECORDS] [USERS]
#include "bench/BenchMachine.h"
#include "support/SimulatorFixture.h"
#include "terminal/TFP_CLOCK.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QThread>

#include <cstdio>

using namespace selvenor;

namespace {

// What a record is to the caller: enroll number and verification value (4 bytes each), year
// (2), month, day, hour, minute (1 each).
constexpr int kRecordOwnBytes = 14;
constexpr int kBitsPerByte = 10;

struct Walk {
    int records = 0;
    qint64 walkMs = 0;
    qint64 ackMs = 0;
    quint64 bytes = 0;
};

QJsonObject logState(int count) {
    QJsonArray logs;
    for (int i = 1; i <= count; ++i)
        logs.append(SimulatorFixture::record(1 + i % 5000, i % 2 ? 1 : 1025, 2012, 1 + i % 12,
                                             1 + i % 28, i % 24, i % 60));
    return SimulatorFixture::state({{"logs", logs}});
}

quint64 linkBytes(const TFP_CLOCK& clock) {
    return clock.bytesSent() + clock.bytesReceived();
}

Walk walkRecords(TFP_CLOCK& clock) {
    Walk w;
    const quint64 before = linkBytes(clock);
    QElapsedTimer timer;
    timer.start();
    clock.ReadLogBuffer(1);
    int tm, enroll, em, verify, y, mo, d, h, mi;
    while (clock.NextLogRecord(1, tm, enroll, em, verify, y, mo, d, h, mi))
        ++w.records;
    w.walkMs = timer.elapsed();
    timer.restart();
    if (!clock.AcknowledgeLogRecords(1, clock.LastLogSequence()))
        std::fprintf(stderr, "acknowledgement failed\n");
    w.ackMs = timer.elapsed();
    w.bytes = linkBytes(clock) - before;
    return w;
}

// Over TCP loopback: times and bytes.
Walk tcpWalk(SimulatorFixture& sim) {
    TFP_CLOCK clock;
    QString host = sim.host();
    clock.ConfigureNetwork(host, sim.port(), 0);
    if (!clock.OpenConnection(1))
        std::fprintf(stderr, "cannot connect\n");
    Walk w = walkRecords(clock);
    return w;
}

// Over a pseudo-terminal at a nominal baud rate, which sets the chunk size: bytes only (a
// pseudo-terminal does not pace them).
Walk serialWalk(int records, int baud) {
    SimulatorFixture sim(logState(records), SimulatorFixture::Options{true, false});
    sim.exportComPort(1);
    TFP_CLOCK clock;
    clock.setCommPort(1);
    clock.setBaudrate(baud);
    clock.setTimeoutMs(10000);
    if (!clock.OpenConnection(1))
        std::fprintf(stderr, "cannot open the serial line\n");
    return walkRecords(clock);
}

struct UserWalk {
    int entries = 0;
    qint64 ms = 0;
};

UserWalk userWalk(int users) {
    QJsonArray entries;
    for (int i = 1; i <= users; ++i)
        entries.append(SimulatorFixture::user(i, i % 10));
    SimulatorFixture sim(SimulatorFixture::state({{"users", entries}}));
    TFP_CLOCK clock;
    QString host = sim.host();
    clock.ConfigureNetwork(host, sim.port(), 0);
    clock.OpenConnection(1);
    UserWalk w;
    QElapsedTimer timer;
    timer.start();
    clock.ReadAllUserID(1);
    int enroll, em, backup, privilege, enabled, password = 0;
    QVector<qint32> data(kEnrollDataSize, 0);
    while (clock.GetNextUserID(1, enroll, em, backup, privilege, enabled)) {
        if (clock.GetEnrollData(1, enroll, em, backup, privilege, data, password))
            ++w.entries;
    }
    w.ms = timer.elapsed();
    return w;
}

double seconds(quint64 bytes, int baud) {
    return double(bytes) * kBitsPerByte / baud;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200000;
    const int users = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 10000;

    SimulatorFixture sim(logState(records));
    const Walk tcp = tcpWalk(sim);
    const Walk at9600 = serialWalk(records, 9600);
    const Walk at115200 = serialWalk(records, 115200);
    const UserWalk u = userWalk(users);

    const double own = double(records) * kRecordOwnBytes;
    const auto overhead = [own](const Walk& w) { return 100.0 * (double(w.bytes) - own) / own; };
    std::printf("Machine: %d processors (nproc), %s\n\n", QThread::idealThreadCount(),
                cpuModel().toUtf8().constData());
    std::printf("| Measure | Result |\n|---|---|\n");
    std::printf("| walk of %d records over TCP loopback (ReadLogBuffer + NextLogRecord) | %lld ms "
                "(%d records) |\n",
                records, tcp.walkMs, tcp.records);
    std::printf("| acknowledging them (AcknowledgeLogRecords; the simulator moves the read mark "
                "in its working copy) | %lld ms |\n",
                tcp.ackMs);
    std::printf("| %d user entries with templates (ReadAllUserID + GetNextUserID + GetEnrollData "
                "each) over TCP loopback | %lld ms (%d entries) |\n",
                users, u.ms, u.entries);
    std::printf("| records' own bytes (%d per record) | %.0f |\n", kRecordOwnBytes, own);
    std::printf("| bytes on the link, TCP (1024 records per chunk) | %llu (overhead %.1f%%) |\n",
                (unsigned long long)tcp.bytes, overhead(tcp));
    std::printf("| bytes on the link, COM at 115200 baud (768 per chunk) | %llu (overhead %.1f%%), "
                "%.0f s on the line |\n",
                (unsigned long long)at115200.bytes, overhead(at115200),
                seconds(at115200.bytes, 115200));
    std::printf("| bytes on the link, COM at 9600 baud (64 per chunk) | %llu (overhead %.1f%%), "
                "%.0f s on the line |\n",
                (unsigned long long)at9600.bytes, overhead(at9600), seconds(at9600.bytes, 9600));
    return 0;
}
