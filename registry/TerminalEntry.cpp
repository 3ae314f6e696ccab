#include "TerminalEntry.h"

#include <array>

namespace selvenor {

namespace {

constexpr std::array<const char*, 3> kTips = {"com", "ethernet", "usb"};

} // namespace

std::optional<QString> tipForConnectionType(ConnectionType type) {
    const int item = static_cast<int>(type);
    if (item < 0 || item >= int(kTips.size()))
        return std::nullopt;
    return QString::fromLatin1(kTips[item]);
}

ConnectionType connectionTypeForTip(const QString& tip) {
    for (int item = 0; item < int(kTips.size()); ++item) {
        if (tip == QLatin1String(kTips[item]))
            return static_cast<ConnectionType>(item);
    }
    return ConnectionType::None;
}

QString passwordAfterChoosing(ConnectionType type, const QString& password) {
    if (type == ConnectionType::Ethernet || type == ConnectionType::Usb)
        return QStringLiteral("0");
    return password;
}

TerminalEntry entryOf(const TerminalRecord& row) {
    TerminalEntry e;
    e.Terminal = row.Terminal;
    e.TerminalNo = row.TerminalNo;
    e.Tip = tipForConnectionType(connectionTypeForTip(row.Tip));
    e.ComPort = row.ComPort;
    e.ComBaud = row.ComBaud;
    e.Ip = row.Ip;
    e.NetPort = row.NetPort;
    e.Sifre = row.Sifre;
    return e;
}

} // namespace selvenor
