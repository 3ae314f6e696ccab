#include "CommandOutcome.h"

#include "terminal/TFP_CLOCK.h"

namespace selvenor {

CommandOutcome CommandOutcome::failure(Status status, TFP_CLOCK& clock) {
    int code = -1;
    if (!clock.GetLastErrorCode(code))
        code = -1;
    return {status, code};
}

} // namespace selvenor
