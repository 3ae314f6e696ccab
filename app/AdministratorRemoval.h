#pragma once

#include "CommandOutcome.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <QVector>

namespace selvenor {

class EventPump;
class ExchangeBracket;
class OperatorInterface;
class TerminalSession;

// One entry of the terminal's user list as GetNextUserID delivers it.
struct UserListEntry {
    int enrollNumber = 0;
    int eMachine = 0;
    int backupNumber = 0;
    int privilege = 0;
    int enabled = 0;
};

// Removes every administrator from the session's terminal. The terminal's user list is first
// copied into ENROLLINFO of Data.mdb (replacing the last snapshot); then every entry whose
// privilege is 1 or 2 is demoted to 0 and deleted, with the terminal disabled before each entry
// and enabled once at the end. One message at the end when at least one deletion worked.
// A user list that fails before its end removes nothing: ENROLLINFO stays empty, and the
// plain message names GetNextUserID and the result code.
class AdministratorRemoval {
public:
    struct Result {
        CommandOutcome outcome;
        int listed = 0;         // rows written to ENROLLINFO
        int administrators = 0; // administrator rows found there
        int deleted = 0;
        int notDeleted = 0;
        bool listBrokeOff = false; // the user list failed before its end: nothing was removed
    };

    // `data` is Data.mdb (ADOConnection1).
    AdministratorRemoval(TerminalSession& session, QSqlDatabase data, OperatorInterface& ui);

    // Database errors (a missing ENROLLINFO) and conversion errors of a row propagate; the
    // terminal is enabled again on the way out whenever this command disabled it.
    Result run();

    // The ENROLLINFO texts of one entry: No (3 digits), EnNo (5), EMNo (3), Fp (2) zero-padded,
    // never cut; Priv and Enable unpadded.
    static QVariantList enrollInfoValues(int runningNumber, const UserListEntry& entry);

private:
    // EnNo, EMNo and Fp of an administrator row, converted when the row's turn comes.
    struct Administrator {
        QString enrollNumber;
        QString eMachine;
        QString backupNumber;
    };

    bool listEntries(Result& result, EventPump& pump);
    void copyUserList(Result& result, EventPump& pump);
    void reportBrokenList(const Result& result);
    QVector<Administrator> administrators() const;
    void removeAdministrators(Result& result, EventPump& pump);
    bool removeOne(const Administrator& admin, ExchangeBracket& bracket, Result& result);

    TerminalSession& m_session;
    QSqlDatabase m_data;
    OperatorInterface& m_ui;
};

} // namespace selvenor
