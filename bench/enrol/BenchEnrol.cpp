// Bulk download and upload of enrolment data between two terminals on loopback: 10,000
// template entries from terminal A into tblEnroll/temp, then from the store onto B. The
// terminals are two runs of the real selvenor-sim program, each with its state on disk.
//
//   build/bin/bench_enrol [ENTRIES]

#include "bench/BenchMachine.h"
#include "bench/BenchSimulator.h"
#include "data/DataFolder.h"
#include "data/StoreSchema.h"
#include "data/TfrmDM.h"
#include "enrol/EnrolContext.h"
#include "enrol/EnrolView.h"
#include "enrol/EnrollDownload.h"
#include "enrol/EnrollUpload.h"
#include "terminal/TFP_CLOCK.h"

#include "support/RecordingOperator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>

using namespace selvenor;

namespace {

class QuietView : public EnrolView {
public:
    void setStatus(const QString& text) override { status = text; }
    void setLabel2(const QString&) override {}
    void setUserName(const QString&) override {}
    void appendMemoLine(const QString&) override {}
    void clearMemo() override {}
    void setButtonEnabled(bool) override {}
    void refreshLists() override {}
    QString status;
};

sim::TerminalState terminalWith(int entries) {
    sim::TerminalState state;
    for (int i = 0; i < entries; ++i) {
        sim::StoredEntry entry;
        entry.data.resize(kEnrollDataSize);
        for (int k = 0; k < kEnrollDataSize; ++k)
            entry.data[k] = qint32(quint32(i) * 2654435761u + quint32(k) * 40503u);
        state.entries.emplace(protocol::EnrollKey{i / 2 + 1, 1, quint8(i % 2)}, entry);
    }
    return state;
}

void connect(TFP_CLOCK& clock, quint16 port) {
    clock.CloseConnection();
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, port, 0);
    if (!clock.OpenConnection(1))
        std::fprintf(stderr, "cannot connect to the simulator on port %u\n", port);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;

    QTemporaryDir dir;
    const DataFolder folder(dir.path() + QLatin1Char('/'));
    createMissingStores(folder);
    TfrmDM dm;
    TfrmDM::openStore(dm.ADOConnection1(), folder.file(QStringLiteral("Data.mdb")));
    TfrmDM::openStore(dm.ADOConnection2(), folder.file(QStringLiteral("Log.mdb")));

    DiskSimulator a(dir.path(), QStringLiteral("a"), terminalWith(entries));
    DiskSimulator b(dir.path(), QStringLiteral("b"), sim::TerminalState{});
    TFP_CLOCK clock;
    clock.setTimeoutMs(10000);
    EnrollItem item;
    RecordingOperator ui;
    QuietView view;

    connect(clock, a.port());
    EnrolContext ctx(dm, clock, 1, item, ui, view);
    const qint64 self = QCoreApplication::applicationPid();
    const qint64 cpuA = a.cpuMs();
    qint64 cpuSelf = processCpuMs(self);
    QElapsedTimer timer;
    timer.start();
    const DownloadResult down = downloadEnrollData(ctx);
    const qint64 downloadMs = timer.elapsed();
    const qint64 downloadSimulatorMs = a.cpuMs() - cpuA;
    const qint64 downloadClientMs = processCpuMs(self) - cpuSelf;
    const QString downloadStatus = view.status;

    connect(clock, b.port());
    ui.answers = {OperatorInterface::Button::Yes};
    const qint64 cpuB = b.cpuMs();
    cpuSelf = processCpuMs(self);
    timer.restart();
    const UploadResult up = uploadEnrollData(ctx, false);
    const qint64 uploadMs = timer.elapsed();
    const qint64 uploadSimulatorMs = b.cpuMs() - cpuB;
    const qint64 uploadClientMs = processCpuMs(self) - cpuSelf;
    clock.CloseConnection();

    std::printf("Machine: %d processors, %s; simulators: selvenor-sim processes, state on disk "
                "(start of A with %d entries: %lld ms)\n",
                QThread::idealThreadCount(), qPrintable(cpuModel()), entries,
                static_cast<long long>(a.startMs));
    std::printf("download: %d entries, %d rows stored in %lld ms (%s); CPU: simulator %lld ms, "
                "command %lld ms\n",
                down.entries, down.stored, static_cast<long long>(downloadMs),
                downloadStatus.toUtf8().constData(), static_cast<long long>(downloadSimulatorMs),
                static_cast<long long>(downloadClientMs));
    const size_t onB = b.stateAtEnd().entries.size();
    std::printf("upload:   %d rows, %d written in %lld ms; CPU: simulator %lld ms, command %lld "
                "ms; terminal B's state file holds %zu entries after the run\n",
                up.send.rows, up.send.sent, static_cast<long long>(uploadMs),
                static_cast<long long>(uploadSimulatorMs), static_cast<long long>(uploadClientMs),
                onB);
    const bool ok = down.stored == entries && up.send.sent == entries && int(onB) == entries;
    return ok ? 0 : 1;
}
