#include "ConsoleOperator.h"

#include <QCoreApplication>

namespace selvenor::cli {

ConsoleOperator::ConsoleOperator(QTextStream& out, QTextStream& err, QTextStream& in)
    : m_out(out)
    , m_err(err)
    , m_in(in) {}

void ConsoleOperator::showMessage(const QString& text) {
    m_out << text << '\n';
    m_out.flush();
}

OperatorInterface::Button ConsoleOperator::messageBox(const QString& text, const QString& caption,
                                                      Icon icon, Buttons buttons) {
    const QString line = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
    if (has(buttons, Button::Yes))
        return ask(line, buttons);
    QTextStream& stream = (icon == Icon::Error || icon == Icon::Warning) ? m_err : m_out;
    stream << line << '\n';
    stream.flush();
    return has(buttons, Button::Ok) ? Button::Ok : Button::Cancel;
}

OperatorInterface::Button ConsoleOperator::ask(const QString& text, Buttons buttons) {
    m_out << text << (has(buttons, Button::Cancel) ? " [e/h/i] " : " [e/h] ");
    m_out.flush();
    const QString answer = m_in.readLine().trimmed().toLower();
    if (answer == QLatin1String("e") || answer == QLatin1String("evet"))
        return Button::Yes;
    if (has(buttons, Button::Cancel) &&
        (answer == QLatin1String("i") || answer == QLatin1String("iptal")))
        return Button::Cancel;
    return has(buttons, Button::No) ? Button::No : Button::Cancel;
}

void ConsoleOperator::setBusy(bool) {}

void ConsoleOperator::letPendingEventsRun() {
    QCoreApplication::processEvents();
}

QString ConsoleOperator::chooseFileToOpen(const QString&) {
    return QString();
}

} // namespace selvenor::cli
