#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// Readable Qt texts in the failure messages of GoogleTest (found through argument lookup).
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toStdString() << '"';
}
