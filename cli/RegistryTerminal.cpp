#include "RegistryTerminal.h"

#include "CommandArguments.h"

#include "app/TerminalLookup.h"
#include "common/Errors.h"
#include "common/OperatorInterface.h"
#include "terminal/ResultCode.h"

namespace selvenor::cli {

void unknownTerminal(const QString& command, const QString& name) {
    usageError(command,
               QStringLiteral("Bilinmeyen terminal: '%1' (kayıtlı terminaller: selvenor-cli "
                              "terminals)")
                   .arg(name));
}

void openDataStore(const DataFolder& folder, TfrmDM& dm) {
    const QString file = folder.file(QStringLiteral("Data.mdb"));
    if (!TfrmDM::openStore(dm.ADOConnection1(), file))
        throw FileError(
            QStringLiteral("Data dosyası bulunamadı: %1 (önce: selvenor-cli init)").arg(file));
}

RegistryTerminal::RegistryTerminal(CommandContext& context, const QString& command)
    : m_context(context)
    , m_command(command) {
    openDataStore(context.folder, m_dm);
}

RegistryTerminal::~RegistryTerminal() {
    if (m_session.isConnected())
        m_session.disconnect();
}

TerminalRecord RegistryTerminal::find(const QString& name) const {
    const std::optional<TerminalRecord> terminal = findTerminalByName(data(), name);
    if (!terminal)
        unknownTerminal(m_command, name);
    return *terminal;
}

bool RegistryTerminal::connectWhenFree(const TerminalRecord& terminal, int waitMs) {
    if (m_session.connectWhenFree(terminal, m_context.ui, waitMs))
        return true;
    reportConnectFailure(terminal);
    return false;
}

void RegistryTerminal::reportConnectFailure(const TerminalRecord& terminal) const {
    const int code = m_session.lastConnectResult();
    if (code == TerminalSession::kNoResultCode)
        reportError(QStringLiteral("'%1' terminalinin bağlantı türü tanınmıyor: '%2' (com, "
                                   "ethernet veya usb olmalı)")
                        .arg(terminal.Terminal, terminal.Tip));
    else
        reportError(QStringLiteral("'%1' terminaline bağlanılamadı: %2")
                        .arg(terminal.Terminal, ResultCodeText(code)));
}

bool RegistryTerminal::connectToNamedTerminal() {
    return connect(CommandArguments(m_command, m_context.arguments).words(1)[0]);
}

int RegistryTerminal::exitStatus(const CommandOutcome& outcome, const QString& what) const {
    switch (outcome.status) {
    case CommandOutcome::Succeeded:
        return 0;
    case CommandOutcome::Declined:
        reportError(QStringLiteral("%1: vazgeçildi, terminale dokunulmadı").arg(what));
        break;
    case CommandOutcome::TerminalNotDisabled:
        reportError(QStringLiteral("%1: terminal kilitlenemedi (SetTerminalEnabled): %2")
                        .arg(what, ResultCodeText(outcome.resultCode)));
        break;
    case CommandOutcome::Failed:
        reportError(
            QStringLiteral("%1 başarısız: %2").arg(what, ResultCodeText(outcome.resultCode)));
        break;
    }
    return 1;
}

void RegistryTerminal::reportError(const QString& text) const {
    m_context.ui.messageBox(text, QString(), OperatorInterface::Icon::Error,
                            static_cast<int>(OperatorInterface::Button::Ok));
}

} // namespace selvenor::cli
