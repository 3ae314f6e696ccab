#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace selvenor {

// The process's date display formats. They govern every date turned into text without a
// format of its own: grid cells, labels and the command line's output all go through
// DisplayText.
void setProcessDateFormats();
QString ShortDateFormat(); // "dd.MM.yyyy"
QString LongDateFormat();  // "dddd, dd MMMM yyyy", Turkish day and month names
QString DateToStr(const QDate& date);
QString DateToLongStr(const QDate& date);
// The short date, followed by the time "hh:mm:ss" unless it is midnight.
QString DateTimeToStr(const QDateTime& dateTime);

// A value as the operator sees it: dates in the short format, everything else as its text.
QString DisplayText(const QVariant& value);

} // namespace selvenor
