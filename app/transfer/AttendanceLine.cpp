#include "AttendanceLine.h"

namespace selvenor {

namespace {

constexpr int kInOutGoIn = 4;
constexpr int kInOutGoOut = 5;

// Writes the decimal text of `value`, zero-padded in front to `width`, at `at`; returns the end.
char* putPadded(char* at, qint64 value, int width) {
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    quint64 magnitude = negative ? 0 - quint64(value) : quint64(value);
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        digits[n++] = '-';
    for (int i = n; i < width; ++i)
        *at++ = '0';
    while (n > 0)
        *at++ = digits[--n];
    return at;
}

char* putText(char* at, const char* text) {
    while (*text)
        *at++ = *text++;
    return at;
}

} // namespace

int modeColumn(ModeColumn kind, qint32 verify) {
    switch (kind) {
    case ModeColumn::NewRecords: {
        const int kindOfCheck = verify % 256; // C++ keeps the sign of the dividend
        if (kindOfCheck == 0)
            return 1;
        if (kindOfCheck == 8)
            return 2;
        return kindOfCheck;
    }
    case ModeColumn::AllRecords:
        return verify % 256;
    case ModeColumn::InOut: {
        const int w = verify % 65536;
        const int state = w / 256;
        if (state == kInOutGoIn)
            return 1;
        if (state == kInOutGoOut)
            return 2;
        return w % 256;
    }
    }
    return 0;
}

void appendAttendanceLine(QByteArray& out, const LogRecord& r, int machine, int mode) {
    // Seven numbers of at most 11 characters each and 17 characters of separators.
    char line[128];
    char* at = putPadded(line, r.enrollNumber, 5);
    *at++ = ' ';
    at = putPadded(at, r.day, 2);
    *at++ = '/';
    at = putPadded(at, r.month, 2);
    *at++ = '/';
    at = putPadded(at, r.year, 4);
    *at++ = ' ';
    at = putPadded(at, r.hour, 2);
    *at++ = ':';
    at = putPadded(at, r.minute, 2);
    at = putText(at, ":00 ");
    at = putPadded(at, machine, 2);
    *at++ = ' ';
    at = putPadded(at, mode, 2);
    at = putText(at, "\r\n");
    out.append(line, at - line);
}

} // namespace selvenor
