#include "CommandArguments.h"
#include "RegistryTerminal.h"

#include "app/TerminalLookup.h"
#include "common/Errors.h"
#include "common/OperatorInterface.h"
#include "registry/TerminalStore.h"

namespace selvenor::cli {

namespace {

const char* const kCommand = "add-terminal";

// The link columns from exactly one of --tcp, --com and --usb.
void setLink(const CommandArguments& a, TerminalEntry& entry) {
    const int kinds = int(a.has("--tcp")) + int(a.has("--com")) + int(a.has("--usb"));
    if (kinds != 1)
        usageError(kCommand, QStringLiteral("--tcp, --com ve --usb seçeneklerinden tam biri "
                                            "gerekli"));
    if ((a.has("--password") && !a.has("--tcp")) || (a.has("--baud") && !a.has("--com")))
        usageError(kCommand, QStringLiteral("--password yalnız --tcp, --baud yalnız --com ile"));
    if (a.has("--tcp")) {
        const QString address = a.value("--tcp");
        const qsizetype colon = address.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0 || colon == address.size() - 1)
            usageError(kCommand,
                       QStringLiteral("--tcp HOST:PORT bekler, verilen: '%1'").arg(address));
        entry.Tip = QStringLiteral("ethernet");
        entry.Ip = address.left(colon);
        entry.NetPort = address.mid(colon + 1);
        entry.Sifre = a.value("--password", QStringLiteral("0"));
    } else if (a.has("--com")) {
        entry.Tip = QStringLiteral("com");
        entry.ComPort = a.value("--com");
        entry.ComBaud = a.value("--baud", QStringLiteral("9600"));
    } else {
        entry.Tip = QStringLiteral("usb");
    }
}

} // namespace

// Registers a terminal; a name already in the registry is refused.
int addTerminal(CommandContext& context) {
    const CommandArguments a(kCommand, context.arguments,
                             {"--number", "--tcp", "--password", "--com", "--baud"}, {"--usb"});
    TerminalEntry entry;
    entry.Terminal = a.words(1)[0];
    if (!a.has("--number"))
        usageError(kCommand, QStringLiteral("--number N gerekli"));
    entry.TerminalNo = a.value("--number");
    setLink(a, entry);

    TfrmDM dm;
    openDataStore(context.folder, dm);
    if (findTerminalByName(dm.ADOConnection1(), entry.Terminal))
        throw Error(QStringLiteral("'%1' adlı terminal zaten kayıtlı").arg(entry.Terminal));
    const qint64 id = TerminalStore(dm.ADOConnection1()).insert(entry);
    context.out << QStringLiteral("Terminal eklendi: %1 (id %2)").arg(entry.Terminal).arg(id)
                << '\n';
    return 0;
}

} // namespace selvenor::cli
