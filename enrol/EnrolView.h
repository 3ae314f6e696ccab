#pragma once

#include <QString>

namespace selvenor {

// The enrolment window's outputs that the commands write to: the status label lblMessage,
// Label2, the user name box txtName, the memo Memo1, the pressed button and the lists.
// The command line and the tests supply their own.
class EnrolView {
public:
    virtual ~EnrolView() = default;
    virtual void setStatus(const QString& text) = 0;
    virtual void setLabel2(const QString& text) = 0;
    virtual void setUserName(const QString& name) = 0;
    virtual void appendMemoLine(const QString& line) = 0;
    virtual void clearMemo() = 0;
    // The button that started the running command, off while it runs.
    virtual void setButtonEnabled(bool enabled) = 0;
    // The store or the name table changed: re-read the name list and the record lists.
    virtual void refreshLists() = 0;
};

} // namespace selvenor
