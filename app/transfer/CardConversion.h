#pragma once

#include "data/DataFolder.h"

#include <QByteArray>
#include <QByteArrayView>

namespace selvenor {

class AttendanceView;
class OperatorInterface;

// "sdkart->text (veri.txt)": turns a terminal's memory-card export file (tab-separated, a
// heading line first) into attendance lines appended to veri.txt. Stage 1 normalises every
// tab-ended field to its last five characters, zero-padded in front, and drops the blanks
// (Memo2); stage 2 takes the pieces of the attendance line from fixed positions of that line
// (Memo1, veri.txt). The file is read in pieces and the result lines wait in a temporary file
// until it has been read to its end. The memos are filled once each, and only for a view that
// shows them: without them the memory in use does not grow with the file.
class CardConversion {
public:
    CardConversion(const DataFolder& folder, OperatorInterface& ui, AttendanceView& view);

    // Asks for the file (start folder: the data folder) and converts it; false when the
    // operator cancelled.
    bool run();
    // Converts `fileName`; returns the number of lines appended to veri.txt. Throws FileError
    // when the file cannot be read (nothing is written then) or veri.txt cannot be written
    // (the lines written before stay).
    qsizetype convert(const QString& fileName);

    // Stage 1 on one record line (code page 1254 bytes, no line end).
    static QByteArray intermediateLine(QByteArrayView recordLine);
    // Stage 2 on one intermediate line.
    static QByteArray resultLine(QByteArrayView intermediateLine);
    // The same, appending to `out` (no allocation per line).
    static void appendIntermediateLine(QByteArray& out, QByteArrayView recordLine);
    static void appendResultLine(QByteArray& out, QByteArrayView intermediateLine);

private:
    DataFolder m_folder;
    OperatorInterface& m_ui;
    AttendanceView& m_view;
};

} // namespace selvenor
