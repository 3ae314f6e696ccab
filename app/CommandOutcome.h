#pragma once

namespace selvenor {

class TFP_CLOCK;

// How a terminal command ended, for callers that report it themselves (the command line):
// the window shows only what the command's own messages say.
struct CommandOutcome {
    enum Status {
        Declined,            // the operator answered No; nothing was done
        TerminalNotDisabled, // the terminal could not be disabled; no exchange took place
        Failed,              // the terminal refused or did not answer the command
        Succeeded,
    };

    Status status = Succeeded;
    int resultCode = 0; // GetLastErrorCode right after the failed operation

    static CommandOutcome success() { return {Succeeded, 0}; }
    static CommandOutcome declined() { return {Declined, 0}; }
    // Fetches the result code of the operation that has just failed.
    static CommandOutcome failure(Status status, TFP_CLOCK& clock);

    bool succeeded() const { return status == Succeeded; }
};

} // namespace selvenor
