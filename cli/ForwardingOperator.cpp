#include "ForwardingOperator.h"

namespace selvenor::cli {

void ForwardingOperator::showMessage(const QString& text) {
    m_console.showMessage(text);
}

OperatorInterface::Button ForwardingOperator::messageBox(const QString& text,
                                                         const QString& caption, Icon icon,
                                                         Buttons buttons) {
    return m_console.messageBox(text, caption, icon, buttons);
}

void ForwardingOperator::setBusy(bool busy) {
    m_console.setBusy(busy);
}

void ForwardingOperator::letPendingEventsRun() {
    m_console.letPendingEventsRun();
}

QString ForwardingOperator::chooseFileToOpen(const QString& startFolder) {
    return m_console.chooseFileToOpen(startFolder);
}

void ForwardingOperator::reportAnswer(const QString& caption, const QString& text,
                                      const QString& answer) {
    m_console.messageBox(QStringLiteral("%1: %2 -> %3").arg(caption, text, answer), QString(),
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
