// Times a site's download and prints a Markdown report (docs/performance.md, "A site's
// terminals side by side"): TERMINALS simulated terminals with RECORDS new records each,
// every reply DELAY ms late (a slow network), downloaded by the real selvenor-cli program
// (`download`) from the real selvenor-sim programs with their state on disk:
//   1. one terminal alone;
//   2. every terminal with --jobs JOBS (side by side, the default 8);
//   3. every terminal with --jobs 1 (one after another).
//   bench_site [TERMINALS] [RECORDS] [DELAY] [JOBS]
#include "bench/BenchMachine.h"
#include "bench/BenchSimulator.h"
#include "data/DataFolder.h"
#include "data/StoreSchema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

using namespace selvenor;

namespace {

sim::TerminalState records(int terminal, int count) {
    sim::TerminalState state;
    for (int i = 1; i <= count; ++i)
        state.appendRecord(protocol::LogRecord{0, terminal * 100000 + i, 1, 2012,
                                               quint8(1 + i % 12), quint8(1 + i % 28),
                                               quint8(i % 24), quint8(i % 60)});
    return state;
}

// A data folder with its stores and one list entry per simulator.
class Site {
public:
    Site(int terminals, int count, int delayMs) {
        for (int t = 1; t <= terminals; ++t)
            m_sims.push_back(std::make_unique<DiskSimulator>(
                m_simFolder.path(), QStringLiteral("t%1").arg(t), records(t, count),
                QStringList{QStringLiteral("--delay-ms"), QString::number(delayMs)}));
        const DataFolder folder(m_data.path());
        createMissingStores(folder);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "bench");
            db.setDatabaseName(folder.file(QStringLiteral("Data.mdb")));
            db.open();
            for (size_t t = 0; t < m_sims.size(); ++t)
                QSqlQuery(QStringLiteral("insert into Terminal (Terminal, TerminalNo, Tip, Ip, "
                                         "NetPort, Sifre) values ('T%1', 1, 'ethernet', "
                                         "'127.0.0.1', %2, 0)")
                              .arg(t + 1, 2, 10, QLatin1Char('0'))
                              .arg(m_sims[t]->port()),
                          db);
        }
        QSqlDatabase::removeDatabase("bench");
    }

    // Runs selvenor-cli with `arguments` on the site's data folder; returns its time in ms and
    // the number of lines it wrote into veri.txt.
    std::pair<qint64, qint64> download(const QStringList& arguments) const {
        QProcess cli;
        QElapsedTimer timer;
        timer.start();
        cli.start(
            QCoreApplication::applicationDirPath() + QStringLiteral("/selvenor-cli"),
            QStringList{QStringLiteral("--data-dir"), m_data.path(), QStringLiteral("download")} +
                arguments);
        cli.waitForFinished(-1);
        const qint64 ms = timer.elapsed();
        if (cli.exitCode() != 0)
            std::fprintf(stderr, "selvenor-cli failed: %s\n%s\n",
                         cli.readAllStandardOutput().constData(),
                         cli.readAllStandardError().constData());
        QFile veri(m_data.filePath(QStringLiteral("veri.txt")));
        veri.open(QIODevice::ReadOnly);
        return {ms, veri.readAll().count('\n')};
    }
    qint64 simulatorCpuMs() const {
        qint64 sum = 0;
        for (const auto& s : m_sims)
            sum += s->cpuMs();
        return sum;
    }

private:
    QTemporaryDir m_simFolder;
    QTemporaryDir m_data;
    std::vector<std::unique_ptr<DiskSimulator>> m_sims;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int terminals = argc > 1 ? atoi(argv[1]) : 16;
    const int count = argc > 2 ? atoi(argv[2]) : 20000;
    const int delay = argc > 3 ? atoi(argv[3]) : 50;
    const QString jobs = argc > 4 ? QString::fromLatin1(argv[4]) : QStringLiteral("8");
    std::printf("Machine: %d processors, %s\n\n%d terminals, %d new records each, every reply "
                "%d ms late; selvenor-cli and selvenor-sim as separate processes, the "
                "simulators' state on disk.\n\n| Measure | Result |\n|---|---|\n",
                QThread::idealThreadCount(), qPrintable(cpuModel()), terminals, count, delay);

    qint64 alone = 0;
    {
        const Site one(1, count, delay);
        const auto [ms, lines] = one.download({QStringLiteral("T01")});
        alone = ms;
        std::printf("| one terminal alone | %lld ms (%lld lines) |\n", ms, lines);
    }
    {
        const Site site(terminals, count, delay);
        const auto [ms, lines] =
            site.download({QStringLiteral("--all"), QStringLiteral("--jobs"), jobs});
        std::printf("| all %d, --jobs %s (side by side) | %lld ms (%lld lines), %.2f times one "
                    "terminal alone; the simulators' CPU %lld ms |\n",
                    terminals, qPrintable(jobs), ms, lines, double(ms) / double(alone),
                    site.simulatorCpuMs());
    }
    {
        const Site site(terminals, count, delay);
        const auto [ms, lines] =
            site.download({QStringLiteral("--all"), QStringLiteral("--jobs"), QStringLiteral("1")});
        std::printf("| all %d, --jobs 1 (one after another) | %lld ms (%lld lines), %.2f times "
                    "one terminal alone |\n",
                    terminals, ms, lines, double(ms) / double(alone));
    }
    return 0;
}
