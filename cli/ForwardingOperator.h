#pragma once

#include "common/OperatorInterface.h"

namespace selvenor::cli {

// An operator that hands everything to another one; the command line's answering operators
// derive from it and take over only the questions.
class ForwardingOperator : public OperatorInterface {
public:
    explicit ForwardingOperator(OperatorInterface& console)
        : m_console(console) {}

    void showMessage(const QString& text) override;
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;
    void setBusy(bool busy) override;
    void letPendingEventsRun() override;
    QString chooseFileToOpen(const QString& startFolder) override;

protected:
    OperatorInterface& console() { return m_console; }
    // Shows "caption: text -> answer" as a warning: what was asked and how it was answered.
    void reportAnswer(const QString& caption, const QString& text, const QString& answer);

private:
    OperatorInterface& m_console;
};

// The operator of a command given --yes: a Yes/No question is answered Yes and reported.
class ConsentGiven : public ForwardingOperator {
public:
    using ForwardingOperator::ForwardingOperator;
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;
};

} // namespace selvenor::cli
