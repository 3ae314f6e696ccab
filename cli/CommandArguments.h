#pragma once

#include "common/Errors.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace selvenor::cli {

// Throws selvenor::Error with `message` and the usage line of `command` from the command table.
[[noreturn]] void usageError(const QString& command, const QString& message);

// Runs `check`, the checks of a command's input; an Error it throws is thrown again with
// "command: " in front, so the line names what refused the input.
template <typename F> auto checkedInput(const QString& command, F&& check) {
    try {
        return check();
    } catch (const Error& e) {
        throw Error(command + QStringLiteral(": ") + e.text());
    }
}

// The arguments of one command: words, options that take a value ("--number 3") and flags
// ("--yes"). An option the command does not know, or one without its value, is a usage error.
class CommandArguments {
public:
    CommandArguments(const QString& command, const QStringList& arguments,
                     const QStringList& valueOptions = {}, const QStringList& flags = {});

    // Exactly `count` words, else a usage error.
    const QStringList& words(int count) const;
    // Every word, however many.
    const QStringList& words() const { return m_words; }
    bool has(const QString& option) const;
    QString value(const QString& option, const QString& defaultValue = QString()) const;

private:
    QString m_command;
    QStringList m_words;
    QHash<QString, QString> m_values;
    QSet<QString> m_flags;
};

} // namespace selvenor::cli
