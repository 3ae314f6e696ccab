#pragma once

#include <QByteArrayView>

namespace selvenor {

// Calls `f(line)` for every line of `text`, the way a memo loads a file: a line ends at CR LF,
// LF or a lone CR; a last line without an end counts, an end at the very end adds no line.
template <typename F> void forEachLine(QByteArrayView text, F&& f) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\n' && *q != '\r')
            ++q;
        f(QByteArrayView(p, q - p));
        if (q < end && *q == '\r' && q + 1 < end && q[1] == '\n')
            ++q;
        p = q + 1;
    }
}

} // namespace selvenor
