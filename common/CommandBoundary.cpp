#include "CommandBoundary.h"

#include "Errors.h"

#include <exception>

namespace selvenor {

namespace {

void report(OperatorInterface& ui, const QString& text) {
    ui.messageBox(text, QString(), OperatorInterface::Icon::Error,
                  static_cast<int>(OperatorInterface::Button::Ok));
}

} // namespace

bool runCommand(OperatorInterface& ui, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const Error& e) {
        report(ui, e.text());
    } catch (const std::exception& e) {
        report(ui, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace selvenor
