#include "LogDownload.h"

#include "AttendanceView.h"
#include "AttendanceWriter.h"
#include "CrashPoint.h"
#include "DataFolderLock.h"
#include "SecondFileCopy.h"

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

// Records collected until the batch is written. Records an earlier run already wrote (handed out
// again because their acknowledgement was lost) are passed over, but acknowledged with the rest.
struct PendingBatch {
    QByteArray lines;
    QList<quint32> sequences;
    quint32 last = 0; // the last record of the batch, written or passed over
    QElapsedTimer age;

    int records() const { return int(sequences.size()); }
    bool isEmpty() const { return last == 0; }
    void add(const LogRecord& r, quint32 sequence, int machine, int mode) {
        startIfEmpty();
        appendAttendanceLine(lines, r, machine, mode);
        sequences << sequence;
        last = sequence;
    }
    void passOver(quint32 sequence) {
        startIfEmpty();
        last = sequence;
    }
    bool full(const BatchLimit& limit) const {
        return records() >= limit.records || age.elapsed() >= limit.ms;
    }
    void clear() {
        lines.clear();
        sequences.clear();
        last = 0;
    }

private:
    void startIfEmpty() {
        if (isEmpty())
            age.start();
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

LogDownload::LogDownload(const AttendanceContext& context, Kind kind)
    : m_context(context)
    , m_kind(kind) {}

DownloadOutcome LogDownload::run(bool secondFile, const std::function<bool()>& copyWanted) {
    // Restore steps, run in reverse: files closed (inside exchange), cursor, button, terminal.
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
    DataFolderLock lock(m_context.folder, m_context.lockWaitMs);

    DownloadOutcome outcome;
    std::exception_ptr error;
    try {
        outcome = exchange(transfer && secondFile);
    } catch (...) {
        error = std::current_exception();
    }
    if (!transfer && copyWanted && copyWanted())
        SecondFileCopy(m_context.folder, m_context.view).run();
    if (error)
        std::rethrow_exception(error);
    return outcome;
}

QStringList LogDownload::fileNames(bool secondFile) const {
    // veri.txt first and the backup last: a batch found in the backup proves it was whole in
    // the files before it (see AttendanceWriter).
    QStringList names{QStringLiteral("veri.txt")};
    if (secondFile)
        names << QStringLiteral("veri2.txt");
    names << backupFolderOf(m_kind) + QLatin1Char('/') + m_context.today().toString("MMyyyy") +
                 QStringLiteral(".txt");
    return names;
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

DownloadOutcome LogDownload::exchange(bool secondFile) {
    m_terminal = TerminalIdentity::of(m_context.clock);
    noteWhoAnswers();
    AttendanceWriter writer(m_context.folder);
    writer.open(fileNames(secondFile));
    if (m_kind == NewRecords)
        m_context.clock.setReadMark(true);
    if (!m_context.clock.SetTerminalEnabled(m_context.machine, false)) {
        writer.close();
        return {DownloadOutcome::TerminalNotDisabled, 0, lastResultCode()};
    }
    const DownloadOutcome outcome = walk(writer);
    report(outcome);
    writer.close();
    return outcome;
}

bool LogDownload::load(AttendanceWriter& writer, DownloadOutcome& outcome) {
    TFP_CLOCK& clock = m_context.clock;
    const int machine = m_context.machine;
    bool loaded = true;
    if (m_kind == NewRecords) {
        // Records an interrupted run wrote but could not acknowledge: acknowledge them first, so
        // the terminal does not hand them out again. Only this very unit is owed them.
        if (const quint32 owed = writer.memoryOf(m_terminal).owed()) {
            loaded = clock.AcknowledgeLogRecords(machine, owed);
            if (loaded)
                writer.acknowledged(m_terminal, owed);
        }
        loaded = loaded && clock.ReadLogBuffer(machine);
    } else {
        loaded = clock.ReadAllLogBuffer(machine);
    }
    if (!loaded) {
        outcome = {DownloadOutcome::ReadFailed, 0, lastResultCode()};
        showResultCode(outcome.resultCode);
    }
    return loaded;
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

DownloadOutcome LogDownload::walk(AttendanceWriter& writer) {
    DownloadOutcome outcome;
    const bool loaded = load(writer, outcome);
    AttendanceView& view = m_context.view;
    view.setProgressRange(0, kProgressMaximum);
    view.setProgressPosition(0);
    if (!loaded)
        return outcome;

    TFP_CLOCK& clock = m_context.clock;
    const int machine = m_context.machine;
    const bool acknowledges = m_kind == NewRecords;
    // Sequence numbers up to here already stand in the files (their acknowledgement was lost).
    const quint32 written = acknowledges ? writer.memoryOf(m_terminal).lastWritten : 0;
    const ModeColumn mode = modeOf(m_kind);
    const BatchLimit limit;
    WalkProgress progress(view, m_context.ui);
    PendingBatch batch;
    int batches = 0;
    bool more = true;
    ListWalk records(clock);
    progress.showNow();
    while (more) {
        LogRecord record;
        progress.letEventsRun();
        more = records.step(next(record));
        if (more) {
            const quint32 sequence = clock.LastLogSequence();
            if (sequence <= written) {
                batch.passOver(sequence);
            } else {
                batch.add(record, sequence, machine, modeColumn(mode, record.verify));
                progress.recordWritten();
            }
        } else if (records.brokeOff()) {
            outcome.status = DownloadOutcome::WalkFailed;
            outcome.resultCode = records.resultCode();
        }
        if (batch.isEmpty() || (more && !batch.full(limit)))
            continue;
        if (batch.records() > 0) {
            writer.writeBatch(batch.lines, {m_terminal, acknowledges, batch.sequences});
            outcome.records += batch.records();
            ++batches;
        }
        if (acknowledges) {
            if (!clock.AcknowledgeLogRecords(machine, batch.last)) {
                outcome = {DownloadOutcome::AcknowledgeFailed, outcome.records, lastResultCode()};
                break; // the lines stand; the next run acknowledges them first
            }
            CrashPoint::crashIfReached("acknowledged", batches);
            writer.acknowledged(m_terminal, batch.last);
        }
        batch.clear();
    }
    if (outcome.failed())
        showResultCode(outcome.resultCode);
    else if (m_kind == AllRecordsInOut && outcome.records > 0)
        clearTerminal(writer, outcome);
    return outcome;
}

void LogDownload::clearTerminal(AttendanceWriter& writer, DownloadOutcome& outcome) {
    // Every record the terminal held is now synced into the files, and the terminal is
    // disabled, so no punch can arrive between the last record and the erasure.
    if (!m_context.clock.ClearLogData(m_context.machine)) {
        outcome = {DownloadOutcome::ClearFailed, outcome.records, lastResultCode()};
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
    // Codes beyond the terminal's own have no name; the number is better than an empty box.
    const QString name = ResultCodeName(code);
    m_context.ui.showMessage(name.isEmpty() ? QString::number(code) : name);
}

} // namespace selvenor
