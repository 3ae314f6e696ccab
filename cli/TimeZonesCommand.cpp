#include "CliCommand.h"
#include "CommandArguments.h"

#include "timezone/TimeZoneTable.h"

namespace selvenor::cli {

// The time-zone window's list as it shows it when opened: one line per slot. The table lives
// in memory only, and every showing starts from the defaults, so this is what it holds.
int timeZones(CommandContext& context) {
    CommandArguments(QStringLiteral("time-zones"), context.arguments).words(0);
    TimeZoneTable table;
    table.reset();
    for (const QString& line : table.lines())
        context.out << line << '\n';
    return 0;
}

} // namespace selvenor::cli
