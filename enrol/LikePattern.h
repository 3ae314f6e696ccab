#pragma once

#include <QString>

namespace selvenor {

// The condition and the bound value of a "begins with" search on the personnel server: `column LIKE
// ? ESCAPE '!'` with the operator's text, its own % and _ taken literally.
inline QString beginsWithCondition(const QString& column) {
    return column + QStringLiteral(" LIKE ? ESCAPE '!'");
}

inline QString beginsWithPattern(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() + 1);
    for (QChar c : text) {
        if (c == QLatin1Char('!') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('!');
        escaped += c;
    }
    return escaped + QLatin1Char('%');
}

} // namespace selvenor
