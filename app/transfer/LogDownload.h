#pragma once

#include "AttendanceLine.h"
#include "ListEntryIdentity.h"
#include "TerminalIdentity.h"

#include "data/DataFolder.h"

#include <QDate>

#include <functional>
#include <optional>

namespace selvenor {

class AttendanceView;
class AttendanceWriter;
class OperatorInterface;
class TFP_CLOCK;

// What every attendance command works with. `today` is the computer's date (injectable for
// the tests); it names the month's backup file.
struct AttendanceContext {
    TFP_CLOCK& clock;
    int machine;
    DataFolder folder;
    OperatorInterface& ui;
    AttendanceView& view;
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    int lockWaitMs = 5000; // how long a second download waits for the first
    // The entry of the terminal list behind the connection, when known: the download remembers
    // which unit answers there, tells the operator once when another one does, and records how
    // the download ended in the downloads' status (DownloadStatusTable).
    std::optional<ListEntry> entry;
};

// How a download ended, for the command line's summary line.
struct DownloadOutcome {
    enum Status {
        Written,             // records written (possibly none)
        TerminalNotDisabled, // SetTerminalEnabled(false) failed; no exchange
        ReadFailed,        // ReadLogBuffer / ReadAllLogBuffer (or the owed acknowledgement) failed
        WalkFailed,        // the terminal stopped answering in the middle of the records
        AcknowledgeFailed, // written, but the terminal did not take the acknowledgement
        ClearFailed,       // written, but ClearLogData failed
    };
    Status status = Written;
    int records = 0;
    int resultCode = 0;
    QString operation; // the control operation that failed ("NextLogRecord"); empty when none

    bool failed() const { return status != Written; }
    // "120 kayıt yazıldı", or the failure with its operation and result code's name, for the
    // command line's summary and the downloads' status.
    QString text() const;
};

// The download of attendance records into the attendance files, shared by "Verileri Aktar"
// (new records) and the two full-log commands (all records). The records are written in
// batches through AttendanceWriter; new records are acknowledged to the terminal batch by
// batch, each only after its lines are synced into every file.
class LogDownload {
public:
    enum Kind {
        NewRecords,      // "Verileri Aktar"
        AllRecords,      // "Tüm Verileri Al (silmez)"
        AllRecordsInOut, // "Tüm Verileri Al(aldıktan sonra cihazdan sil)": erases them afterwards
    };

    LogDownload(const AttendanceContext& context, Kind kind);

    // `secondFile`: the new-record download also writes veri2.txt (decided once, at the start).
    // `copyWanted`: asked when a full-log command ends; true replaces veri2.txt by veri.txt.
    // Takes the data folder's lock and a writer of its own. Errors that are not the terminal's
    // (files, the data folder's lock, a journal that refuses) propagate as selvenor::Error after
    // the restore steps.
    DownloadOutcome run(bool secondFile, const std::function<bool()>& copyWanted);
    // The same with the caller's writer, for several downloads of one run: the caller holds the
    // data folder's lock and has opened the writer on fileNames(kind, secondFile, today). Each
    // terminal's batches stand whole and contiguous in every file; what is remembered is kept
    // per unit.
    DownloadOutcome run(AttendanceWriter& writer, const std::function<bool()>& copyWanted);

    // The files a download writes, in the order they are written.
    static QStringList fileNames(Kind kind, bool secondFile, const QDate& today);
    static QString backupName(Kind kind, const QDate& today);

private:
    struct Walk;

    DownloadOutcome bracketed(bool takeLock, const std::function<bool()>& copyWanted,
                              const std::function<DownloadOutcome()>& exchangeFiles);
    // Tells the operator, once, when another unit answers behind the list entry than last time.
    void noteWhoAnswers();
    DownloadOutcome exchange(AttendanceWriter& writer);
    DownloadOutcome walk(AttendanceWriter& writer);
    bool load(AttendanceWriter& writer, DownloadOutcome& outcome);
    bool next(LogRecord& record);
    QString nextOperation() const;
    // Writes the batch and acknowledges it; false when the terminal refused the acknowledgement.
    bool closeBatch(Walk& walk);
    // Handles a record at or below one already written; false when closing the batch before it
    // failed.
    bool numberingStartedOver(Walk& walk, quint32 sequence);
    // Tells the operator once that the unit's numbering started over (`what` says how it
    // showed) and forgets what was remembered of it.
    void startNumberingAnew(AttendanceWriter& writer, const QString& what);
    void clearTerminal(AttendanceWriter& writer, DownloadOutcome& outcome);
    void report(const DownloadOutcome& outcome);
    int lastResultCode();
    void showResultCode(int code);

    AttendanceContext m_context;
    Kind m_kind;
    TerminalIdentity m_terminal; // who answered, as the connection's Hello told
};

} // namespace selvenor
