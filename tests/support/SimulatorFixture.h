#pragma once

#include "sim/TerminalState.h"

#include <QJsonObject>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QThread;
class QObject;
namespace selvenor::sim {
class SimulatorServer;
}

// A simulated terminal in its own thread, for end-to-end tests of anything that talks to a
// terminal. The state is written to a temporary folder; the simulator listens on a free
// loopback port and, on request, on a pseudo-terminal (serialPath()). The control blocks the
// test's thread while it waits for a reply, so the simulator must not share it.
//
//   SimulatorFixture sim(SimulatorFixture::state({{"password", 1234}}));
//   TFP_CLOCK clock;
//   QString host = sim.host();
//   clock.ConfigureNetwork(host, sim.port(), 1234);
//   ...
//   EXPECT_EQ(sim.state()["users"].toArray().size(), 2);
class SimulatorFixture {
public:
    struct Options {
        bool serial = false;   // also open a pseudo-terminal
        bool printLog = false; // copy the log lines to stderr as well
    };

    explicit SimulatorFixture(const QJsonObject& state, Options options);
    explicit SimulatorFixture(const QJsonObject& state = QJsonObject());
    ~SimulatorFixture();
    SimulatorFixture(const SimulatorFixture&) = delete;
    SimulatorFixture& operator=(const SimulatorFixture&) = delete;

    // False when the state was refused or nothing could be opened; error() says why.
    bool isRunning() const { return m_server != nullptr; }
    QString error() const { return m_error; }

    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return m_port; }
    QString serialPath() const { return m_serialPath; }
    QString statePath() const { return m_statePath; }
    // Points $SELVENOR_COM<port> at the pseudo-terminal for the control's "com" link.
    void exportComPort(int port) const;
    // Points $SELVENOR_USB_DEVICE at the pseudo-terminal for the control's "usb" link.
    void exportUsbDevice() const;

    // The terminal's state as it is now, in the state file's form: the running simulator's, or
    // after stop() the state file's.
    QJsonObject state() const;
    selvenor::sim::TerminalState terminalState() const;
    QStringList logLines() const;

    // Stops the simulator; the state file stays until the fixture is destroyed.
    void stop();

    // A state object: machine 1, no password, plus the given keys.
    static QJsonObject state(std::initializer_list<std::pair<QString, QJsonValue>> keys);
    // A template of 355 integers derived from `seed`.
    static QJsonArray templateOf(int seed);
    // A user entry as the state file writes it; a template for backup 0-9, else `value`.
    static QJsonObject user(int enroll, int backup, int privilege = 0, int value = 0,
                            int emachine = 1);
    // An attendance record.
    static QJsonObject record(int enroll, int verify, int year, int month, int day, int hour,
                              int minute, bool read = false);

private:
    void start(const QJsonObject& state);
    void inSimulatorThread(const std::function<void()>& work) const;

    Options m_options;
    QTemporaryDir m_dir;
    QString m_statePath;
    QString m_error;
    quint16 m_port = 0;
    QString m_serialPath;
    QThread* m_thread = nullptr;
    QObject* m_context = nullptr;
    selvenor::sim::SimulatorServer* m_server = nullptr;
    mutable QMutex m_logMutex;
    QStringList m_log;
};
