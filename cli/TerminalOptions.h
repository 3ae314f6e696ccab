#pragma once

#include "CommandArguments.h"

#include "registry/TerminalEntry.h"

namespace selvenor::cli {

// The value options and flags of a terminal's fields on the command line: --number N,
// --tcp HOST:PORT with --password P, --com PORT with --baud B, --usb.
QStringList terminalValueOptions();
QStringList terminalFlags();

// Puts the options into `entry` as the editor's fields would take them. --tcp, --com and --usb
// choose the connection type as the editor's selector does: TCP/IP and USB start with the
// password "0" unless --password is given. --password needs a TCP/IP terminal, --baud a serial
// one. With `linkRequired` exactly one of --tcp, --com and --usb must be given, else at most
// one. Wrong use is a usage error of `command`.
void applyTerminalOptions(const QString& command, const CommandArguments& a, TerminalEntry& entry,
                          bool linkRequired);

} // namespace selvenor::cli
