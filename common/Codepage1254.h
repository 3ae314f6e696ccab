#pragma once

#include <QByteArray>
#include <QString>

namespace selvenor {

// Turkish Windows code page 1254, the form of every text at the system's boundaries
// (Settings.ini, the attendance files, the memory-card file).
QString fromCp1254(QByteArrayView bytes);
QByteArray toCp1254(QStringView text);

} // namespace selvenor
