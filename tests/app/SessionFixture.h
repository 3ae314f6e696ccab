#pragma once

#include "app/TerminalSession.h"
#include "data/DataFolder.h"
#include "data/TfrmDM.h"
#include "registry/TerminalRecord.h"
#include "terminal/TFP_CLOCK.h"

#include "support/RecordingOperator.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <memory>

// A data folder with fresh stores (Data.mdb open), a control with its session, and simulated
// terminals to connect it to.
class SessionFixture : public ::testing::Test {
protected:
    void SetUp() override;

    // Starts a simulated terminal; tests may start several (one per registry row).
    SimulatorFixture& startSimulator(const QJsonObject& state,
                                     SimulatorFixture::Options options = {});
    // The registry row of a TCP terminal on `sim`.
    static selvenor::TerminalRecord tcpRow(const SimulatorFixture& sim, const QString& name,
                                           int machine = 1, int password = 0);
    // Connects the session to the first simulator started, machine 1, no password.
    void connectToSimulator();

    // The requests `sim` has answered since `from` (an index into its log), without their
    // sequence numbers: "SetTerminalEnabled machine=1 -> SUCCESS".
    static QStringList requests(const SimulatorFixture& sim, int from = 0);
    // Only the operation names of those requests.
    static QStringList operations(const SimulatorFixture& sim, int from = 0);

    QSqlDatabase data() const { return dm.ADOConnection1(); }
    SimulatorFixture& sim() { return *simulators.front(); }

    std::vector<std::unique_ptr<SimulatorFixture>> simulators;
    TempFolder temp;
    selvenor::DataFolder folder{temp.path()};
    selvenor::TfrmDM dm;
    selvenor::TFP_CLOCK clock;
    selvenor::TerminalSession session{clock};
    RecordingOperator ui;
};
