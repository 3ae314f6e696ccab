#include "RegistryTerminal.h"

#include "app/AdministratorRemoval.h"

namespace selvenor::cli {

// Removes every administrator from the named terminal and says how it went.
int removeAdmins(CommandContext& context) {
    RegistryTerminal terminal(context, "remove-admins");
    if (!terminal.connectToNamedTerminal())
        return 1;
    const AdministratorRemoval::Result r =
        AdministratorRemoval(terminal.session(), terminal.data(), context.ui).run();
    context.out << QStringLiteral("%1 kayıt listelendi (ENROLLINFO), %2 yönetici kaydı, %3 "
                                  "silindi, %4 silinemedi")
                       .arg(r.listed)
                       .arg(r.administrators)
                       .arg(r.deleted)
                       .arg(r.notDeleted)
                << '\n';
    return terminal.exitStatus(r.outcome, "Yönetici silme");
}

} // namespace selvenor::cli
