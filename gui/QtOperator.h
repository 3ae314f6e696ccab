#pragma once

#include "common/OperatorInterface.h"

namespace selvenor {

// The operator of the windows: Qt message boxes over the active window, the wait cursor, the
// file-open dialog. A message box without a caption of its own shows the application's title.
class QtOperator : public OperatorInterface {
public:
    void showMessage(const QString& text) override;
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;
    void setBusy(bool busy) override;
    void letPendingEventsRun() override;
    QString chooseFileToOpen(const QString& startFolder) override;
};

} // namespace selvenor
