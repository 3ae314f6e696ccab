#include "SimulatorProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>

SimulatorProcess::~SimulatorProcess() {
    stop();
}

QString SimulatorProcess::programPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("selvenor-sim"));
}

bool SimulatorProcess::writeState(const QString& path, const QJsonObject& state) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(state).toJson()) > 0;
}

QString SimulatorProcess::output() {
    m_output += QString::fromUtf8(m_process.readAllStandardError());
    return m_output;
}

QString SimulatorProcess::settledOutput(int quietMs) {
    while (m_process.waitForReadyRead(quietMs)) {
    }
    return output();
}

bool SimulatorProcess::start(const QString& statePath, const QStringList& extraArguments,
                             int timeoutMs) {
    m_process.start(programPath(),
                    QStringList{"--state", statePath, "--listen", "127.0.0.1:0"} + extraArguments);
    if (!m_process.waitForStarted(5000))
        return false;
    const QRegularExpression listening(QStringLiteral("listening on [^\\n]*:(\\d+)\\n"));
    const QRegularExpression serial(QStringLiteral("serial line on (\\S+)\\n"));
    const bool wantsSerial = extraArguments.contains(QStringLiteral("--serial"));
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(100);
        const QString text = output();
        const auto port = listening.match(text);
        const auto path = serial.match(text);
        if (port.hasMatch() && (!wantsSerial || path.hasMatch())) {
            m_port = quint16(port.captured(1).toUInt());
            m_serialPath = path.captured(1);
            return true;
        }
    }
    return false;
}

int SimulatorProcess::runToEnd(const QStringList& arguments, int timeoutMs) {
    m_process.start(programPath(), arguments);
    if (!m_process.waitForFinished(timeoutMs)) {
        stop();
        return -1;
    }
    output();
    return m_process.exitCode();
}

void SimulatorProcess::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    output();
}

void SimulatorProcess::kill() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
    output();
}
