#pragma once

#include "app/transfer/AttendanceView.h"

#include <cstdio>

namespace selvenor::cli {

// The attendance commands' view on the command line: the progress bar is drawn on standard
// error when that is a terminal, and nothing is drawn otherwise (a scheduler's log stays
// clean). The memos and the file name have no place here.
class ConsoleAttendanceView : public AttendanceView {
public:
    explicit ConsoleAttendanceView(FILE* stream = stderr);
    ~ConsoleAttendanceView() override;

    // The text shown before the bar, e.g. the terminal's name; ends the previous bar's line.
    void setLabel(const QString& label);

    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    void setTransferEnabled(bool) override {}
    void setFileName(const QString&) override {}
    void setWorkLines(const QString&) override {}
    void setIntermediateLines(const QString&) override {}
    bool showsLines() const override { return false; }

private:
    void finishLine();

    FILE* m_stream;
    bool m_enabled;
    bool m_drawn = false;
    QString m_label;
    int m_minimum = 0;
    int m_maximum = 0;
};

} // namespace selvenor::cli
