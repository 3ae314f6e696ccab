#include "EnrollRecordIO.h"

#include "EnrolContext.h"
#include "EnrolView.h"
#include "EnrollStore.h"
#include "TemplateText.h"

namespace selvenor {

bool carriesPassword(qint32 fingerNumber) {
    return fingerNumber == 10 || fingerNumber == 11 || fingerNumber == 15;
}

bool SaveEnrollRecord(EnrolContext& ctx, EnrollStore& store, qint32 enrollNumber,
                      qint32 eMachineNumber, qint32 fingerNumber, qint32 privilege) {
    if (store.contains(enrollNumber, eMachineNumber, fingerNumber)) {
        ctx.view.setStatus(QStringLiteral("Double ID"));
        return false;
    }
    const bool password = carriesPassword(fingerNumber);
    store.insert(enrollNumber, eMachineNumber, fingerNumber, privilege,
                 password ? QVariant(ctx.item.password) : QVariant(),
                 password ? QVariant() : QVariant(TemplateToText(ctx.item.templateBuffer)));
    ctx.view.setStatus(
        QString::asprintf("00%d-00%d-%d", eMachineNumber, enrollNumber, fingerNumber));
    ctx.view.setLabel2(QString::asprintf("%4.d", enrollNumber));
    return true;
}

void ReadEnrollRecord(EnrolContext& ctx, const EnrollRow& row) {
    ctx.item.password = row.password;
    if (row.fingerNumber < 10)
        TextToTemplate(row.fpData, ctx.item.templateBuffer);
}

} // namespace selvenor
