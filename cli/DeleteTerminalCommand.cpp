#include "CommandArguments.h"
#include "ConsentGiven.h"
#include "RegistryList.h"
#include "RegistryTerminal.h"

#include "common/Errors.h"

namespace selvenor::cli {

// "Sil" on the named terminal: the main window's question is asked on standard input (--yes
// answers it for scripts); anything but a Yes, the end of input included, deletes nothing.
int deleteTerminal(CommandContext& context) {
    const QString command = QStringLiteral("delete-terminal");
    const CommandArguments a(command, context.arguments, {}, {QStringLiteral("--yes")});
    const QString name = a.words(1)[0];
    RegistryList list(context, command);
    const qint64 id = list.select(name).id;
    ConsentGiven consent(context.ui);
    OperatorInterface& ui = a.has("--yes") ? static_cast<OperatorInterface&>(consent) : context.ui;
    using Deletion = TerminalRegistry::Deletion;
    switch (list.registry(ui).deleteCurrent()) {
    case Deletion::Deleted:
        context.out << QStringLiteral("Terminal silindi: %1 (id %2)").arg(name).arg(id) << '\n';
        return 0;
    case Deletion::Declined:
        throw Error(QStringLiteral("Terminal silme: vazgeçildi, hiçbir kayıt silinmedi"));
    case Deletion::AlreadyGone:
        throw DatabaseError(QStringLiteral("Terminal silme: '%1' kaydı zaten silinmiş").arg(name));
    case Deletion::EmptyList:
        break;
    }
    unknownTerminal(command, name);
}

} // namespace selvenor::cli
