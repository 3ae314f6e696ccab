#include "EnrolTerminal.h"

#include "data/Settings.h"

namespace selvenor::cli {

EnrolTerminal::EnrolTerminal(CommandContext& context, const QString& command,
                             EnrolQuestionAnswers::Policy policy)
    : m_context(context)
    , m_command(command)
    , m_terminal(context, command)
    , m_answers(context.ui, policy) {}

bool EnrolTerminal::connect(const TerminalRecord& row) {
    if (!m_terminal.connect(row))
        return false;
    m_ctx.emplace(m_terminal.dataModule(), m_terminal.session().clock(),
                  m_terminal.session().machineNumber(), m_item, m_answers, m_view,
                  Settings(m_context.folder).mySql());
    return true;
}

bool EnrolTerminal::reportNotDisabled(const UserCommandResult& r) {
    if (r.notDisabled)
        m_terminal.exitStatus({CommandOutcome::TerminalNotDisabled, r.resultCode}, m_command);
    return r.notDisabled;
}

int EnrolTerminal::sendSummary(const UserCommandResult& r) {
    const SendResult& s = r.send;
    const int unwritten = s.rows - s.sent;
    const bool ok = !reportNotDisabled(r) && unwritten == 0;
    if (!r.notDisabled && unwritten > 0)
        m_terminal.exitStatus({CommandOutcome::Failed, s.lastErrorCode},
                              m_command + QStringLiteral(": SetEnrollData"));
    return enrolSummary(
        m_context, m_command, ok,
        QStringLiteral("%1 giriş, %2 yazıldı, %3 yazılamadı%4 (%5)")
            .arg(s.rows)
            .arg(s.sent)
            .arg(unwritten)
            .arg(s.cancelled ? QStringLiteral(", durduruldu") : QString(), m_view.status));
}

int EnrolTerminal::activationSummary(const UserCommandResult& r) {
    const bool ok = !reportNotDisabled(r) && r.failed == 0;
    if (r.failed > 0)
        m_terminal.exitStatus({CommandOutcome::Failed, r.resultCode},
                              m_command + QStringLiteral(": SetUserEnabled"));
    return enrolSummary(m_context, m_command, ok,
                        QStringLiteral("%1 giriş, %2 tamam, %3 başarısız (%4)")
                            .arg(r.done + r.failed)
                            .arg(r.done)
                            .arg(r.failed)
                            .arg(m_view.status));
}

} // namespace selvenor::cli
