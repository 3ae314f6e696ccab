#pragma once

#include <QString>
#include <QtGlobal>

namespace selvenor {

// The terminal's form of a password: up to six decimal digits, one per 4-bit group holding the
// digit plus one, the first digit in the lowest group. The text loses its outer blanks and is
// cut to six characters; a character that is no decimal digit throws ConversionError
// ("'x' is not a valid integer value").
qint32 PackPassword(const QString& text);

// The digits of a packed password in their typed order, as the old password display shows them:
// each 4-bit group from the lowest, minus one, while the value is above 0 (a group of 0 below the
// highest one shows as -1; 0 shows nothing).
QString PasswordDisplay(qint64 value);

} // namespace selvenor
