#pragma once

#include "CliCommand.h"

#include "data/TfrmDM.h"
#include "registry/TerminalList.h"
#include "registry/TerminalRegistry.h"

namespace selvenor::cli {

// The main window's terminal grid for one command of the command line: Data.mdb of the data
// folder, the terminal list on it, and the row the operator would have selected, found by name.
class RegistryList {
public:
    // Throws Error when Data.mdb is missing or cannot be read.
    RegistryList(CommandContext& context, const QString& command);

    // Makes the row named `name` current (of several with that name, the one added first) and
    // returns it; an unknown name is a usage error.
    const TerminalRecord& select(const QString& name);
    // The commands under the grid, asking `ui`.
    TerminalRegistry registry(OperatorInterface& ui) {
        return TerminalRegistry(ui, m_dm.ADOConnection1(), m_list);
    }
    // Another row than `id` named `name`, if any.
    bool otherRowNamed(const QString& name, qint64 id) const;

private:
    QString m_command;
    TfrmDM m_dm;
    TerminalList m_list;
};

} // namespace selvenor::cli
