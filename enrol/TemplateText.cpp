#include "TemplateText.h"

namespace selvenor {

namespace {

constexpr int kGroupLength = 8;

// The 8 characters as a 32-bit two's-complement value; false when one is no hexadecimal digit.
bool parseGroup(QStringView group, qint32& value) {
    quint32 result = 0;
    for (QChar c : group) {
        const ushort u = c.unicode();
        int digit;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        else if (u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else
            return false;
        result = (result << 4) | quint32(digit);
    }
    value = static_cast<qint32>(result);
    return true;
}

} // namespace

QString TemplateToText(const QVector<qint32>& buffer) {
    static const char digits[] = "0123456789ABCDEF";
    QString text(kTemplateTextLength, QLatin1Char(' '));
    QChar* out = text.data();
    for (int i = 0; i < kTemplateElements; ++i) {
        const quint32 value = i < buffer.size() ? static_cast<quint32>(buffer[i]) : 0u;
        QChar* group = out + i * (kGroupLength + 1);
        for (int d = 0; d < kGroupLength; ++d)
            group[d] = QLatin1Char(digits[(value >> (4 * (kGroupLength - 1 - d))) & 0xF]);
    }
    return text;
}

void TextToTemplate(const QString& text, QVector<qint32>& buffer) {
    const int last = int(buffer.size()) - 1;
    for (int i = 0; i < kTemplateElements && i <= last; ++i)
        buffer[i] = 0;
    QStringView rest(text);
    int element = 0;
    while (!rest.isEmpty()) {
        const QStringView group = rest.left(kGroupLength);
        rest = rest.size() > kGroupLength + 1 ? rest.mid(kGroupLength + 1) : QStringView();
        if (group.size() < kGroupLength)
            return;
        qint32 value;
        if (!parseGroup(group, value) || element > last)
            return;
        buffer[element++] = value;
    }
}

} // namespace selvenor
