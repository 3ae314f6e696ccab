#include "RegistryTerminal.h"

#include "CommandArguments.h"

#include "app/TerminalLookup.h"
#include "common/Errors.h"
#include "common/OperatorInterface.h"
#include "terminal/ResultCode.h"

#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>
#include <utility>

namespace selvenor::cli {

namespace {

// The operator of a connection attempt that may be repeated: its plain messages wait until
// the attempt counts (replay) or is repeated (forget); everything else goes through.
class HeldMessages : public OperatorInterface {
public:
    explicit HeldMessages(OperatorInterface& ui)
        : m_ui(ui) {}
    void showMessage(const QString& text) override { m_held << text; }
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override {
        return m_ui.messageBox(text, caption, icon, buttons);
    }
    void setBusy(bool busy) override { m_ui.setBusy(busy); }
    void letPendingEventsRun() override { m_ui.letPendingEventsRun(); }
    QString chooseFileToOpen(const QString& folder) override {
        return m_ui.chooseFileToOpen(folder);
    }

    void replay() {
        for (const QString& text : std::exchange(m_held, {}))
            m_ui.showMessage(text);
    }
    void forget() { m_held.clear(); }

private:
    OperatorInterface& m_ui;
    QStringList m_held;
};

} // namespace

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
    const QDeadlineTimer deadline(waitMs);
    HeldMessages held(m_context.ui);
    while (!m_session.connect(terminal, held)) {
        const qint64 left = deadline.remainingTime();
        if (m_session.lastConnectResult() != ERR_MULTIUSER || left == 0) {
            held.replay();
            reportConnectFailure(terminal);
            return false;
        }
        held.forget();
        QThread::msleep(std::min<qint64>(left, kBusyRetryMs));
    }
    held.replay();
    return true;
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
