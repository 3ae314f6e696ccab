#pragma once

#include "data/DataFolder.h"

#include <QStringList>
#include <QTextStream>

#include <span>

namespace selvenor {

class OperatorInterface;

namespace cli {

// What a command of selvenor-cli gets: the data folder (--data-dir or the executable's
// folder), the arguments after its name, standard output and the operator (questions are
// asked on standard input, errors go to standard error).
struct CommandContext {
    DataFolder folder;
    QStringList arguments;
    QTextStream& out;
    OperatorInterface& ui;
};

// One command of selvenor-cli. `run` returns the exit status; errors it does not handle are
// selvenor::Error exceptions, reported by the caller with exit status 1.
struct Command {
    const char* name;
    const char* usage; // the arguments after the name, empty when there are none
    const char* summary;
    int (*run)(CommandContext& context);
};

// Every command, in the order the help lists them (CommandTable.cpp).
std::span<const Command> commands();

} // namespace cli
} // namespace selvenor
