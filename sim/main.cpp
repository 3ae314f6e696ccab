#include "SimulatorOptions.h"
#include "SimulatorServer.h"
#include "StateFile.h"
#include "common/Errors.h"
#include "common/Version.h"

#include <QCoreApplication>

#include <cstdio>

using namespace selvenor;
using namespace selvenor::sim;

namespace {

void printLine(const QString& line) {
    std::fprintf(stderr, "selvenor-sim: %s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

// The options' faults and numbers go on top of those of the state file.
void applyOptions(const SimulatorOptions& o, TerminalState& state) {
    if (o.machine)
        state.machine = *o.machine;
    if (o.password)
        state.password = *o.password;
    FaultPlan& f = state.faults;
    f.refuseDisable = f.refuseDisable || o.faults.refuseDisable;
    if (o.faults.dropAfterFrames)
        f.dropAfterFrames = o.faults.dropAfterFrames;
    if (o.faults.delayMs)
        f.delayMs = o.faults.delayMs;
    f.failRules += o.faults.failRules;
    f.corruptRules += o.faults.corruptRules;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SimulatorOptions options;
    TerminalState state;
    try {
        options = SimulatorOptions::parse(app.arguments());
        if (options.help || options.version) {
            const QString text = options.help ? SimulatorOptions::helpText()
                                              : VersionLine(QStringLiteral("selvenor-sim")) + '\n';
            std::fputs(text.toUtf8().constData(), stdout);
            return 0;
        }
        state = StateFile::load(options.statePath);
    } catch (const Error& e) {
        printLine(e.text());
        return 2;
    }
    applyOptions(options, state);

    SimulatorServer server(std::move(state), options.statePath);
    if (!options.quiet)
        server.setLogger(printLine);
    QString error;
    if (options.listenPort >= 0 &&
        !server.listen(options.listenAddress, quint16(options.listenPort), &error)) {
        printLine(error);
        return 1;
    }
    if (options.listenPort >= 0)
        printLine(QStringLiteral("listening on %1:%2")
                      .arg(options.listenAddress.toString())
                      .arg(server.port()));
    if (!options.serialPath.isEmpty()) {
        if (!server.openSerial(options.serialPath, options.baudRate, &error)) {
            printLine(error);
            return 1;
        }
        printLine(QStringLiteral("serial line on %1").arg(server.serialPath()));
    }
    return app.exec();
}
