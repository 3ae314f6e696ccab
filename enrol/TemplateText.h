#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

namespace selvenor {

// Elements of a template in the buffer; the buffer itself carries one element more
// (kEnrollDataSize), which travels to and from the terminal but is never stored.
inline constexpr int kTemplateElements = 354;
// 354 groups of 8 hexadecimal digits and 353 separating blanks.
inline constexpr int kTemplateTextLength = kTemplateElements * 8 + kTemplateElements - 1;

// The store's text form of a template: elements 0 to 353 as 8 upper-case hexadecimal digits of
// their two's-complement value, separated by one blank.
QString TemplateToText(const QVector<qint32>& buffer);

// Fills `buffer` from a template text: elements 0 to 353 are cleared first, element 354 keeps
// its value. Each group is the next 8 characters, and the character after it is skipped whatever
// it is. Stops quietly at a short group, a group that is not hexadecimal, or past element 354;
// the elements not read stay 0. Reports nothing.
void TextToTemplate(const QString& text, QVector<qint32>& buffer);

} // namespace selvenor
