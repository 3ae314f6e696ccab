// Bulk download and upload of enrolment data between two simulated terminals on loopback:
// 10,000 template entries from terminal A into tblEnroll/temp, then from the store onto B.
//
//   build/bin/bench_enrol [ENTRIES]
//
// The simulators keep their state in memory (no state file): a real terminal does not rewrite a
// file per entry, and the file of the test simulator would dominate the upload.

#include "data/DataFolder.h"
#include "data/StoreSchema.h"
#include "data/TfrmDM.h"
#include "enrol/EnrolContext.h"
#include "enrol/EnrolView.h"
#include "enrol/EnrollDownload.h"
#include "enrol/EnrollUpload.h"
#include "sim/SimulatorServer.h"
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

// A simulated terminal in its own thread, its state in memory only.
class MemorySimulator {
public:
    explicit MemorySimulator(sim::TerminalState state) {
        m_context->moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            m_context.get(),
            [this, &state] {
                m_server = std::make_unique<sim::SimulatorServer>(std::move(state), QString());
                QString error;
                m_server->listen(QHostAddress::LocalHost, 0, &error);
                m_port = m_server->port();
            },
            Qt::BlockingQueuedConnection);
    }
    ~MemorySimulator() {
        QMetaObject::invokeMethod(
            m_context.get(), [this] { m_server.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    quint16 port() const { return m_port; }
    size_t entries() {
        size_t n = 0;
        QMetaObject::invokeMethod(
            m_context.get(), [&] { n = m_server->terminal().state().entries.size(); },
            Qt::BlockingQueuedConnection);
        return n;
    }

private:
    QThread m_thread;
    std::unique_ptr<QObject> m_context = std::make_unique<QObject>();
    std::unique_ptr<sim::SimulatorServer> m_server;
    quint16 m_port = 0;
};

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

    MemorySimulator a(terminalWith(entries));
    MemorySimulator b(sim::TerminalState{});
    TFP_CLOCK clock;
    clock.setTimeoutMs(10000);
    EnrollItem item;
    RecordingOperator ui;
    QuietView view;

    connect(clock, a.port());
    EnrolContext ctx(dm, clock, 1, item, ui, view);
    QElapsedTimer timer;
    timer.start();
    const DownloadResult down = downloadEnrollData(ctx);
    const qint64 downloadMs = timer.elapsed();
    const QString downloadStatus = view.status;

    connect(clock, b.port());
    ui.answers = {OperatorInterface::Button::Yes};
    timer.restart();
    const UploadResult up = uploadEnrollData(ctx, false);
    const qint64 uploadMs = timer.elapsed();

    std::printf("download: %d entries, %d rows stored in %lld ms (%s)\n", down.entries, down.stored,
                static_cast<long long>(downloadMs), downloadStatus.toUtf8().constData());
    std::printf("upload:   %d rows, %d written in %lld ms, terminal B holds %zu entries\n",
                up.send.rows, up.send.sent, static_cast<long long>(uploadMs), b.entries());
    const bool ok = down.stored == entries && up.send.sent == entries;
    return ok ? 0 : 1;
}
