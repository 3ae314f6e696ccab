#include "CliCommand.h"

namespace selvenor::cli {

// A command lives in a file of its own; declare its function here and add its row below.
int init(CommandContext& context);

namespace {

const Command kCommands[] = {
    {"init", "", "Data.mdb, Log.mdb ve Settings.ini eksikse oluşturur; var olana dokunmaz", init},
};

} // namespace

std::span<const Command> commands() {
    return kCommands;
}

} // namespace selvenor::cli
