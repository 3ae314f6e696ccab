#pragma once

#include "FaultPlan.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

namespace selvenor::sim {

// The command line of selvenor-sim (docs/simulator.md, "Running it").
struct SimulatorOptions {
    QString statePath;
    QHostAddress listenAddress;
    int listenPort = -1; // -1: no TCP listener
    QString serialPath;  // a device, "pty", or empty
    int baudRate = 115200;
    std::optional<qint32> machine;
    std::optional<qint32> password;
    FaultPlan faults; // added to the faults of the state file
    bool quiet = false;

    // Throws selvenor::Error with a message and the usage line on a bad command line.
    static SimulatorOptions parse(const QStringList& arguments);
    static QString usage();
    static QString helpText(); // the usage and every option with what it does
};

} // namespace selvenor::sim
