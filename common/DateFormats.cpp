#include "DateFormats.h"

#include <QLocale>

namespace selvenor {

namespace {

QLocale turkish() {
    return QLocale(QLocale::Turkish, QLocale::Turkey);
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
    const QString date = DateToStr(dateTime.date());
    if (dateTime.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + dateTime.time().toString(QStringLiteral("HH:mm:ss"));
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
