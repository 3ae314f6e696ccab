#pragma once

#include "EnrolCommandSupport.h"
#include "RegistryTerminal.h"

#include "enrol/EnrolContext.h"
#include "enrol/EnrollItem.h"
#include "enrol/UserCommands.h"

#include <optional>

namespace selvenor::cli {

// The enrolment window on one terminal of the registry, for the single-user commands of the
// command line: Data.mdb, the connection, the item in transit, the console's answers and view.
class EnrolTerminal {
public:
    EnrolTerminal(CommandContext& context, const QString& command,
                  EnrolQuestionAnswers::Policy policy = EnrolQuestionAnswers::Policy::Stop);

    RegistryTerminal& terminal() { return m_terminal; }
    QSqlDatabase data() const { return m_terminal.data(); }
    // Connects to `row` (reporting why not) and sets the context up.
    bool connect(const TerminalRecord& row);
    // Valid after connect().
    EnrolContext& context() { return *m_ctx; }

    // The summary of a user upload or password change (the entries written); the exit status.
    int sendSummary(const UserCommandResult& r);
    // The summary of an enable or disable; the exit status.
    int activationSummary(const UserCommandResult& r);

private:
    // Reports "terminal could not be disabled" when the command stopped on it.
    bool reportNotDisabled(const UserCommandResult& r);

    CommandContext& m_context;
    QString m_command;
    RegistryTerminal m_terminal;
    EnrolQuestionAnswers m_answers;
    ConsoleEnrolView m_view{m_answers};
    EnrollItem m_item;
    std::optional<EnrolContext> m_ctx;
};

} // namespace selvenor::cli
