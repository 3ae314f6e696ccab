#pragma once

#include "CliCommand.h"

#include "app/CommandOutcome.h"
#include "app/TerminalSession.h"
#include "data/TfrmDM.h"
#include "registry/TerminalRecord.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor::cli {

// A terminal of the registry for one command of the command line: opens Data.mdb of the data
// folder, finds the terminal by name and connects to it as the connect button does. The
// connection is closed when the object goes.
class RegistryTerminal {
public:
    // Throws Error when Data.mdb is missing or cannot be opened.
    RegistryTerminal(CommandContext& context, const QString& command);
    ~RegistryTerminal();
    RegistryTerminal(const RegistryTerminal&) = delete;
    RegistryTerminal& operator=(const RegistryTerminal&) = delete;

    // The row named `name`; an unknown name is a usage error.
    TerminalRecord find(const QString& name) const;
    // Connects; on failure reports why on the error stream and returns false.
    bool connect(const TerminalRecord& terminal) { return connectWhenFree(terminal, 0); }
    // connect(), trying again while another client holds the terminal until `waitMs` has
    // passed (TerminalSession::connectWhenFree). Only the last attempt's failure is reported.
    bool connectWhenFree(const TerminalRecord& terminal, int waitMs);
    // find() and connect() in one.
    bool connect(const QString& name) { return connect(find(name)); }
    // Connects to the terminal named by the command's one argument (anything else is a usage
    // error).
    bool connectToNamedTerminal();

    TerminalSession& session() { return m_session; }
    QSqlDatabase data() const { return m_dm.ADOConnection1(); }
    TfrmDM& dataModule() { return m_dm; }

    // 0 for a command that succeeded; else reports `what` failed, with the result code's name
    // (or that the terminal could not be disabled), and returns 1.
    int exitStatus(const CommandOutcome& outcome, const QString& what) const;
    // Reports a failure on the error stream.
    void reportError(const QString& text) const;

private:
    void reportConnectFailure(const TerminalRecord& terminal) const;

    CommandContext& m_context;
    QString m_command;
    TfrmDM m_dm;
    TFP_CLOCK m_clock;
    TerminalSession m_session{m_clock};
};

// Opens Data.mdb of the data folder on the data module; throws FileError when it is missing.
void openDataStore(const DataFolder& folder, TfrmDM& dm);

// The usage error of `command` for a terminal name that the registry does not hold.
[[noreturn]] void unknownTerminal(const QString& command, const QString& name);

} // namespace selvenor::cli
