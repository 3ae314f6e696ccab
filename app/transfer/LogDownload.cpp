#include "LogDownload.h"

#include "AttendanceView.h"
#include "AttendanceWriter.h"
#include "BackupReconciliation.h"
#include "CrashPoint.h"
#include "DataFolderLock.h"
#include "DownloadStatus.h"
#include "SecondFileCopy.h"
#include "TransferJournal.h"

#include "common/Errors.h"
#include "common/EventPump.h"
#include "common/OperatorInterface.h"
#include "common/ScopeGuard.h"
#include "terminal/ListWalk.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

#include <QElapsedTimer>

#include <exception>

namespace selvenor {

namespace {

constexpr int kProgressMaximum = 500;
constexpr int kPumpIntervalMs = 30;

// A batch closes after this many records or this much time, whichever comes first: large enough
// that syncing and acknowledging cost little per record, small enough that a slow line still
// acknowledges every few tenths of a second.
constexpr int kBatchRecords = 65536;
constexpr int kBatchMs = 250;

// The first batch of a unit to reconcile with the backup waits for this many records (or the
// end): at least as many as an earlier run can have written without their acknowledgement.
constexpr int kReconcileRecords = kBatchRecords;

// The limits can be set for tests: SELVENOR_ATTENDANCE_BATCH records, SELVENOR_ATTENDANCE_BATCH_MS.
int fromEnvironment(const char* name, int fallback) {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(name, &ok);
    return ok && n > 0 ? n : fallback;
}

struct BatchLimit {
    int records = fromEnvironment("SELVENOR_ATTENDANCE_BATCH", kBatchRecords);
    int ms = fromEnvironment("SELVENOR_ATTENDANCE_BATCH_MS", kBatchMs);
};

// The progress bar's rule: the record counter starts at 1, each record adds one to it and adds
// the counter to the position, which goes back to 0 when it reaches 500. The bar and the
// window's events get their turn together, at most every 30 ms.
class WalkProgress {
public:
    WalkProgress(AttendanceView& view, OperatorInterface& ui)
        : m_view(view)
        , m_pump(ui, 0) {
        m_sinceShown.start();
    }
    void recordWritten() {
        ++m_counter;
        m_position += m_counter;
        if (m_position >= kProgressMaximum)
            m_position = 0;
    }
    void letEventsRun() {
        if (m_sinceShown.elapsed() < kPumpIntervalMs)
            return;
        showNow();
    }
    void showNow() {
        m_sinceShown.restart();
        m_view.setProgressPosition(m_position);
        m_pump.runNow();
    }
    int records() const { return m_counter - 1; }

private:
    AttendanceView& m_view;
    EventPump m_pump;
    QElapsedTimer m_sinceShown;
    int m_counter = 1;
    int m_position = 0;
};

// Records collected until the batch is written.
struct PendingBatch {
    QByteArray lines;
    QList<quint32> sequences;
    quint32 last = 0; // the last record of the batch, written or passed over
    QElapsedTimer age;

    int records() const { return int(sequences.size()); }
    bool isEmpty() const { return last == 0; }
    void add(const LogRecord& r, quint32 sequence, int machine, int mode) {
        if (isEmpty())
            age.start();
        appendAttendanceLine(lines, r, machine, mode);
        sequences << sequence;
        last = sequence;
    }
    // The first `count` records stand in the files already: acknowledged with the batch, not
    // written again.
    void passOverFirst(qsizetype count) {
        qsizetype end = 0;
        for (qsizetype i = 0; i < count; ++i)
            end = lines.indexOf('\n', end) + 1;
        lines.remove(0, end);
        sequences.remove(0, count);
    }
    bool full(const BatchLimit& limit) const {
        return records() >= limit.records || age.elapsed() >= limit.ms;
    }
    void clear() {
        lines.clear();
        sequences.clear();
        last = 0;
    }
};

QString backupFolderOf(LogDownload::Kind kind) {
    return kind == LogDownload::NewRecords ? QStringLiteral("yedek_Q720")
                                           : QStringLiteral("yedek_V77");
}

ModeColumn modeOf(LogDownload::Kind kind) {
    switch (kind) {
    case LogDownload::NewRecords:
        return ModeColumn::NewRecords;
    case LogDownload::AllRecords:
        return ModeColumn::AllRecords;
    case LogDownload::AllRecordsInOut:
        break;
    }
    return ModeColumn::InOut;
}

} // namespace

QString DownloadOutcome::text() const {
    const DownloadOutcome& o = *this;
    const QString failed = QStringLiteral("%1: %2").arg(o.operation, ResultCodeText(o.resultCode));
    switch (o.status) {
    case DownloadOutcome::Written:
        return o.records == 0 ? QStringLiteral("0 kayıt yazıldı (yeni kayıt yok)")
                              : QStringLiteral("%1 kayıt yazıldı").arg(o.records);
    case DownloadOutcome::TerminalNotDisabled:
        return QStringLiteral("HATA terminal kilitlenemedi (%1)").arg(failed);
    case DownloadOutcome::ReadFailed:
        return QStringLiteral("HATA kayıtlar yüklenemedi (%1)").arg(failed);
    case DownloadOutcome::WalkFailed:
        return QStringLiteral("HATA kayıtlar okunurken (%1; %2 kayıt yazıldı)")
            .arg(failed)
            .arg(o.records);
    case DownloadOutcome::AcknowledgeFailed:
        return QStringLiteral("HATA %1 (%2 kayıt yazıldı; sonraki aktarım onaylar)")
            .arg(failed)
            .arg(o.records);
    case DownloadOutcome::ClearFailed:
        return QStringLiteral("HATA %1 (%2 kayıt yazıldı, terminalde kaldı)")
            .arg(failed)
            .arg(o.records);
    }
    return QString();
}

LogDownload::LogDownload(const AttendanceContext& context, Kind kind)
    : m_context(context)
    , m_kind(kind) {}

DownloadOutcome LogDownload::run(bool secondFile, const std::function<bool()>& copyWanted) {
    const bool second = m_kind == NewRecords && secondFile;
    return bracketed(true, copyWanted, [&] {
        // Loading the journal comes first: while it refuses, nothing is written anywhere.
        AttendanceWriter writer(m_context.folder);
        writer.open(fileNames(m_kind, second, m_context.today()));
        const DownloadOutcome outcome = exchange(writer);
        writer.close();
        return outcome;
    });
}

DownloadOutcome LogDownload::run(AttendanceWriter& writer,
                                 const std::function<bool()>& copyWanted) {
    return bracketed(false, copyWanted, [&] { return exchange(writer); });
}

DownloadOutcome LogDownload::bracketed(bool takeLock, const std::function<bool()>& copyWanted,
                                       const std::function<DownloadOutcome()>& exchangeFiles) {
    // Restore steps, run in reverse: files closed, cursor, button, terminal.
    TFP_CLOCK& clock = m_context.clock;
    const int machine = m_context.machine;
    ScopeGuard enableTerminal([&] { clock.SetTerminalEnabled(machine, true); });
    const bool transfer = m_kind == NewRecords;
    if (transfer)
        m_context.view.setTransferEnabled(false);
    ScopeGuard enableButton([&] {
        if (transfer)
            m_context.view.setTransferEnabled(true);
    });
    BusyCursor busy(m_context.ui);
    DownloadStatusRecord status(m_context.entry, m_context.ui);

    DownloadOutcome outcome;
    std::exception_ptr error;
    bool journalRefused = false;
    std::optional<DataFolderLock> lock; // held until veri2.txt is copied too
    try {
        if (takeLock)
            lock.emplace(m_context.folder, m_context.lockWaitMs);
        outcome = exchangeFiles();
        status.ended(outcome.failed() ? outcome.text() : QString(), outcome.records,
                     outcome.failed() ? outcome.resultCode : 0);
    } catch (const JournalError& e) {
        journalRefused = true;
        status.ended(e.text(), 0, 0);
        error = std::current_exception();
    } catch (const Error& e) {
        status.ended(e.text(), 0, 0);
        error = std::current_exception();
    } catch (...) {
        error = std::current_exception();
    }
    // veri2.txt is not replaced while the journal refuses: it would copy a veri.txt whose last
    // batch may still be incomplete.
    if (!transfer && !journalRefused && copyWanted && copyWanted())
        SecondFileCopy(m_context.folder, m_context.view).run();
    if (error)
        std::rethrow_exception(error);
    return outcome;
}

QStringList LogDownload::fileNames(Kind kind, bool secondFile, const QDate& today) {
    // veri.txt first and the backup last: a batch found in the backup proves it was whole in
    // the files before it (see AttendanceWriter).
    QStringList names{QStringLiteral("veri.txt")};
    if (secondFile)
        names << QStringLiteral("veri2.txt");
    names << backupName(kind, today);
    return names;
}

QString LogDownload::backupName(Kind kind, const QDate& today) {
    return backupFolderOf(kind) + QLatin1Char('/') + today.toString("MMyyyy") +
           QStringLiteral(".txt");
}

void LogDownload::noteWhoAnswers() {
    if (!m_context.entry || m_terminal.isEmpty())
        return;
    const QString notice =
        ListEntryIdentity(m_context.entry->data).record(*m_context.entry, m_terminal);
    if (!notice.isEmpty())
        m_context.ui.messageBox(notice, QStringLiteral("UYARI"), OperatorInterface::Icon::Warning,
                                int(OperatorInterface::Button::Ok));
}

DownloadOutcome LogDownload::exchange(AttendanceWriter& writer) {
    m_terminal = TerminalIdentity::of(m_context.clock);
    noteWhoAnswers();
    if (m_kind == NewRecords)
        m_context.clock.setReadMark(true);
    if (!m_context.clock.SetTerminalEnabled(m_context.machine, false))
        return {DownloadOutcome::TerminalNotDisabled, 0, lastResultCode(),
                QStringLiteral("SetTerminalEnabled")};
    const DownloadOutcome outcome = walk(writer);
    report(outcome);
    return outcome;
}

bool LogDownload::load(AttendanceWriter& writer, DownloadOutcome& outcome) {
    TFP_CLOCK& clock = m_context.clock;
    const int machine = m_context.machine;
    QString operation;
    if (m_kind == NewRecords) {
        // Records an interrupted run wrote but could not acknowledge: acknowledge them first, so
        // the terminal does not hand them out again. Only this very unit is owed them.
        if (const quint32 owed = writer.memoryOf(m_terminal).owed()) {
            if (clock.AcknowledgeLogRecords(machine, owed))
                writer.acknowledged(m_terminal, owed);
            else if (lastResultCode() == ERR_INVALID_PARAM)
                // The terminal never numbered a record that far: its numbering started over.
                startNumberingAnew(writer, QStringLiteral("%1 numaralı kayda kadar "
                                                          "yazılmıştı, terminal o numaraya hiç "
                                                          "varmamış. Kayıtları ilk kaydından "
                                                          "başlayarak yazılıyor.")
                                               .arg(owed));
            else
                operation = QStringLiteral("AcknowledgeLogRecords");
        }
        if (operation.isEmpty() && !clock.ReadLogBuffer(machine))
            operation = QStringLiteral("ReadLogBuffer");
    } else if (!clock.ReadAllLogBuffer(machine)) {
        operation = QStringLiteral("ReadAllLogBuffer");
    }
    if (operation.isEmpty())
        return true;
    outcome = {DownloadOutcome::ReadFailed, 0, lastResultCode(), operation};
    showResultCode(outcome.resultCode);
    return false;
}

bool LogDownload::next(LogRecord& r) {
    int tMachine = 0, eMachine = 0;
    TFP_CLOCK& c = m_context.clock;
    const int m = m_context.machine;
    if (m_kind == NewRecords)
        return c.NextLogRecord(m, tMachine, r.enrollNumber, eMachine, r.verify, r.year, r.month,
                               r.day, r.hour, r.minute);
    return c.NextAllLogRecord(m, tMachine, r.enrollNumber, eMachine, r.verify, r.year, r.month,
                              r.day, r.hour, r.minute);
}

// What a walk through the records carries from one record to the next.
struct LogDownload::Walk {
    AttendanceWriter& writer;
    DownloadOutcome outcome;
    PendingBatch batch;
    int batches = 0;
    // Sequence numbers up to here stand in the files; one not above it means the terminal's
    // numbering started over.
    quint32 written = 0;
    // Set while the first batch of a unit the journal lost track of is collected.
    std::optional<BackupReconciliation> reconciliation;
};

DownloadOutcome LogDownload::walk(AttendanceWriter& writer) {
    Walk w{writer};
    const bool loaded = load(writer, w.outcome);
    AttendanceView& view = m_context.view;
    view.setProgressRange(0, kProgressMaximum);
    view.setProgressPosition(0);
    if (!loaded)
        return w.outcome;

    const TerminalMemory memory = writer.memoryOf(m_terminal);
    const bool acknowledges = m_kind == NewRecords;
    if (acknowledges) {
        w.written = memory.lastWritten;
        if (memory.reconcile)
            w.reconciliation.emplace(m_context.folder.file(backupName(m_kind, m_context.today())),
                                     m_context.machine, kReconcileRecords);
    }
    const ModeColumn mode = modeOf(m_kind);
    const BatchLimit limit;
    WalkProgress progress(view, m_context.ui);
    bool more = true;
    ListWalk records(m_context.clock);
    progress.showNow();
    while (more) {
        LogRecord record;
        progress.letEventsRun();
        more = records.step(next(record));
        if (more) {
            const quint32 sequence = m_context.clock.LastLogSequence();
            if (acknowledges && sequence <= qMax(w.written, w.batch.last) &&
                !numberingStartedOver(w, sequence))
                break;
            w.batch.add(record, sequence, m_context.machine, modeColumn(mode, record.verify));
            progress.recordWritten();
        } else if (records.brokeOff()) {
            w.outcome.status = DownloadOutcome::WalkFailed;
            w.outcome.resultCode = records.resultCode();
            w.outcome.operation = nextOperation();
        }
        const bool full =
            w.reconciliation ? w.batch.records() >= kReconcileRecords : w.batch.full(limit);
        if (w.batch.isEmpty() || (more && !full))
            continue;
        if (!closeBatch(w))
            break;
    }
    if (acknowledges && !w.outcome.failed() && writer.memoryOf(m_terminal).reconcile)
        writer.acknowledged(m_terminal, memory.acknowledged); // seen: nothing was owed
    if (w.outcome.failed())
        showResultCode(w.outcome.resultCode);
    else if (m_kind == AllRecordsInOut && w.outcome.records > 0)
        clearTerminal(writer, w.outcome);
    return w.outcome;
}

bool LogDownload::closeBatch(Walk& w) {
    PendingBatch& batch = w.batch;
    const bool acknowledges = m_kind == NewRecords;
    if (w.reconciliation) {
        batch.passOverFirst(w.reconciliation->alreadyWritten(batch.lines));
        w.reconciliation.reset();
    }
    if (batch.records() > 0) {
        w.writer.writeBatch(batch.lines, {m_terminal, acknowledges, batch.sequences});
        w.outcome.records += batch.records();
        w.written = qMax(w.written, batch.sequences.last());
        ++w.batches;
    }
    if (acknowledges) {
        if (!m_context.clock.AcknowledgeLogRecords(m_context.machine, batch.last)) {
            w.outcome = {DownloadOutcome::AcknowledgeFailed, w.outcome.records, lastResultCode(),
                         QStringLiteral("AcknowledgeLogRecords")};
            return false; // the lines stand; the next run acknowledges them first
        }
        CrashPoint::crashIfReached("acknowledged", w.batches);
        w.writer.acknowledged(m_terminal, batch.last);
    }
    batch.clear();
    return true;
}

bool LogDownload::numberingStartedOver(Walk& w, quint32 sequence) {
    // A terminal that keeps the protocol never hands out a record at or below one it was
    // acknowledged: its numbering started over without a new log generation. Passing such
    // records over would lose them, so they are written, and the operator is told once.
    if (!w.batch.isEmpty() && !closeBatch(w))
        return false;
    startNumberingAnew(w.writer, QStringLiteral("%1 numaralı kayda kadar yazılmıştı, şimdi %2 "
                                                "numaralı kayıt geldi. Kayıtları bu kayıttan "
                                                "başlayarak yazılıyor.")
                                     .arg(w.written)
                                     .arg(sequence));
    w.written = 0;
    return true;
}

void LogDownload::startNumberingAnew(AttendanceWriter& writer, const QString& what) {
    const QString who = m_context.entry ? QStringLiteral("'%1'").arg(m_context.entry->name)
                                        : QStringLiteral("%1 numaralı").arg(m_context.machine);
    m_context.ui.messageBox(
        QStringLiteral("%1 terminalin (seri no %2) kayıt numaralaması, log kuşağı değişmeden "
                       "yeniden başlamış: %3")
            .arg(who, m_terminal.serial, what),
        QStringLiteral("UYARI"), OperatorInterface::Icon::Warning,
        int(OperatorInterface::Button::Ok));
    writer.numberingStartedOver(m_terminal);
}

QString LogDownload::nextOperation() const {
    return m_kind == NewRecords ? QStringLiteral("NextLogRecord")
                                : QStringLiteral("NextAllLogRecord");
}

void LogDownload::clearTerminal(AttendanceWriter& writer, DownloadOutcome& outcome) {
    // Every record the terminal held is now synced into the files, and the terminal is
    // disabled, so no punch can arrive between the last record and the erasure.
    if (!m_context.clock.ClearLogData(m_context.machine)) {
        outcome = {DownloadOutcome::ClearFailed, outcome.records, lastResultCode(),
                   QStringLiteral("ClearLogData")};
        showResultCode(outcome.resultCode);
        return;
    }
    writer.acknowledged(m_terminal, writer.memoryOf(m_terminal).lastWritten);
}

void LogDownload::report(const DownloadOutcome& outcome) {
    OperatorInterface& ui = m_context.ui;
    if (outcome.records == 0) {
        ui.messageBox(QStringLiteral("Cihazdan Alınacak Veri Yok..."),
                      QStringLiteral("Terminal İşlemleri"), OperatorInterface::Icon::Information,
                      int(OperatorInterface::Button::Ok));
        return;
    }
    if (m_kind == AllRecordsInOut)
        return;
    m_context.view.setProgressPosition(kProgressMaximum);
    ui.showMessage(QStringLiteral("Bilgiler Dosyaya Aktarıldı...."));
}

int LogDownload::lastResultCode() {
    int code = 0;
    m_context.clock.GetLastErrorCode(code);
    return code;
}

void LogDownload::showResultCode(int code) {
    m_context.ui.showMessage(ResultCodeText(code));
}

} // namespace selvenor
