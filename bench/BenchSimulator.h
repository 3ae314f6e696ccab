#pragma once

#include "sim/StateFile.h"
#include "support/SimulatorProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <cstdio>
#include <unistd.h>

// CPU time (user and system) a process has used so far, in milliseconds.
inline qint64 processCpuMs(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = f.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    const qint64 ticks = fields.value(11).toLongLong() + fields.value(12).toLongLong();
    return ticks * 1000 / sysconf(_SC_CLK_TCK);
}

// The real selvenor-sim program with its state on disk, as a user runs it: the state is written
// to `folder` as a state file, the program starts on it and keeps it in its working copy.
class DiskSimulator {
public:
    // `options`: more of the program's options for this run (fault options like --delay-ms).
    DiskSimulator(const QString& folder, const QString& name, const selvenor::sim::TerminalState& s,
                  const QStringList& options = {})
        : m_path(folder + QLatin1Char('/') + name + QStringLiteral(".json")) {
        selvenor::sim::StateFile::save(m_path, s);
        QElapsedTimer timer;
        timer.start();
        if (!m_process.start(m_path, QStringList{QStringLiteral("--quiet")} + options, 120000))
            std::fprintf(stderr, "the simulator did not start: %s\n",
                         m_process.output().toUtf8().constData());
        startMs = timer.elapsed();
    }
    quint16 port() const { return m_process.port(); }
    qint64 processId() const { return m_process.processId(); }
    // CPU time the program has used so far, in milliseconds.
    qint64 cpuMs() const { return processCpuMs(m_process.processId()); }
    // Ends the program (it writes its state back) and reads the state file.
    selvenor::sim::TerminalState stateAtEnd() {
        m_process.stop();
        return selvenor::sim::StateFile::load(m_path);
    }

    qint64 startMs = 0;

private:
    QString m_path;
    SimulatorProcess m_process;
};
