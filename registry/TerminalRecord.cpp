#include "TerminalRecord.h"

#include <QSqlRecord>
#include <QVariant>

namespace selvenor {

TerminalRecord terminalRecordFrom(const QSqlRecord& row) {
    // QSqlRecord finds columns without regard to case, as the table's users expect.
    const auto text = [&](const char* column) { return row.value(column).toString(); };
    TerminalRecord r;
    r.id = row.value("id").toLongLong();
    r.Terminal = text("Terminal");
    r.TerminalNo = text("TerminalNo");
    r.Tip = text("Tip");
    r.ComPort = text("ComPort");
    r.ComBaud = text("ComBaud");
    r.Ip = text("Ip");
    r.NetPort = text("NetPort");
    r.Sifre = text("Sifre");
    return r;
}

} // namespace selvenor
