#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace selvenor {

// One attendance record as the terminal hands it out; the terminal keeps no seconds.
struct LogRecord {
    int enrollNumber = 0;
    int verify = 0; // verification value; its second byte carries the in/out state
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

// How a download turns the verification value into the line's last column.
enum class ModeColumn {
    NewRecords, // "Verileri Aktar": remainder by 256, 0 becomes 1 and 8 becomes 2
    AllRecords, // "Tüm Verileri Al (silmez)": remainder by 256, unmapped
    InOut,      // "Tüm Verileri Al(aldıktan sonra cihazdan sil)": _GoIn 1, _GoOut 2
};

int modeColumn(ModeColumn kind, qint32 verify);

// Appends the attendance line "EEEEE DD/MM/YYYY HH:MM:00 MM MO" and CR LF to `out`. Every number
// is zero-padded in front to its width and never cut, exactly as ZeroPad does (a negative
// number keeps its sign behind the zeros: -5 to width 4 is "00-5"). The line is plain ASCII,
// so its bytes are already code page 1254.
void appendAttendanceLine(QByteArray& out, const LogRecord& record, int machine, int mode);

} // namespace selvenor
