#include "SessionFixture.h"

#include "data/StoreSchema.h"

#include <QRegularExpression>

using namespace selvenor;

void SessionFixture::SetUp() {
    createMissingStores(folder);
    ASSERT_TRUE(TfrmDM::openStore(dm.ADOConnection1(), folder.file("Data.mdb")));
    clock.setTimeoutMs(1500);
}

SimulatorFixture& SessionFixture::startSimulator(const QJsonObject& state,
                                                 SimulatorFixture::Options options) {
    simulators.push_back(std::make_unique<SimulatorFixture>(state, options));
    EXPECT_TRUE(simulators.back()->isRunning()) << simulators.back()->error().toStdString();
    return *simulators.back();
}

TerminalRecord SessionFixture::tcpRow(const SimulatorFixture& sim, const QString& name, int machine,
                                      int password) {
    TerminalRecord row;
    row.Terminal = name;
    row.TerminalNo = QString::number(machine);
    row.Tip = QStringLiteral("ethernet");
    row.Ip = sim.host();
    row.NetPort = QString::number(sim.port());
    row.Sifre = QString::number(password);
    return row;
}

void SessionFixture::connectToSimulator() {
    ASSERT_TRUE(session.connect(tcpRow(sim(), QStringLiteral("Test")), ui));
}

QStringList SessionFixture::requests(const SimulatorFixture& sim, int from) {
    static const QRegularExpression request(QStringLiteral("^#\\d+ (\\w+ machine=.*)$"));
    QStringList result;
    const QStringList lines = sim.logLines();
    for (int i = from; i < lines.size(); ++i) {
        const QRegularExpressionMatch m = request.match(lines[i]);
        if (m.hasMatch())
            result << m.captured(1);
    }
    return result;
}

QStringList SessionFixture::operations(const SimulatorFixture& sim, int from) {
    QStringList names;
    for (const QString& line : requests(sim, from))
        names << line.section(QLatin1Char(' '), 0, 0);
    return names;
}
