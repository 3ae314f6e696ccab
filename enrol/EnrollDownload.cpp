#include "EnrollDownload.h"

#include "EnrolContext.h"
#include "EnrolView.h"
#include "EnrollRecordIO.h"
#include "EnrollStore.h"
#include "EnrollStoreState.h"
#include "TransactionBatch.h"

#include "common/EventPump.h"
#include "common/ScopeGuard.h"
#include "common/TextFunctions.h"
#include "data/PreparedStatement.h"
#include "data/Sql.h"
#include "terminal/ListWalk.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

namespace {

// The terminal's backup number of a password item; the store holds 15 for it.
constexpr int kTerminalPasswordBackup = 10;
constexpr int kStoredPasswordBackup = 15;

struct UserEntry {
    int enrollNumber = 0;
    int eMachineNumber = 0;
    int backupNumber = 0;
    int privilege = 0;
};

class DownloadRun {
public:
    explicit DownloadRun(EnrolContext& ctx)
        : m_ctx(ctx)
        , m_store(ctx.dataStore())
        , m_state(ctx.dataStore())
        , m_pump(ctx.ui)
        , m_nameInsert(ctx.logStore(),
                       QStringLiteral("INSERT INTO temp (kartno, isim) VALUES (?, ?)")) {}

    DownloadResult run();

private:
    bool start();
    // The run ends before any entry: `status` goes to the label, and the emptied store stays
    // marked incomplete with the failed operation's code. Returns false.
    bool startFailed(const QString& status, const QString& operation);
    void readEntries();
    void finalStatus();
    void markStore();
    // Reads one item, asking on failure; returns false when the entry is not to be stored.
    bool readItem(UserEntry& entry);
    void storeEntry(const UserEntry& entry);

    EnrolContext& m_ctx;
    EnrollStore m_store;
    EnrollStoreState m_state;
    EventPump m_pump;
    DownloadResult m_result;
    bool m_success = true;
    QString m_lastError;
    QString m_name; // one name for the whole run, as the terminal last gave it
    PreparedStatement m_nameInsert;
    TransactionBatch* m_storeBatch = nullptr;
    TransactionBatch* m_nameBatch = nullptr;
};

DownloadResult DownloadRun::run() {
    if (!start())
        return m_result;
    m_result.started = true;
    m_ctx.view.setButtonEnabled(false);
    {
        BusyCursor busy(m_ctx.ui);
        ScopeGuard closing([this] {
            m_ctx.view.setButtonEnabled(true);
            m_ctx.clock.SetTerminalEnabled(m_ctx.machine, true);
            m_ctx.view.refreshLists();
        });
        readEntries();
        finalStatus();
        markStore();
    }
    return m_result;
}

bool DownloadRun::start() {
    m_ctx.view.setLabel2(QString());
    m_ctx.view.setStatus(QStringLiteral("Alınıyor....."));
    // Until the whole list is stored the store is incomplete, also if the run is killed.
    inTransaction(m_ctx.dataStore(), [this] {
        m_state.markIncomplete(QStringLiteral("son indirme tamamlanmadı"));
        m_store.clear();
    });
    execSql(m_ctx.logStore(), QStringLiteral("DELETE FROM temp"));
    if (!m_ctx.clock.SetTerminalEnabled(m_ctx.machine, false))
        return startFailed(QStringLiteral("Bağlanamadı..."), QStringLiteral("SetTerminalEnabled"));
    if (!m_ctx.clock.ReadAllUserID(m_ctx.machine)) {
        startFailed(m_ctx.lastErrorName(), QStringLiteral("ReadAllUserID"));
        m_ctx.clock.SetTerminalEnabled(m_ctx.machine, true);
        return false;
    }
    m_ctx.view.setStatus(QStringLiteral("ReadAllUserID OK"));
    return true;
}

bool DownloadRun::startFailed(const QString& status, const QString& operation) {
    int code = 0;
    m_ctx.clock.GetLastErrorCode(code);
    m_ctx.view.setStatus(status);
    m_state.markIncomplete(QStringLiteral("terminalden hiç kayıt alınamadı (%1: %2)")
                               .arg(operation, ResultCodeText(code)));
    return false;
}

void DownloadRun::readEntries() {
    TransactionBatch storeBatch(m_ctx.dataStore());
    TransactionBatch nameBatch(m_ctx.logStore());
    m_storeBatch = &storeBatch;
    m_nameBatch = &nameBatch;

    UserEntry entry;
    int enabled = 0;
    ListWalk list(m_ctx.clock);
    while (
        list.step(m_ctx.clock.GetNextUserID(m_ctx.machine, entry.enrollNumber, entry.eMachineNumber,
                                            entry.backupNumber, entry.privilege, enabled))) {
        ++m_result.entries;
        if (entry.backupNumber == kTerminalPasswordBackup)
            entry.backupNumber = kStoredPasswordBackup;
        if (readItem(entry))
            storeEntry(entry);
        if (m_result.cancelled)
            break;
    }
    m_result.listBrokeOff = list.brokeOff();
    m_result.listResultCode = list.resultCode();
    storeBatch.finish();
    nameBatch.finish();
}

void DownloadRun::finalStatus() {
    m_result.ok = m_success && !m_result.listBrokeOff;
    if (m_result.listBrokeOff)
        m_ctx.view.setStatus(QStringLiteral("GetNextUserID :") +
                             ResultCodeText(m_result.listResultCode));
    else
        m_ctx.view.setStatus(m_success ? QStringLiteral("GetEnrollData OK")
                                       : QStringLiteral("GetEnrollData :") + m_lastError);
}

void DownloadRun::markStore() {
    QString reason;
    if (m_result.listBrokeOff)
        reason = QStringLiteral("kullanıcı listesi yarıda kesildi (GetNextUserID: %1), %2 "
                                "giriş alındı")
                     .arg(ResultCodeText(m_result.listResultCode))
                     .arg(m_result.entries);
    else if (m_result.cancelled)
        reason = QStringLiteral("indirme %1. girişte durduruldu (GetEnrollData: %2)")
                     .arg(m_result.entries)
                     .arg(m_lastError);
    else if (m_result.skipped > 0)
        reason = QStringLiteral("%1 giriş okunamadı ve atlandı").arg(m_result.skipped);
    m_result.complete = reason.isEmpty();
    if (m_result.complete)
        m_state.markComplete();
    else
        m_state.markIncomplete(reason);
}

bool DownloadRun::readItem(UserEntry& entry) {
    using B = OperatorInterface::Button;
    for (;;) {
        m_success = true;
        if (m_ctx.clock.GetEnrollData(m_ctx.machine, entry.enrollNumber, entry.eMachineNumber,
                                      entry.backupNumber, entry.privilege,
                                      m_ctx.item.templateBuffer, m_ctx.item.password))
            return true;
        m_success = false;
        m_lastError = m_ctx.lastErrorName();
        const B answer = m_ctx.askContinue(QStringLiteral("GetEnrollData"), m_lastError);
        if (answer == B::Yes)
            continue;
        if (answer == B::Cancel)
            m_result.cancelled = true;
        else
            ++m_result.skipped; // what the failed call left is not this entry's item
        return false;
    }
}

void DownloadRun::storeEntry(const UserEntry& entry) {
    if (SaveEnrollRecord(m_ctx, m_store, entry.enrollNumber, entry.eMachineNumber,
                         entry.backupNumber, entry.privilege)) {
        ++m_result.stored;
        m_storeBatch->rowWritten();
    } else {
        ++m_result.doubles;
    }
    if (m_ctx.clock.GetUserName(1, m_ctx.machine, entry.enrollNumber, m_ctx.machine, m_name)) {
        m_ctx.view.setUserName(m_name);
        m_ctx.view.setStatus(QStringLiteral("GetUserName OK"));
    } else {
        m_ctx.view.setStatus(m_ctx.lastErrorName());
    }
    m_nameInsert.run({ZeroPad(entry.enrollNumber, 5), m_name});
    m_nameBatch->rowWritten();
    m_pump.maybeRun();
}

} // namespace

DownloadResult downloadEnrollData(EnrolContext& ctx) {
    return DownloadRun(ctx).run();
}

} // namespace selvenor
