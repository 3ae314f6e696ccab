#include "EnrollUpload.h"

#include "EnrolContext.h"
#include "EnrolView.h"
#include "EnrollStore.h"
#include "EnrollStoreState.h"
#include "PersonnelTable.h"

#include "common/ScopeGuard.h"
#include "data/Sql.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

namespace {

bool askYesNo(OperatorInterface& ui, const QString& text, OperatorInterface::Icon icon) {
    using B = OperatorInterface::Button;
    return ui.messageBox(text, QStringLiteral("UYARI"), icon,
                         static_cast<int>(B::Yes) | static_cast<int>(B::No)) == B::Yes;
}

// Erasing the terminal to write a store that lacks entries loses those entries for good.
bool confirmIncompleteStore(EnrolContext& ctx, const QString& reason, int rows) {
    return askYesNo(ctx.ui,
                    QStringLiteral("Parmakizi datası eksik: %1.\nTerminaldeki tüm kayıtlar "
                                   "silinip yalnız eldeki %2 kayıt yüklenecek. Yine de "
                                   "yüklensin mi...?")
                        .arg(reason)
                        .arg(rows),
                    OperatorInterface::Icon::Warning);
}

// Both questions: the upload itself, and an incomplete store.
bool confirm(EnrolContext& ctx, EnrollStore& store, UploadResult& result) {
    if (!confirmEnrollUpload(ctx.ui))
        return false;
    const std::optional<QString> reason = EnrollStoreState(ctx.dataStore()).incompleteReason();
    result.storeIncomplete = reason.has_value();
    return !reason || confirmIncompleteStore(ctx, *reason, store.count());
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

bool confirmEnrollUpload(OperatorInterface& ui) {
    return askYesNo(ui, QStringLiteral("Seçili terminale parmakizi datası yüklensin mi...?"),
                    OperatorInterface::Icon::Question);
}

UploadResult uploadEnrollData(EnrolContext& ctx, bool withoutLeft) {
    UploadResult result;
    EnrollStore store(ctx.dataStore());
    if (!confirm(ctx, store, result))
        return result;
    result.confirmed = true;
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
