#include "TerminalOptions.h"

namespace selvenor::cli {

namespace {

void takeTcpAddress(const QString& command, const QString& address, TerminalEntry& entry) {
    const qsizetype colon = address.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0 || colon == address.size() - 1)
        usageError(command, QStringLiteral("--tcp HOST:PORT bekler, verilen: '%1'").arg(address));
    entry.Ip = address.left(colon);
    entry.NetPort = address.mid(colon + 1);
}

// The selector's choice: the Tip and the password the editor gives it.
void choose(ConnectionType type, TerminalEntry& entry) {
    entry.Tip = tipForConnectionType(type);
    entry.Sifre = passwordAfterChoosing(type, entry.Sifre);
}

void chooseLink(const QString& command, const CommandArguments& a, TerminalEntry& entry,
                bool linkRequired) {
    const int kinds = int(a.has("--tcp")) + int(a.has("--com")) + int(a.has("--usb"));
    if (linkRequired && kinds != 1)
        usageError(command, QStringLiteral("--tcp, --com ve --usb seçeneklerinden tam biri "
                                           "gerekli"));
    if (kinds > 1)
        usageError(command, QStringLiteral("--tcp, --com ve --usb seçeneklerinden yalnız biri"));
    if (a.has("--tcp")) {
        takeTcpAddress(command, a.value("--tcp"), entry);
        choose(ConnectionType::Ethernet, entry);
    } else if (a.has("--com")) {
        choose(ConnectionType::Com, entry);
        entry.ComPort = a.value("--com");
        if (entry.ComBaud.isEmpty())
            entry.ComBaud = QStringLiteral("9600");
    } else if (a.has("--usb")) {
        choose(ConnectionType::Usb, entry);
    }
}

} // namespace

QStringList terminalValueOptions() {
    return {"--number", "--tcp", "--password", "--com", "--baud"};
}

QStringList terminalFlags() {
    return {"--usb"};
}

void applyTerminalOptions(const QString& command, const CommandArguments& a, TerminalEntry& entry,
                          bool linkRequired) {
    if (a.has("--number"))
        entry.TerminalNo = a.value("--number");
    chooseLink(command, a, entry, linkRequired);
    const ConnectionType type = connectionTypeForTip(entry.Tip.value_or(QString()));
    if ((a.has("--password") && type != ConnectionType::Ethernet) ||
        (a.has("--baud") && type != ConnectionType::Com))
        usageError(command, QStringLiteral("--password yalnız tcp/ip (--tcp), --baud yalnız com "
                                           "(--com) bağlantılı terminalde"));
    if (a.has("--password"))
        entry.Sifre = a.value("--password");
    if (a.has("--baud"))
        entry.ComBaud = a.value("--baud");
}

} // namespace selvenor::cli
