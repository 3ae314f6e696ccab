#include "TextFunctions.h"

#include "Errors.h"

#include <optional>

namespace selvenor {

QString PadString(const QString& text, const QString& fill, int length, bool right) {
    if (text.size() == length)
        return text;
    if (text.size() > length)
        return text.left(length);
    const QString padding = fill.repeated(length - text.size());
    return right ? text + padding : padding + text;
}

QString ZeroPad(const QString& text, int width) {
    if (text.size() >= width)
        return text;
    return QString(width - text.size(), QLatin1Char('0')) + text;
}

QString ZeroPad(qint64 number, int width) {
    return ZeroPad(QString::number(number), width);
}

namespace {

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= '0' && u <= '9')
        value = u - '0';
    else if (u >= 'a' && u <= 'f')
        value = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        value = u - 'A' + 10;
    return value < base ? value : -1;
}

std::optional<qint32> parseInt32(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    if (i >= text.size())
        return std::nullopt;

    // Hexadecimal takes up to 32 bits as a two's-complement pattern ($FFFFFFFF is -1);
    // decimal must fit the signed range.
    const qint64 limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], base);
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    if (base == 16)
        value = static_cast<qint32>(static_cast<quint32>(value));
    return static_cast<qint32>(negative ? -value : value);
}

} // namespace

qint32 StrToInt(const QString& text) {
    if (const auto value = parseInt32(text))
        return *value;
    throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

bool IsNumeric(const QString& text) {
    return parseInt32(text).has_value();
}

QString TrimText(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= ' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace selvenor
