#include "SimulatorOptions.h"
#include "SimulatorServer.h"
#include "StateStore.h"
#include "common/Errors.h"
#include "common/Version.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace selvenor;
using namespace selvenor::sim;

namespace {

void printLine(const QString& line) {
    std::fprintf(stderr, "selvenor-sim: %s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

// The command line's machine number and password replace the state's (and are kept with it).
void applyOptions(const SimulatorOptions& o, TerminalState& state) {
    if (o.machine)
        state.machine = *o.machine;
    if (o.password)
        state.password = *o.password;
}

// SIGTERM, SIGINT and SIGHUP end the event loop, so the state is written back on the way out.
int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

void quitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

// Opens the links and runs until a signal ends the run; returns the exit code.
int serve(QCoreApplication& app, const SimulatorOptions& options, SimulatorServer& server) {
    QString error;
    if (options.listenPort >= 0) {
        if (!server.listen(options.listenAddress, quint16(options.listenPort), &error)) {
            printLine(error);
            return 1;
        }
        printLine(QStringLiteral("listening on %1:%2")
                      .arg(options.listenAddress.toString())
                      .arg(server.port()));
    }
    if (!options.serialPath.isEmpty()) {
        if (!server.openSerial(options.serialPath, options.baudRate, &error)) {
            printLine(error);
            return 1;
        }
        printLine(QStringLiteral("serial line on %1").arg(server.serialPath()));
    }
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const InfoRequest info = infoRequestOf(app.arguments());
    if (info != InfoRequest::None) {
        const QString text = info == InfoRequest::Help
                                 ? SimulatorOptions::helpText()
                                 : VersionLine(QStringLiteral("selvenor-sim")) + '\n';
        std::fputs(text.toUtf8().constData(), stdout);
        return 0;
    }
    quitOnSignals(app);
    SimulatorOptions options;
    std::unique_ptr<SimulatorServer> server;
    try {
        options = SimulatorOptions::parse(app.arguments());
        auto store = std::make_unique<StateStore>(options.statePath);
        TerminalState state = store->load();
        if (!options.quiet && !store->note().isEmpty())
            printLine(store->note());
        applyOptions(options, state);
        server = std::make_unique<SimulatorServer>(std::move(state), std::move(store));
    } catch (const Error& e) {
        printLine(e.text());
        return 2;
    }
    server->terminal().addRunFaults(options.faults); // this run only: never saved
    if (!options.quiet)
        server->setLogger(printLine);
    const int code = serve(app, options, *server);
    try {
        server->finish();
    } catch (const Error& e) {
        printLine(e.text());
        return 1;
    }
    return code;
}
