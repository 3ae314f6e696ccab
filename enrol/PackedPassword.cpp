#include "PackedPassword.h"

#include "common/Errors.h"
#include "common/TextFunctions.h"

namespace selvenor {

namespace {

constexpr int kMaxDigits = 6;

} // namespace

qint32 PackPassword(const QString& text) {
    const QString digits = TrimText(text).left(kMaxDigits);
    qint32 value = 0;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const QChar c = digits[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(c));
        value = value * 16 + (c.unicode() - '0') + 1;
    }
    return value;
}

QString PasswordDisplay(qint64 value) {
    QString text;
    while (value > 0) {
        text += QString::number(value % 16 - 1);
        value /= 16;
    }
    return text;
}

} // namespace selvenor
