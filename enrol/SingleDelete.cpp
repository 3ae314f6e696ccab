#include "SingleDelete.h"

#include "EnrolContext.h"
#include "EnrolView.h"

#include "common/ScopeGuard.h"
#include "common/TextFunctions.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

bool deleteSingleItem(EnrolContext& ctx, const SingleItemFields& fields) {
    ctx.view.setStatus(QStringLiteral("Working..."));
    if (!ctx.clock.SetTerminalEnabled(ctx.machine, false)) {
        ctx.view.setStatus(QStringLiteral("No Device"));
        return false;
    }
    ScopeGuard enableAgain([&] { ctx.clock.SetTerminalEnabled(ctx.machine, true); });
    const qint32 enrollNumber = StrToInt(fields.enrollNumber);
    const qint32 eMachineNumber = StrToInt(fields.eMachineNumber);
    const qint32 backupNumber = StrToInt(fields.backupNumber);
    const bool deleted =
        ctx.clock.DeleteEnrollData(ctx.machine, enrollNumber, eMachineNumber, backupNumber);
    ctx.view.setStatus(deleted ? QStringLiteral("DeleteEnrollData OK") : ctx.lastErrorName());
    return deleted;
}

} // namespace selvenor
