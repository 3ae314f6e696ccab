#include "DateFormats.h"

#include <QLocale>

namespace selvenor {

void setProcessDateFormats() {
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
}

QString ShortDateFormat() {
    return QStringLiteral("dd.MM.yyyy");
}

QString LongDateFormat() {
    return QStringLiteral("dddd, dd MMMM yyyy");
}

QString DateToStr(const QDate& date) {
    return QLocale().toString(date, ShortDateFormat());
}

} // namespace selvenor
