#include "RegistryList.h"

#include "RegistryTerminal.h"

namespace selvenor::cli {

RegistryList::RegistryList(CommandContext& context, const QString& command)
    : m_command(command)
    , m_list(m_dm.ADOConnection1()) {
    openDataStore(context.folder, m_dm);
    m_list.open();
}

const TerminalRecord& RegistryList::select(const QString& name) {
    for (int row = 0; row < m_list.count(); ++row) {
        if (m_list.at(row).Terminal == name) {
            m_list.setCurrentRow(row);
            return m_list.current();
        }
    }
    unknownTerminal(m_command, name);
}

bool RegistryList::otherRowNamed(const QString& name, qint64 id) const {
    for (int row = 0; row < m_list.count(); ++row) {
        if (m_list.at(row).Terminal == name && m_list.at(row).id != id)
            return true;
    }
    return false;
}

} // namespace selvenor::cli
