#pragma once

#include "support/SimulatorFixture.h"
#include "terminal/TFP_CLOCK.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

// A control connected over TCP loopback to a simulator started from `state`.
class ConnectedControl {
public:
    explicit ConnectedControl(const QJsonObject& state, int password = 0);

    bool connect(int machine = 1);
    int lastError();

    SimulatorFixture sim;
    selvenor::TFP_CLOCK clock;

private:
    int m_password;
};

// Walks NextLogRecord / NextAllLogRecord to the end; returns the enroll numbers handed out.
QList<int> walkLog(selvenor::TFP_CLOCK& clock, bool all, int machine = 1);

// A state with `count` attendance records, enroll numbers 1 to count.
QJsonObject stateWithRecords(int count);
