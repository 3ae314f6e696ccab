#pragma once

#include <QFile>
#include <QString>

// The processor model from /proc/cpuinfo, for the machine line of every benchmark's results.
inline QString cpuModel() {
    QFile f(QStringLiteral("/proc/cpuinfo"));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    return QStringLiteral("unknown");
}
