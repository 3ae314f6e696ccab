#include "SimulatorOptions.h"

#include "common/Errors.h"

#include <QCommandLineParser>

namespace selvenor::sim {

namespace {

int integerOption(const QCommandLineParser& p, const QString& name, int min) {
    bool ok = false;
    const int value = p.value(name).toInt(&ok);
    if (!ok || value < min)
        throw Error(QStringLiteral("--%1: '%2' is not a valid number\n%3")
                        .arg(name, p.value(name), SimulatorOptions::usage()));
    return value;
}

void parseListen(const QString& text, SimulatorOptions& o) {
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    bool ok = false;
    const int port = text.mid(colon + 1).toInt(&ok);
    const QString host = colon > 0 ? text.left(colon) : QStringLiteral("127.0.0.1");
    const QHostAddress address(host == QLatin1String("localhost") ? QStringLiteral("127.0.0.1")
                                                                  : host);
    if (colon < 0 || !ok || port < 0 || port > 65535 || address.isNull())
        throw Error(QStringLiteral("--listen: '%1' is not HOST:PORT\n%2")
                        .arg(text, SimulatorOptions::usage()));
    o.listenAddress = address;
    o.listenPort = port;
}

const QList<QCommandLineOption>& optionList() {
    static const QList<QCommandLineOption> options = {
        {"state", "State file (JSON); while it runs, its working copy is FILE.db.", "FILE"},
        {"listen", "TCP address to listen on (default 127.0.0.1:4370).", "HOST:PORT"},
        {"serial", "Serial device, or pty for a new pseudo-terminal.", "PATH"},
        {"baud", "Baud rate of the serial device.", "B"},
        {"machine", "Machine number (overrides the state file).", "N"},
        {"password", "Communication password (overrides the state file).", "P"},
        {"refuse-disable", "Refuse SetTerminalEnabled(false)."},
        {"fail", "Fail an operation with a result code.", "OP:CODE[:WHEN]"},
        {"corrupt", "Send a corrupt reply.", "OP[:WHEN[:KIND]]"},
        {"drop-after", "Drop the link after N frames of a session.", "N"},
        {"delay-ms", "Delay every reply.", "MS"},
        {"quiet", "No log lines."},
        {{"help", "h"}, "Print this help and exit."},
        {"version", "Print the version and exit."},
    };
    return options;
}

} // namespace

QString SimulatorOptions::helpText() {
    QString text = usage() + QStringLiteral("\n\nOptions:\n");
    for (const QCommandLineOption& option : optionList()) {
        QString head = QStringLiteral("--") + option.names().first();
        if (!option.valueName().isEmpty())
            head += QLatin1Char(' ') + option.valueName();
        text += QStringLiteral("  %1 %2\n").arg(head.leftJustified(26), option.description());
    }
    return text +
           QStringLiteral("\nFault options apply to this run only. See docs/simulator.md for "
                          "the state file and the faults.\n");
}

QString SimulatorOptions::usage() {
    return QStringLiteral(
        "usage: selvenor-sim --state FILE [--listen HOST:PORT] [--serial PATH|pty] [--baud B] "
        "[--machine N] [--password P] [--refuse-disable] [--fail OP:CODE[:WHEN]] "
        "[--corrupt OP[:WHEN[:KIND]]] [--drop-after N] [--delay-ms MS] [--quiet]\n"
        "       selvenor-sim --help | -h | --version");
}

SimulatorOptions SimulatorOptions::parse(const QStringList& arguments) {
    QCommandLineParser p;
    p.addOptions(optionList());
    if (!p.parse(arguments))
        throw Error(p.errorText() + QLatin1Char('\n') + usage());
    if (!p.positionalArguments().isEmpty())
        throw Error(QStringLiteral("unexpected argument '%1'\n%2")
                        .arg(p.positionalArguments().first(), usage()));
    SimulatorOptions o;
    o.statePath = p.value("state");
    if (o.statePath.isEmpty())
        throw Error(QStringLiteral("--state FILE is required\n") + usage());
    if (p.isSet("listen"))
        parseListen(p.value("listen"), o);
    o.serialPath = p.value("serial");
    if (o.listenPort < 0 && o.serialPath.isEmpty())
        parseListen(QStringLiteral("127.0.0.1:4370"), o);
    if (p.isSet("baud"))
        o.baudRate = integerOption(p, "baud", 1);
    if (p.isSet("machine"))
        o.machine = integerOption(p, "machine", INT_MIN);
    if (p.isSet("password"))
        o.password = integerOption(p, "password", INT_MIN);
    o.faults.refuseDisable = p.isSet("refuse-disable");
    for (const QString& rule : p.values("fail"))
        o.faults.addFailOption(rule);
    for (const QString& rule : p.values("corrupt"))
        o.faults.addCorruptOption(rule);
    if (p.isSet("drop-after"))
        o.faults.dropAfterFrames = integerOption(p, "drop-after", 1);
    if (p.isSet("delay-ms"))
        o.faults.delayMs = integerOption(p, "delay-ms", 0);
    o.quiet = p.isSet("quiet");
    return o;
}

} // namespace selvenor::sim
