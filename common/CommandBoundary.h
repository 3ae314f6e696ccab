#pragma once

#include "OperatorInterface.h"

#include <functional>

namespace selvenor {

// The default error reporting of every command: runs `command`, and when it throws, shows the
// error's text in a message box (caption empty: the application's title, error icon, OK) and
// returns false. The command's own guards have run by then; the program goes on.
bool runCommand(OperatorInterface& ui, const std::function<void()>& command);

} // namespace selvenor
