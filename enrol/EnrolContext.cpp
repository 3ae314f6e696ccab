#include "EnrolContext.h"

#include "data/TfrmDM.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

EnrolContext::EnrolContext(TfrmDM& dm, TFP_CLOCK& clock, int machine, EnrollItem& item,
                           OperatorInterface& ui, EnrolView& view, MySqlSettings mySql)
    : dm(dm)
    , clock(clock)
    , machine(machine)
    , item(item)
    , ui(ui)
    , view(view)
    , mySql(std::move(mySql)) {}

QSqlDatabase EnrolContext::dataStore() const {
    return dm.ADOConnection1();
}

QSqlDatabase EnrolContext::logStore() const {
    return dm.ADOConnection2();
}

int EnrolContext::lastErrorCode() const {
    int code = -1;
    clock.GetLastErrorCode(code);
    return code;
}

QString EnrolContext::lastErrorName() const {
    return ResultCodeText(lastErrorCode());
}

OperatorInterface::Button EnrolContext::askContinue(const QString& caption,
                                                    const QString& errorName) const {
    using B = OperatorInterface::Button;
    return ui.messageBox(
        errorName + QStringLiteral(": Continue ?"), caption, OperatorInterface::Icon::Question,
        static_cast<int>(B::Yes) | static_cast<int>(B::No) | static_cast<int>(B::Cancel));
}

} // namespace selvenor
