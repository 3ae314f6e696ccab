#pragma once

#include "app/transfer/AttendanceView.h"

namespace selvenor {

class Tfrmgiris;

// The attendance commands' view in the main window: ProgressBar1, BitBtn5, Edit1, Memo1, Memo2.
// A memo gets its whole text at once, so a conversion of a large file lays it out once.
class MainWindowAttendanceView : public AttendanceView {
public:
    explicit MainWindowAttendanceView(Tfrmgiris& window);

    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    void setTransferEnabled(bool enabled) override;
    void setFileName(const QString& name) override;
    void setWorkLines(const QString& text) override;
    void setIntermediateLines(const QString& text) override;

private:
    Tfrmgiris& m_window;
};

} // namespace selvenor
