#pragma once

#include <QByteArray>

namespace selvenor {

// Test support for the interruption tests: with SELVENOR_TEST_CRASH_AT=POINT:N in the
// environment the process kills itself (SIGKILL, no clean-up at all) when the Nth batch of a
// run reaches POINT. Without the variable nothing happens. The points, N counting the files
// of the batch from 0 in the order they are written (veri.txt first, the backup last):
//   begun         the batch is recorded in the journal; no file touched yet
//   fileN         exactly the first half of the batch's bytes are in file N (which may end
//                 between two lines or inside one, as the batch's lines fall)
//   cutN          a part of the batch ending inside a line is in file N
//   doneN         file N holds the whole batch, synced, and the journal says so (for the last
//                 file only the bytes: the written entry follows); the next file has nothing
//   written       every file holds the batch and the journal says so; not yet acknowledged
//   acknowledged  the terminal took the acknowledgement; the journal does not know it yet
class CrashPoint {
public:
    static bool reached(const QByteArray& point, int batch);
    [[noreturn]] static void crash();
    static void crashIfReached(const QByteArray& point, int batch) {
        if (reached(point, batch))
            crash();
    }
    // "file0", "done2": a point of the file with this index.
    static QByteArray ofFile(const char* point, size_t index);
    // How many bytes of `lines` end inside a line, near the middle: for cutN.
    static qsizetype insideALine(const QByteArray& lines);
};

} // namespace selvenor
