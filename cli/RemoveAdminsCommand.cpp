#include "CommandArguments.h"
#include "RegistryTerminal.h"

#include "app/AdministratorRemoval.h"
#include "common/OperatorInterface.h"

namespace selvenor::cli {

namespace {

// The removal deletes every enrolment entry of the administrators, so the command line asks
// first, as it does before every erasure; the window's "Admin Sil" button is the consent there.
bool confirmRemoval(OperatorInterface& ui) {
    using Button = OperatorInterface::Button;
    return ui.messageBox(QStringLiteral("Seçili Terminaldeki Tüm Yöneticileri Silmek İstiyor "
                                        "musunuz...?"),
                         QStringLiteral("UYARI"), OperatorInterface::Icon::Question,
                         Button::Yes | Button::No) == Button::Yes;
}

} // namespace

// Removes every administrator from the named terminal and says how it went. Without --yes the
// question is asked on standard input before connecting, so a No never reaches the terminal.
int removeAdmins(CommandContext& context) {
    const CommandArguments arguments("remove-admins", context.arguments, {}, {"--yes"});
    RegistryTerminal terminal(context, "remove-admins");
    const TerminalRecord row = terminal.find(arguments.words(1)[0]);
    if (!arguments.has("--yes") && !confirmRemoval(context.ui))
        return terminal.exitStatus(CommandOutcome::declined(), "Yönetici silme");
    if (!terminal.connect(row))
        return 1;
    const AdministratorRemoval::Result r =
        AdministratorRemoval(terminal.session(), terminal.data(), context.ui).run();
    if (r.listBrokeOff)
        return terminal.exitStatus(r.outcome, "Yönetici silme: kullanıcı listesi (GetNextUserID)");
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
