#include "CommandArguments.h"
#include "RegistryTerminal.h"

#include "registry/TerminalList.h"

namespace selvenor::cli {

namespace {

QString linkOf(const TerminalRecord& t) {
    if (t.Tip == QLatin1String("ethernet"))
        return QStringLiteral("%1:%2").arg(t.Ip, t.NetPort);
    if (t.Tip == QLatin1String("com"))
        return QStringLiteral("port %1, %2 baud").arg(t.ComPort, t.ComBaud);
    return QString();
}

} // namespace

// Lists the registry in name order: name, machine number, link kind and address.
int terminals(CommandContext& context) {
    CommandArguments("terminals", context.arguments).words(0);
    TfrmDM dm;
    openDataStore(context.folder, dm);
    TerminalList list(dm.ADOConnection1());
    list.open();
    if (list.isEmpty())
        context.out << QStringLiteral("Kayıtlı terminal yok") << '\n';
    for (int i = 0; i < list.count(); ++i) {
        const TerminalRecord& t = list.at(i);
        context.out << t.Terminal << '\t' << t.TerminalNo << '\t' << t.Tip << '\t' << linkOf(t)
                    << '\n';
    }
    return 0;
}

} // namespace selvenor::cli
