#include "CliCommand.h"
#include "CommandArguments.h"
#include "ConsoleAttendanceView.h"

#include "app/transfer/CardConversion.h"

namespace selvenor::cli {

// "sdkart->text (veri.txt)" on the named memory-card file.
int convertCard(CommandContext& context) {
    const QString file = CommandArguments("convert-card", context.arguments).words(1)[0];
    ConsoleAttendanceView view;
    const qsizetype lines = CardConversion(context.folder, context.ui, view).convert(file);
    context.out << QStringLiteral("%1: %2 satır veri.txt dosyasına eklendi").arg(file).arg(lines)
                << '\n';
    return 0;
}

} // namespace selvenor::cli
