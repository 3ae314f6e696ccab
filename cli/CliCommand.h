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

// Where a command's button sits in the windows; the help lists the commands in these groups,
// in this order.
enum class CommandGroup {
    TerminalList,   // main window: the terminal grid and its buttons
    Attendance,     // main window: the attendance transfers
    Administration, // main window: the terminal commands
    EnrolAllData,   // enrolment window, sheet "tüm data"
    EnrolSingleItem,
    EnrolRecords,
    EnrolPasswords,
    EnrolActivation,
    EnrolMembers,
    TimeZones,
    Program, // the program's own commands, beside the windows
};
constexpr CommandGroup kCommandGroups[] = {
    CommandGroup::TerminalList,   CommandGroup::Attendance,      CommandGroup::Administration,
    CommandGroup::EnrolAllData,   CommandGroup::EnrolSingleItem, CommandGroup::EnrolRecords,
    CommandGroup::EnrolPasswords, CommandGroup::EnrolActivation, CommandGroup::EnrolMembers,
    CommandGroup::TimeZones,      CommandGroup::Program};
// The group's title in the help: the window and, for the enrolment window, the sheet.
QString groupTitle(CommandGroup group);

// One command of selvenor-cli. `run` returns the exit status; errors it does not handle are
// selvenor::Error exceptions, reported by the caller with exit status 1.
struct Command {
    const char* name;
    const char* usage; // the arguments after the name, empty when there are none
    const char* summary;
    int (*run)(CommandContext& context);
    CommandGroup group = CommandGroup::Program;
};

// Every command, in table order (CommandTable.cpp); the help lists them group by group.
std::span<const Command> commands();

} // namespace cli
} // namespace selvenor
