#pragma once

#include <QString>

class QSqlRecord;

namespace selvenor {

// One row of the Terminal table. The editor writes every column as text and the connect
// command converts TerminalNo, NetPort, Sifre, ComPort and ComBaud when it uses them (a text
// that is no integer is a conversion error there), so they are held here as text.
struct TerminalRecord {
    qint64 id = 0;
    QString Terminal;
    QString TerminalNo;
    QString Tip; // "com", "ethernet" or "usb", compared exactly
    QString ComPort;
    QString ComBaud;
    QString Ip;
    QString NetPort;
    QString Sifre;
};

// A row of a query on Terminal, every column read as text (NULL reads as empty).
TerminalRecord terminalRecordFrom(const QSqlRecord& row);

} // namespace selvenor
