#include "ConsentGiven.h"

namespace selvenor::cli {

void ConsentGiven::reportAnswer(const QString& caption, const QString& text,
                                const QString& answer) {
    inner().messageBox(QStringLiteral("%1: %2 -> %3").arg(caption, text, answer), QString(),
                       Icon::Warning, static_cast<int>(Button::Ok));
}

OperatorInterface::Button ConsentGiven::messageBox(const QString& text, const QString& caption,
                                                   Icon icon, Buttons buttons) {
    const bool yesNo = (buttons & static_cast<int>(Button::Yes)) != 0 &&
                       (buttons & static_cast<int>(Button::Cancel)) == 0;
    if (!yesNo)
        return ForwardingOperator::messageBox(text, caption, icon, buttons);
    reportAnswer(caption, text, QStringLiteral("evet"));
    return Button::Yes;
}

} // namespace selvenor::cli
