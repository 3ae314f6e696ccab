#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// The real selvenor-sim program as a child process, for tests of the program itself and of
// anything run as a separate process. The program lies beside the test executable.
class SimulatorProcess {
public:
    SimulatorProcess() = default;
    ~SimulatorProcess();

    // Starts `selvenor-sim --state statePath --listen 127.0.0.1:0 extraArguments...` and waits
    // until it reports its port (or ends), at most `timeoutMs`. False when it did not come up;
    // output() says why.
    bool start(const QString& statePath, const QStringList& extraArguments = {},
               int timeoutMs = 10000);
    // Runs it to its end with exactly these arguments (for refused state files and options);
    // returns the exit code, -1 if it did not end within the time.
    int runToEnd(const QStringList& arguments, int timeoutMs = 10000);
    // Ends it with SIGTERM (it writes its state back) and waits.
    void stop();
    // Ends it with SIGKILL, as a crash or a power cut would, and waits.
    void kill();
    qint64 processId() const { return m_process.processId(); }

    quint16 port() const { return m_port; }
    QString serialPath() const { return m_serialPath; }
    // Everything the program wrote to standard error so far.
    QString output();
    // Everything it wrote until now, once nothing more came for `quietMs`.
    QString settledOutput(int quietMs = 100);

    static QString programPath();
    // Writes a state file for start(); false when it cannot be written.
    static bool writeState(const QString& path, const QJsonObject& state);

private:
    QProcess m_process;
    QString m_output;
    quint16 m_port = 0;
    QString m_serialPath;
};
