#include "EnrollSender.h"

#include "EnrolContext.h"
#include "EnrolView.h"
#include "EnrollRecordIO.h"
#include "EnrollStore.h"

#include "common/EventPump.h"
#include "common/TextFunctions.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

namespace {

constexpr int kPasswordBackup = 15;

} // namespace

EnrollSender::EnrollSender(EnrolContext& ctx)
    : m_ctx(ctx) {}

SendResult EnrollSender::sendAll(EnrollStore& store) {
    return send([&](const EnrollStore::Visitor& visit) { store.forEachRow(visit); });
}

SendResult EnrollSender::sendUser(EnrollStore& store, qint32 enrollNumber) {
    return send(
        [&](const EnrollStore::Visitor& visit) { store.forEachRowOfUser(enrollNumber, visit); });
}

template <typename Walk> SendResult EnrollSender::send(Walk walk) {
    using B = OperatorInterface::Button;
    SendResult result;
    QString lastError;
    EventPump pump(m_ctx.ui);
    walk([&](const EnrollRow& row, int position) {
        ++result.rows;
        for (;;) {
            ReadEnrollRecord(m_ctx, row);
            if (m_newPassword && row.fingerNumber == kPasswordBackup)
                m_ctx.item.password = *m_newPassword;
            result.lastFailed = false;
            if (m_ctx.clock.SetEnrollData(m_ctx.machine, row.enrollNumber, row.eMachineNumber,
                                          row.fingerNumber, row.privilege,
                                          m_ctx.item.templateBuffer, m_ctx.item.password)) {
                ++result.sent;
                break;
            }
            result.lastFailed = true;
            result.lastErrorCode = m_ctx.lastErrorCode();
            lastError = ResultCodeName(result.lastErrorCode);
            const B answer = m_ctx.askContinue(QStringLiteral("SetEnrollData"), lastError);
            if (answer == B::Yes)
                continue;
            if (answer == B::Cancel) {
                result.cancelled = true;
                return false;
            }
            ++result.failed;
            break;
        }
        m_ctx.view.setStatus(QString::asprintf("EMachine = 00%d, ID = 00%d, FpNo = %d, Count = %d",
                                               row.eMachineNumber, row.enrollNumber,
                                               row.fingerNumber, position));
        m_ctx.view.setLabel2(QString::number(position));
        m_ctx.view.appendMemoLine(ZeroPad(row.enrollNumber, 5));
        pump.maybeRun();
        return true;
    });
    if (result.lastFailed)
        m_ctx.view.setStatus(QStringLiteral("SetAllEnrollData Error : ") + lastError);
    return result;
}

} // namespace selvenor
