#pragma once

#include "TerminalRecord.h"

#include <QString>

#include <optional>

namespace selvenor {

// What the terminal editor stores: every column of Terminal but id, as typed in its fields.
// Tip is unset while the connection type selector holds no item; a save then leaves the
// column as it was.
struct TerminalEntry {
    QString Terminal;
    QString TerminalNo;
    std::optional<QString> Tip;
    QString ComPort;
    QString ComBaud;
    QString Ip;
    QString NetPort;
    QString Sifre;
};

// The connection type selector's items ("comport", "tcp/ip", "usb") and the Tip each stores.
enum class ConnectionType { None = -1, Com = 0, Ethernet = 1, Usb = 2 };

// "com", "ethernet" or "usb"; unset for None.
std::optional<QString> tipForConnectionType(ConnectionType type);
// The item whose Tip is exactly `tip`; None for any other text ("Com" included).
ConnectionType connectionTypeForTip(const QString& tip);

// The password field after the operator chose `type` in the selector: a TCP/IP or USB terminal
// starts with no communication password ("0"); a serial one keeps the field's text.
QString passwordAfterChoosing(ConnectionType type, const QString& password);

// What a freshly opened editor holds after "Değiştir" filled it from `row`: every field as the
// column's text; a Tip naming no connection type leaves the selector without an item, so a save
// keeps the column.
TerminalEntry entryOf(const TerminalRecord& row);

} // namespace selvenor
