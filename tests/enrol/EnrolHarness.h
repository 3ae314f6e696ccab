#pragma once

#include "enrol/EnrolContext.h"
#include "enrol/EnrolView.h"
#include "enrol/EnrollItem.h"

#include "common/Errors.h"
#include "data/DataFolder.h"
#include "data/TfrmDM.h"
#include "terminal/TFP_CLOCK.h"

#include "support/RecordingOperator.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <memory>

// Records what the commands write to the enrolment window.
class RecordingView : public selvenor::EnrolView {
public:
    void setStatus(const QString& text) override { statuses << text; }
    void setLabel2(const QString& text) override { label2 = text; }
    void setUserName(const QString& name) override { userName = name; }
    void appendMemoLine(const QString& line) override { memo << line; }
    void clearMemo() override { memo.clear(); }
    void setButtonEnabled(bool enabled) override { buttonStates << enabled; }
    void refreshLists() override { ++refreshes; }

    QString status() const { return statuses.isEmpty() ? QString() : statuses.last(); }

    QStringList statuses;
    QString label2;
    QString userName;
    QStringList memo;
    QList<bool> buttonStates;
    int refreshes = 0;
};

// A terminal entry as the tests compare them: key, privilege, value and template.
struct TerminalEntry {
    int enroll = 0;
    int emachine = 0;
    int backup = 0;
    int privilege = 0;
    qint64 value = 0;
    QJsonArray data;
    bool enabled = true;
    bool operator==(const TerminalEntry&) const = default;
};

// A fresh data folder with its stores opened by the data module, one simulated terminal and a
// control connected to it, and the recording operator and view.
class EnrolHarness {
public:
    explicit EnrolHarness(const QJsonObject& terminalState = SimulatorFixture::state({}));

    selvenor::EnrolContext context(int machine = 1);
    // A second simulated terminal; the control is connected to it instead.
    void connectTo(SimulatorFixture& other, int machine = 1);

    // Rows of tblEnroll and temp, in store order.
    QList<QVariantMap> enrollRows() const;
    QList<QVariantMap> tempRows() const;
    static QList<TerminalEntry> entries(const SimulatorFixture& sim);
    static QJsonObject failing(const QString& op, int code, const QJsonValue& when);

    TempFolder temp;
    selvenor::DataFolder folder;
    std::unique_ptr<selvenor::TfrmDM> dm;
    std::unique_ptr<SimulatorFixture> sim;
    selvenor::TFP_CLOCK clock;
    selvenor::EnrollItem item;
    RecordingOperator ui;
    RecordingView view;
    selvenor::MySqlSettings mySql;
};

// A terminal state with these entries, names and faults.
QJsonObject terminalState(const QJsonArray& users, const QJsonObject& names = {},
                          const QJsonObject& faults = {});

// A user with two fingerprints, a card and a password (stored by the terminal as backup 10).
QJsonArray fourEntryUser(int enroll, int privilege = 0, int seed = 0);
