#include "UserCommands.h"

#include "EnrolContext.h"
#include "EnrolView.h"
#include "EnrollRecordIO.h"
#include "EnrollStore.h"
#include "PackedPassword.h"

#include "common/EventPump.h"
#include "common/ScopeGuard.h"
#include "common/TextFunctions.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

namespace {

UserCommandResult sendUser(EnrolContext& ctx, qint32 enrollNumber,
                           std::optional<qint32> newPassword) {
    UserCommandResult result;
    ctx.view.setStatus(QStringLiteral("Working..."));
    ctx.ui.letPendingEventsRun();
    ScopeGuard restore([&] {
        ctx.view.setButtonEnabled(true);
        ctx.clock.SetTerminalEnabled(ctx.machine, true);
    });
    if (!ctx.clock.SetTerminalEnabled(ctx.machine, false)) {
        result.notDisabled = true;
        result.resultCode = ctx.lastErrorCode();
        ctx.view.setStatus(QStringLiteral("No Device"));
        return result;
    }
    result.started = true;
    ctx.view.setButtonEnabled(false);
    BusyCursor busy(ctx.ui);
    EnrollStore store(ctx.dataStore());
    EnrollSender sender(ctx);
    sender.setPasswordOverride(newPassword);
    result.send = sender.sendUser(store, enrollNumber);
    return result;
}

} // namespace

UserCommandResult uploadUser(EnrolContext& ctx, qint32 enrollNumber) {
    return sendUser(ctx, enrollNumber, std::nullopt);
}

std::optional<qint32> packedNewPassword(OperatorInterface& ui, const QString& newPassword) {
    if (TrimText(newPassword).isEmpty()) {
        ui.showMessage(QStringLiteral("Şifre gir"));
        return std::nullopt;
    }
    return PackPassword(newPassword);
}

std::optional<UserCommandResult> changePassword(EnrolContext& ctx, qint32 enrollNumber,
                                                const QString& newPassword) {
    const std::optional<qint32> packed = packedNewPassword(ctx.ui, newPassword);
    if (!packed)
        return std::nullopt;
    return sendUser(ctx, enrollNumber, packed);
}

UserCommandResult setUserEnabled(EnrolContext& ctx, qint32 enrollNumber, bool enable) {
    UserCommandResult result;
    ctx.ui.letPendingEventsRun();
    ctx.view.setButtonEnabled(false);
    BusyCursor busy(ctx.ui);
    ScopeGuard restore([&] {
        ctx.view.setButtonEnabled(true);
        ctx.clock.SetTerminalEnabled(ctx.machine, true);
    });
    EventPump pump(ctx.ui);
    EnrollStore store(ctx.dataStore());
    store.forEachRowOfUser(enrollNumber, [&](const EnrollRow& row, int) {
        ReadEnrollRecord(ctx, row);
        if (!ctx.clock.SetTerminalEnabled(ctx.machine, false)) {
            result.notDisabled = true;
            result.resultCode = ctx.lastErrorCode();
            ctx.view.setStatus(QStringLiteral("No Device"));
            return false;
        }
        result.started = true;
        if (ctx.clock.SetUserEnabled(ctx.machine, row.enrollNumber, row.eMachineNumber,
                                     row.fingerNumber, enable ? 1 : 0)) {
            ++result.done;
            ctx.view.setStatus(QStringLiteral("Success!"));
        } else {
            ++result.failed;
            result.resultCode = ctx.lastErrorCode();
            ctx.view.setStatus(ResultCodeName(result.resultCode));
        }
        pump.maybeRun();
        return true;
    });
    return result;
}

} // namespace selvenor
