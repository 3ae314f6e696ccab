#include "ControlHarness.h"

ConnectedControl::ConnectedControl(const QJsonObject& state, int password)
    : sim(state)
    , m_password(password) {
    EXPECT_TRUE(sim.isRunning()) << sim.error().toStdString();
    clock.setTimeoutMs(1500);
}

bool ConnectedControl::connect(int machine) {
    QString host = sim.host();
    clock.ConfigureNetwork(host, sim.port(), m_password);
    return clock.OpenConnection(machine);
}

int ConnectedControl::lastError() {
    int code = -1;
    clock.GetLastErrorCode(code);
    return code;
}

QList<int> walkLog(selvenor::TFP_CLOCK& clock, bool all, int machine) {
    QList<int> enrolls;
    int tm, enroll, em, verify, y, mo, d, h, mi;
    while (all ? clock.NextAllLogRecord(machine, tm, enroll, em, verify, y, mo, d, h, mi)
               : clock.NextLogRecord(machine, tm, enroll, em, verify, y, mo, d, h, mi))
        enrolls.append(enroll);
    return enrolls;
}

QJsonObject stateWithRecords(int count) {
    QJsonArray logs;
    for (int i = 1; i <= count; ++i)
        logs.append(SimulatorFixture::record(i, i % 3, 2012, 3, 1 + i % 28, i % 24, i % 60));
    return SimulatorFixture::state({{"logs", logs}});
}
