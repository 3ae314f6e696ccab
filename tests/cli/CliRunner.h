#pragma once

#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"

#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// selvenor-cli run as a child process on a fresh data folder (created by "init").
class CliRunner : public ::testing::Test {
protected:
    struct Result {
        int status = -1;
        QString out;
        QString err;
    };

    void SetUp() override;
    Result run(const QStringList& arguments, const QString& input = QString());
    // Runs selvenor-cli to its end, its output thrown away, and returns its peak resident memory
    // in KiB (getrusage of that one child); -1 when it did not exit with status 0.
    qint64 peakResidentKb(const QStringList& arguments);
    // run() in two halves, for a command that runs while the test does something else.
    void start(QProcess& process, const QStringList& arguments, const QString& input = QString());
    static Result finish(QProcess& process);
    // Registers a TCP terminal on `sim` with add-terminal.
    void addTcpTerminal(const QString& name, const SimulatorFixture& sim, int machine = 1,
                        int password = 0);
    SimulatorFixture& startSimulator(const QJsonObject& state,
                                     SimulatorFixture::Options options = {});
    // Rows of a query on Data.mdb, each row's columns joined by '|'.
    QStringList query(const QString& statement);

    std::vector<std::unique_ptr<SimulatorFixture>> simulators;
    TempFolder temp;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};
