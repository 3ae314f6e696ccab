#include "SingleDelete.h"

#include "EnrolContext.h"
#include "EnrolView.h"

#include "common/ScopeGuard.h"
#include "common/TextFunctions.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

SingleDeleteResult deleteSingleItem(EnrolContext& ctx, const SingleItemFields& fields) {
    SingleDeleteResult result;
    ctx.view.setStatus(QStringLiteral("Working..."));
    if (!ctx.clock.SetTerminalEnabled(ctx.machine, false)) {
        result.resultCode = ctx.lastErrorCode();
        ctx.view.setStatus(QStringLiteral("No Device"));
        return result;
    }
    result.started = true;
    ScopeGuard enableAgain([&] { ctx.clock.SetTerminalEnabled(ctx.machine, true); });
    const qint32 enrollNumber = StrToInt(fields.enrollNumber);
    const qint32 eMachineNumber = StrToInt(fields.eMachineNumber);
    const qint32 backupNumber = StrToInt(fields.backupNumber);
    result.deleted =
        ctx.clock.DeleteEnrollData(ctx.machine, enrollNumber, eMachineNumber, backupNumber);
    if (!result.deleted)
        result.resultCode = ctx.lastErrorCode();
    ctx.view.setStatus(result.deleted ? QStringLiteral("DeleteEnrollData OK")
                                      : ResultCodeName(result.resultCode));
    return result;
}

} // namespace selvenor
