#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace selvenor {

// The process's date display formats, in Qt's notation: the short format "dd.MM.yyyy" and the
// long format "dddd, dd MMMM yyyy" with Turkish day and month names. Qt keeps no process-wide
// date format, so these functions are the one way the program turns a date into text when the
// text has no format of its own: the grids show every value through DisplayText, and a label or
// a command's output that shows a date takes DateToStr, DateToLongStr or DateTimeText. Texts
// with a format of their own (the terminal clock's "Tarih = dd/mm/yyyy", the attendance lines,
// backup file names) keep theirs.

// Makes Turkish the process's default locale, so that what Qt itself writes from the locale
// (day and month names among them) is Turkish. The formats above need no setting: they hold
// from the start, in the window and on the command line alike.
void setProcessDateFormats();
QString ShortDateFormat(); // "dd.MM.yyyy"
QString LongDateFormat();  // "dddd, dd MMMM yyyy"

// A NULL or invalid date or date-time gives an empty text in each of these.
QString DateToStr(const QDate& date);     // 05.03.2024
QString DateToLongStr(const QDate& date); // Salı, 05 Mart 2024
// The short date, followed by the time "HH:mm:ss" unless it is midnight: how a date-time value
// with no format of its own shows, in a grid for example.
QString DateTimeToStr(const QDateTime& dateTime);
// The short date and the time "HH:mm:ss", always both (05.03.2024 00:00:00): for a moment that
// is shown as one, such as when something last happened.
QString DateTimeText(const QDateTime& dateTime);

// A value as the operator sees it: a date in the short format, a date-time as DateTimeToStr
// gives it, everything else as its text.
QString DisplayText(const QVariant& value);

} // namespace selvenor
