#include "CommandArguments.h"

#include "CliCommand.h"

#include "common/Errors.h"

namespace selvenor::cli {

void usageError(const QString& command, const QString& message) {
    QString usage = QStringLiteral("Kullanım: selvenor-cli [--data-dir KLASÖR] ") + command;
    for (const Command& c : commands()) {
        if (command == QLatin1String(c.name) && *c.usage)
            usage += QLatin1Char(' ') + QString::fromUtf8(c.usage);
    }
    throw Error(message + QLatin1Char('\n') + usage);
}

CommandArguments::CommandArguments(const QString& command, const QStringList& arguments,
                                   const QStringList& valueOptions, const QStringList& flags)
    : m_command(command) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!a.startsWith(QLatin1String("--"))) {
            m_words << a;
        } else if (flags.contains(a)) {
            m_flags.insert(a);
        } else if (!valueOptions.contains(a)) {
            usageError(command, QStringLiteral("Bilinmeyen seçenek: %1").arg(a));
        } else if (i + 1 >= arguments.size()) {
            usageError(command, QStringLiteral("%1 bir değer ister").arg(a));
        } else {
            m_values.insert(a, arguments[++i]);
        }
    }
}

const QStringList& CommandArguments::words(int count) const {
    if (m_words.size() != count) {
        usageError(m_command, m_words.size() < count
                                  ? QStringLiteral("Eksik argüman")
                                  : QStringLiteral("Fazla argüman: %1")
                                        .arg(m_words.mid(count).join(QLatin1Char(' '))));
    }
    return m_words;
}

bool CommandArguments::has(const QString& option) const {
    return m_flags.contains(option) || m_values.contains(option);
}

QString CommandArguments::value(const QString& option, const QString& defaultValue) const {
    return m_values.value(option, defaultValue);
}

} // namespace selvenor::cli
