#pragma once

#include <QString>

namespace selvenor {

// What the connect command needs of the main window: the connect button's caption, which shows
// and decides whether a connection is open, and the six terminal commands that are enabled
// exactly while it is.
class ConnectionView {
public:
    virtual ~ConnectionView() = default;
    virtual QString connectCaption() const = 0;
    virtual void setConnectCaption(const QString& caption) = 0;
    virtual void setTerminalCommandsEnabled(bool enabled) = 0;
};

} // namespace selvenor
