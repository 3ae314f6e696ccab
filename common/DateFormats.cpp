#include "DateFormats.h"

#include <QLocale>

namespace selvenor {

namespace {

QLocale turkish() {
    return QLocale(QLocale::Turkish, QLocale::Turkey);
}

QString timeOfDay(const QTime& time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

void setProcessDateFormats() {
    QLocale::setDefault(turkish());
}

QString ShortDateFormat() {
    return QStringLiteral("dd.MM.yyyy");
}

QString LongDateFormat() {
    return QStringLiteral("dddd, dd MMMM yyyy");
}

QString DateToStr(const QDate& date) {
    return turkish().toString(date, ShortDateFormat());
}

QString DateToLongStr(const QDate& date) {
    return turkish().toString(date, LongDateFormat());
}

QString DateTimeToStr(const QDateTime& dateTime) {
    if (!dateTime.isValid() || dateTime.time() == QTime(0, 0))
        return DateToStr(dateTime.date());
    return DateTimeText(dateTime);
}

QString DateTimeText(const QDateTime& dateTime) {
    if (!dateTime.isValid())
        return QString();
    return DateToStr(dateTime.date()) + QLatin1Char(' ') + timeOfDay(dateTime.time());
}

QString DisplayText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QDate:
        return DateToStr(value.toDate());
    case QMetaType::QDateTime:
        return DateTimeToStr(value.toDateTime());
    default:
        return value.toString();
    }
}

} // namespace selvenor
