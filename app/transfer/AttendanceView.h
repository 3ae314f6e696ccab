#pragma once

#include <QString>

namespace selvenor {

// What the attendance commands show in the main window besides messages: the progress bar
// ProgressBar1, the transfer button BitBtn5, and the second area's Edit1, Memo1 (work list,
// result lines) and Memo2 (intermediate lines). The memos are filled whole, never line by line.
class AttendanceView {
public:
    virtual ~AttendanceView() = default;

    virtual void setProgressRange(int minimum, int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void setTransferEnabled(bool enabled) = 0;
    virtual void setFileName(const QString& name) = 0;
    // Lines separated by "\n"; an empty text clears the memo.
    virtual void setWorkLines(const QString& text) = 0;
    virtual void setIntermediateLines(const QString& text) = 0;
    // Whether the memos are shown at all. A view without them (the command line) is given no
    // memo texts, so a command does not build them.
    virtual bool showsLines() const { return true; }
};

} // namespace selvenor
