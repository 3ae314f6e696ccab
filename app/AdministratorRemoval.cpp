#include "AdministratorRemoval.h"

#include "TerminalSession.h"

#include "common/EventPump.h"
#include "common/OperatorInterface.h"
#include "common/TextFunctions.h"
#include "data/Sql.h"
#include "terminal/ExchangeBracket.h"
#include "terminal/ListWalk.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

AdministratorRemoval::AdministratorRemoval(TerminalSession& session, QSqlDatabase data,
                                           OperatorInterface& ui)
    : m_session(session)
    , m_data(std::move(data))
    , m_ui(ui) {}

QVariantList AdministratorRemoval::enrollInfoValues(int runningNumber, const UserListEntry& e) {
    return {ZeroPad(runningNumber, 3),  ZeroPad(e.enrollNumber, 5),   ZeroPad(e.eMachine, 3),
            ZeroPad(e.backupNumber, 2), QString::number(e.privilege), QString::number(e.enabled)};
}

AdministratorRemoval::Result AdministratorRemoval::run() {
    Result result;
    EventPump pump(m_ui);
    execSql(m_data, QStringLiteral("delete from ENROLLINFO"));
    pump.runNow();
    if (!listEntries(result, pump)) {
        if (result.listBrokeOff)
            reportBrokenList(result);
        return result;
    }
    removeAdministrators(result, pump);
    return result;
}

bool AdministratorRemoval::listEntries(Result& result, EventPump& pump) {
    TFP_CLOCK& clock = m_session.clock();
    ExchangeBracket bracket(clock, m_session.machineNumber());
    if (!bracket.entered()) {
        result.outcome = CommandOutcome::failure(CommandOutcome::TerminalNotDisabled, clock);
        return false;
    }
    if (!clock.ReadAllUserID(m_session.machineNumber())) {
        result.outcome = CommandOutcome::failure(CommandOutcome::Failed, clock);
        return true;
    }
    pump.runNow();
    // One transaction for the whole snapshot: a commit per row would make a large user list
    // take minutes.
    inTransaction(m_data, [&] { copyUserList(result, pump); });
    return !result.listBrokeOff;
}

void AdministratorRemoval::copyUserList(Result& result, EventPump& pump) {
    TFP_CLOCK& clock = m_session.clock();
    const int machine = m_session.machineNumber();
    UserListEntry entry;
    entry.eMachine = machine;
    ListWalk list(clock);
    while (list.step(clock.GetNextUserID(machine, entry.enrollNumber, entry.eMachine,
                                         entry.backupNumber, entry.privilege, entry.enabled))) {
        execSql(m_data,
                QStringLiteral("insert into ENROLLINFO (No, EnNo, EMNo, Fp, Priv, Enable) "
                               "values (?, ?, ?, ?, ?, ?)"),
                enrollInfoValues(result.listed, entry));
        ++result.listed;
        pump.maybeRun();
    }
    if (!list.brokeOff())
        return;
    // A head of the list is no snapshot: an administrator further on would go unnoticed.
    execSql(m_data, QStringLiteral("delete from ENROLLINFO"));
    result.listed = 0;
    result.listBrokeOff = true;
    result.outcome = {CommandOutcome::Failed, list.resultCode()};
}

void AdministratorRemoval::reportBrokenList(const Result& result) {
    m_ui.showMessage(QStringLiteral("Kullanıcı listesi yarıda kesildi (GetNextUserID: %1); "
                                    "hiçbir yönetici silinmedi....")
                         .arg(ResultCodeText(result.outcome.resultCode)));
}

QVector<AdministratorRemoval::Administrator> AdministratorRemoval::administrators() const {
    QSqlQuery query =
        execSql(m_data, QStringLiteral("select * from ENROLLINFO where Priv='1' or Priv='2' "));
    QVector<Administrator> rows;
    while (query.next()) {
        rows.append({query.value(QStringLiteral("EnNo")).toString(),
                     query.value(QStringLiteral("EMNo")).toString(),
                     query.value(QStringLiteral("Fp")).toString()});
    }
    return rows;
}

void AdministratorRemoval::removeAdministrators(Result& result, EventPump& pump) {
    const QVector<Administrator> rows = administrators();
    result.administrators = rows.size();
    ExchangeBracket bracket(m_session.clock(), m_session.machineNumber(),
                            ExchangeBracket::Deferred);
    for (const Administrator& admin : rows) {
        pump.maybeRun();
        if (!removeOne(admin, bracket, result))
            return;
    }
    bracket.leave();
    if (result.deleted > 0)
        m_ui.showMessage(QStringLiteral("Tüm Yöneticiler İptal Edildi...."));
}

bool AdministratorRemoval::removeOne(const Administrator& admin, ExchangeBracket& bracket,
                                     Result& result) {
    TFP_CLOCK& clock = m_session.clock();
    const int machine = m_session.machineNumber();
    const int enrollNumber = StrToInt(admin.enrollNumber);
    const int eMachine = StrToInt(admin.eMachine);
    const int backupNumber = StrToInt(admin.backupNumber);
    if (!bracket.disable()) {
        result.outcome = CommandOutcome::failure(CommandOutcome::TerminalNotDisabled, clock);
        return false;
    }
    clock.SetUserPrivilege(machine, enrollNumber, eMachine, backupNumber, 0);
    if (clock.DeleteEnrollData(machine, enrollNumber, eMachine, backupNumber)) {
        ++result.deleted;
    } else {
        ++result.notDeleted;
        result.outcome = CommandOutcome::failure(CommandOutcome::Failed, clock);
    }
    return true;
}

} // namespace selvenor
