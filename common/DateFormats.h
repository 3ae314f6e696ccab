#pragma once

#include <QDate>
#include <QString>

namespace selvenor {

// The process's date display formats, set once at start-up. They govern every date turned into
// text without a format of its own (dates shown in grids).
void setProcessDateFormats();
QString ShortDateFormat(); // "dd.MM.yyyy"
QString LongDateFormat();  // "dddd, dd MMMM yyyy", Turkish day and month names
QString DateToStr(const QDate& date);

} // namespace selvenor
