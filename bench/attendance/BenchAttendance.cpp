// Times the attendance commands and prints a Markdown report (docs/performance.md,
// "Attendance transfer"):
//   1. "Verileri Aktar" of RECORDS new records from the simulator over TCP loopback into
//      veri.txt, veri2.txt and the month's backup: the whole command. The simulator is the real
//      selvenor-sim program with its state on disk, as a user runs it;
//   2. the same through the main window offscreen (BitBtn5 clicked), with the share of the time
//      spent letting window events run;
//   3. the memory-card conversion of CARD_LINES lines, its peak memory against the memos'
//      texts, side by side with an awk script doing the same two stages, in the same run.
//   bench_attendance [RECORDS] [CARD_LINES]
#include "app/Tfrmgiris.h"
#include "app/transfer/AttendanceView.h"
#include "app/transfer/CardConversion.h"
#include "app/transfer/LogDownload.h"
#include "bench/BenchMachine.h"
#include "bench/BenchSimulator.h"
#include "data/StoreSchema.h"
#include "data/TfrmDM.h"
#include "gui/QtOperator.h"
#include "registry/TerminalRecord.h"
#include "terminal/TFP_CLOCK.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <sys/resource.h>

using namespace selvenor;

namespace {

// Resident memory now, from /proc (kB).
qint64 residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

qint64 peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

sim::TerminalState logState(int count) {
    sim::TerminalState state;
    for (int i = 1; i <= count; ++i)
        state.appendRecord(protocol::LogRecord{0, 1 + i % 5000, i % 2 ? 1 : 1025, 2012,
                                               quint8(1 + i % 12), quint8(1 + i % 28),
                                               quint8(i % 24), quint8(i % 60)});
    return state;
}

class NullView : public AttendanceView {
public:
    void setProgressRange(int, int) override {}
    void setProgressPosition(int) override {}
    void setTransferEnabled(bool) override {}
    void setFileName(const QString&) override {}
    void setWorkLines(const QString& text) override { memo1 = text; }
    void setIntermediateLines(const QString& text) override { memo2 = text; }
    QString memo1;
    QString memo2;
};

// The windows' operator without the modal boxes (nobody is there to close them), timing the
// event runs.
class TimedOperator : public QtOperator {
public:
    void showMessage(const QString&) override {}
    Button messageBox(const QString&, const QString&, Icon, Buttons) override { return Button::Ok; }
    void letPendingEventsRun() override {
        QElapsedTimer t;
        t.start();
        QtOperator::letPendingEventsRun();
        eventNs += t.nsecsElapsed();
        ++eventRuns;
    }
    qint64 eventNs = 0;
    int eventRuns = 0;
};

struct Terminal {
    QTemporaryDir dir;
    DiskSimulator sim;
    int records;
    explicit Terminal(int count)
        : sim(dir.path(), QStringLiteral("terminal"), logState(count))
        , records(count) {}
    TerminalRecord record() const {
        TerminalRecord r;
        r.Terminal = QStringLiteral("Bench");
        r.TerminalNo = QStringLiteral("1");
        r.Tip = QStringLiteral("ethernet");
        r.Ip = QStringLiteral("127.0.0.1");
        r.NetPort = QString::number(sim.port());
        r.Sifre = QStringLiteral("0");
        return r;
    }
};

void printSimulatorShare(const Terminal& terminal, qint64 cpuBefore) {
    std::printf("| of which the simulator process's CPU time | %lld ms (its start on %d records "
                "took %lld ms, not counted) |\n",
                terminal.sim.cpuMs() - cpuBefore, terminal.records, terminal.sim.startMs);
}

qint64 fileLines(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().count('\n') : -1;
}

void benchCommand(int records) {
    Terminal terminal(records);
    QTemporaryDir data;
    TFP_CLOCK clock;
    TimedOperator ui;
    NullView view;
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, terminal.sim.port(), 0);
    clock.OpenConnection(1);
    const AttendanceContext context{clock, 1, DataFolder(data.path()), ui, view};
    const qint64 cpuBefore = terminal.sim.cpuMs();
    QElapsedTimer timer;
    timer.start();
    const DownloadOutcome outcome = LogDownload(context, LogDownload::NewRecords).run(true, {});
    const qint64 ms = timer.elapsed();
    std::printf("| \"Verileri Aktar\", %d new records into veri.txt, veri2.txt and the backup, "
                "whole command | %lld ms (%d written, %lld lines in veri.txt) |\n",
                records, ms, outcome.records, fileLines(data.filePath("veri.txt")));
    printSimulatorShare(terminal, cpuBefore);
}

void benchWindow(int records) {
    Terminal terminal(records);
    QTemporaryDir data;
    const DataFolder folder(data.path());
    createMissingStores(folder);
    TfrmDM dm;
    TimedOperator ui;
    Tfrmgiris window(dm, ui, folder);
    window.show();
    window.CheckBox1->setChecked(true);
    window.session.connect(terminal.record(), ui);
    window.setTerminalCommandsEnabled(true);
    ui.eventNs = 0;
    ui.eventRuns = 0;
    const qint64 cpuBefore = terminal.sim.cpuMs();
    QElapsedTimer timer;
    timer.start();
    window.BitBtn5->click();
    const qint64 ns = timer.nsecsElapsed();
    std::printf("| the same through the main window offscreen (BitBtn5 clicked) | %lld ms, of "
                "which %.1f %% letting events run (%d runs); %lld lines in veri.txt |\n",
                ns / 1000000, 100.0 * double(ui.eventNs) / double(ns), ui.eventRuns,
                fileLines(folder.file("veri.txt")));
    printSimulatorShare(terminal, cpuBefore);
}

QString writeCardFile(const QString& folder, int lines) {
    const QString path = folder + QStringLiteral("/kart.txt");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    QByteArray chunk;
    chunk += "No\tTMNo\tEnNo\tName\tMode\tIOMd\tDateTime\r\n";
    for (int i = 1; i <= lines; ++i) {
        chunk += QByteArray::number(i) + "\t1\t" + QByteArray::number(i % 100000) +
                 "\tAd Soyad\t1\t0\t2012-03-" + QByteArray::number(10 + i % 18) + " 0" +
                 QByteArray::number(i % 10) + ":07:30\r\n";
        if (chunk.size() > (1 << 20)) {
            f.write(chunk);
            chunk.clear();
        }
    }
    f.write(chunk);
    return path;
}

// The two stages of the conversion in plain awk.
const char* kAwkScript = R"AWK(
NR > 1 {
    sub(/\r$/, "")
    n = split($0, f, "\t"); s = ""
    for (i = 1; i < n; i++) {
        g = f[i]; gsub(/ /, "", g)
        if (length(g) > 5) g = substr(g, length(g) - 4)
        while (length(g) < 5) g = "0" g
        s = s g ","
    }
    last = f[n]; gsub(/ /, "", last); s = s last
    printf "%s %s/%s/%s %s:%s:%s %s\r\n", substr(s, 13, 5), substr(s, 45, 2), substr(s, 42, 2),
        substr(s, 37, 4), substr(s, 47, 2), substr(s, 50, 2), substr(s, 53, 2), substr(s, 10, 2)
}
)AWK";

qint64 runAwk(const QString& awk, const QString& card, const QString& out) {
    QElapsedTimer timer;
    timer.start();
    QProcess p;
    p.setStandardOutputFile(out);
    p.start(awk, {QString::fromLatin1(kAwkScript), card});
    p.waitForFinished(-1);
    return p.exitCode() == 0 ? timer.elapsed() : -1;
}

void benchConversion(int lines) {
    QTemporaryDir data;
    const QString card = writeCardFile(data.path(), lines);
    TimedOperator ui;
    const qint64 before = residentKb();
    qint64 ms = 0;
    qint64 memoKb = 0;
    {
        NullView view;
        QElapsedTimer timer;
        timer.start();
        CardConversion(DataFolder(data.path()), ui, view).convert(card);
        ms = timer.elapsed();
        memoKb = (view.memo1.size() + view.memo2.size()) * qint64(sizeof(QChar)) / 1024;
    }
    const qint64 peak = peakKb();
    std::printf("| memory-card conversion of %d lines (%lld MB file) | %lld ms; memory grew by at "
                "most %lld MB (peak) with %lld MB of memo texts |\n",
                lines, QFile(card).size() >> 20, ms, (peak - before) >> 10, memoKb >> 10);
    for (const char* awk : {"gawk", "mawk"}) {
        const qint64 awkMs = runAwk(QString::fromLatin1(awk), card, data.filePath("awk.txt"));
        const bool same =
            QFile(data.filePath("awk.txt")).size() == QFile(data.filePath("veri.txt")).size();
        std::printf("| the same two stages by %s, same file, same run | %lld ms (output %s); "
                    "ratio awk / Selvenor %.2f |\n",
                    awk, awkMs, same ? "same size as veri.txt" : "DIFFERS", double(awkMs) / ms);
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int records = argc > 1 ? atoi(argv[1]) : 200000;
    const int cardLines = argc > 2 ? atoi(argv[2]) : 1000000;
    std::printf("Machine: %d processors, %s\n\n| Measure | Result |\n|---|---|\n",
                QThread::idealThreadCount(), qPrintable(cpuModel()));
    benchConversion(cardLines); // first, so the peak memory is its own
    benchCommand(records);
    benchWindow(records);
    return 0;
}
