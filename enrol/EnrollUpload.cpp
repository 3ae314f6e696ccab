#include "EnrollUpload.h"

#include "EnrolContext.h"
#include "EnrolView.h"
#include "EnrollStore.h"
#include "PersonnelTable.h"

#include "common/ScopeGuard.h"
#include "data/Sql.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

namespace {

bool confirm(EnrolContext& ctx) {
    using B = OperatorInterface::Button;
    return ctx.ui.messageBox(QStringLiteral("Seçili terminale parmakizi datası yüklensin mi...?"),
                             QStringLiteral("UYARI"), OperatorInterface::Icon::Question,
                             static_cast<int>(B::Yes) | static_cast<int>(B::No)) == B::Yes;
}

// Removes from the store every row of the people who left; all of them or none.
int removeLeftPeople(EnrolContext& ctx, EnrollStore& store) {
    ctx.view.clearMemo();
    PersonnelTable personnel(ctx);
    personnel.setUp();
    const QList<qint32> left = personnel.leftEnrollNumbers();
    personnel.close();
    const int before = store.count();
    inTransaction(store.database(), [&] {
        for (qint32 enrollNumber : left)
            store.deleteUser(enrollNumber);
    });
    return before - store.count();
}

} // namespace

UploadResult uploadEnrollData(EnrolContext& ctx, bool withoutLeft) {
    UploadResult result;
    if (!confirm(ctx))
        return result;
    result.confirmed = true;
    EnrollStore store(ctx.dataStore());
    if (withoutLeft)
        result.leftRemoved = removeLeftPeople(ctx, store);

    ctx.view.setStatus(QStringLiteral("Working..."));
    ctx.ui.letPendingEventsRun();
    if (!ctx.clock.SetTerminalEnabled(ctx.machine, false)) {
        ctx.view.setStatus(QStringLiteral("No Device"));
        return result;
    }
    result.started = true;
    ctx.view.setButtonEnabled(false);
    BusyCursor busy(ctx.ui);
    ScopeGuard closing([&] {
        ctx.view.setButtonEnabled(true);
        ctx.clock.SetTerminalEnabled(ctx.machine, true);
    });
    result.cleared = ctx.clock.ClearKeeperData(ctx.machine);
    ctx.view.setStatus(result.cleared ? QStringLiteral("ClearKeeperData OK") : ctx.lastErrorName());
    result.send = EnrollSender(ctx).sendAll(store);
    return result;
}

} // namespace selvenor
