// How often the control lets window events run while it waits for a terminal: the longest gap
// between two runs of its waiting hook during a connect to a terminal that does not answer and
// during a walk at 9600 baud over a line paced as a COM port is. Prints a Markdown report
// (docs/performance.md, "The window while the control waits").
//   bench_window_alive [RECORDS]
#include "bench/BenchMachine.h"
#include "support/PacedSerialLine.h"
#include "support/SimulatorFixture.h"
#include "support/UnansweringHost.h"
#include "terminal/TFP_CLOCK.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QThread>

#include <cstdio>

using namespace selvenor;

namespace {

// The gaps between the hook's runs, from the start of the measured work to its end.
class GapMeter {
public:
    explicit GapMeter(TFP_CLOCK& clock) {
        clock.setWaitingHook([this] { mark(); });
    }
    void start() {
        m_timer.start();
        m_last = 0;
        m_longest = 0;
        m_runs = 0;
    }
    void mark() {
        const qint64 now = m_timer.elapsed();
        m_longest = qMax(m_longest, now - m_last);
        m_last = now;
        ++m_runs;
    }
    void stop() {
        m_elapsed = m_timer.elapsed();
        m_longest = qMax(m_longest, m_elapsed - m_last);
    }
    qint64 longest() const { return m_longest; }
    qint64 elapsed() const { return m_elapsed; }
    int runs() const { return m_runs; }

private:
    QElapsedTimer m_timer;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_elapsed = 0;
    int m_runs = 0;
};

void printRow(const char* what, const GapMeter& meter, const QString& outcome) {
    std::printf("| %s | %lld ms | %d | %lld ms | %s |\n", what, meter.longest(), meter.runs(),
                meter.elapsed(), outcome.toUtf8().constData());
}

void silentConnect() {
    UnansweringHost host;
    TFP_CLOCK clock;
    GapMeter meter(clock);
    QString address = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(address, host.port(), 0);
    meter.start();
    const bool opened = clock.OpenConnection(1);
    meter.stop();
    printRow("connect to a terminal that does not answer (timeout 3000 ms)", meter,
             opened ? QStringLiteral("opened?") : QStringLiteral("failed, as it must"));
}

void pacedWalk(int records) {
    QJsonArray logs;
    for (int i = 1; i <= records; ++i)
        logs.append(SimulatorFixture::record(i, 1, 2012, 3, 1 + i % 28, i % 24, i % 60));
    SimulatorFixture sim(SimulatorFixture::state({{"logs", logs}}), {.serial = true});
    PacedSerialLine line(sim.serialPath(), 9600);
    line.exportComPort(1);
    TFP_CLOCK clock;
    GapMeter meter(clock);
    clock.setCommPort(1);
    clock.setBaudrate(9600);
    int handedOut = 0;
    meter.start();
    if (clock.OpenConnection(1) && clock.ReadLogBuffer(1)) {
        int tm, enroll, em, verify, y, mo, d, h, mi;
        while (clock.NextLogRecord(1, tm, enroll, em, verify, y, mo, d, h, mi))
            ++handedOut;
    }
    meter.stop();
    printRow("connect, ReadLogBuffer and a walk at 9600 baud on a paced line (64 per chunk)", meter,
             QStringLiteral("%1 of %2 records").arg(handedOut).arg(records));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 640;
    std::printf("Machine: %d processors (nproc), %s\n\n", QThread::idealThreadCount(),
                cpuModel().toUtf8().constData());
    std::printf("| Wait | Longest gap between event runs | Event runs | Whole wait | Outcome |\n"
                "|---|---|---|---|---|\n");
    silentConnect();
    pacedWalk(records);
    return 0;
}
