#pragma once

#include <QString>
#include <QtGlobal>

namespace selvenor {

// Pads `text` with `fill` up to `length` (behind it when `right`, else in front), or cuts it to
// its first `length` characters. A fill of several characters is repeated whole, so the result
// may be longer than `length`.
QString PadString(const QString& text, const QString& fill, int length, bool right);

// Puts "0" in front of `text` until it is at least `width` long; never cuts.
QString ZeroPad(const QString& text, int width);
QString ZeroPad(qint64 number, int width);

// The system's text-to-integer conversion: optional leading blanks, an optional sign, then
// decimal digits or "$" and hexadecimal digits. Anything else, or a value outside 32 bits,
// throws ConversionError with the text "'<text>' is not a valid integer value".
qint32 StrToInt(const QString& text);

// True when StrToInt would accept the text.
bool IsNumeric(const QString& text);

// Delphi-style trim: removes leading and trailing blanks and control characters.
QString TrimText(const QString& text);

} // namespace selvenor
