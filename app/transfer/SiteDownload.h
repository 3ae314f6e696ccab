#pragma once

#include "DataFolderLock.h"
#include "LogDownload.h"

#include "registry/TerminalRecord.h"

#include <QList>
#include <QSqlDatabase>

#include <functional>

namespace selvenor {

class AttendanceView;

// How one terminal of a site's download ended.
struct SiteTerminalResult {
    TerminalRecord terminal;
    bool connected = false;
    int connectResult = 0; // why the connection failed (-1: the row names no link kind)
    DownloadOutcome outcome;
    QString error; // an error that ended the download (a file, the journal, a database)

    bool failed() const { return !connected || !error.isEmpty() || outcome.failed(); }
    // One summary line: "120 kayıt yazıldı", "HATA bağlanılamadı: ERR_..." and the like.
    QString text() const;
};

// The new records of several terminals of one data folder, downloaded side by side: up to
// `jobs` terminals at once, each on a thread of its own with its own control, connection and
// Data.mdb connection, all through one AttendanceWriter, so each terminal's batch stands whole
// and contiguous in every file and every record is written once per terminal identity. A
// terminal that fails or hangs holds up only its own thread (every operation gives up in
// bounded time). The data folder's lock is held for the whole run.
class SiteDownload {
public:
    struct Options {
        bool secondFile = false; // veri2.txt too
        int jobs = 8;
        int lockWaitMs = 5000; // how long to wait for another download of the data folder
        int busyWaitMs = 0;    // how long to keep trying a terminal another client holds
        std::function<QDate()> today = [] { return QDate::currentDate(); };
    };

    // `data`: the Data.mdb connection of the calling thread (each thread opens its own on the
    // same file). `ui` is shared by every thread: it must be safe to call from any thread
    // (SerialisedOperator). `view` shows the progress when only one terminal runs at a time.
    SiteDownload(const DataFolder& folder, const QSqlDatabase& data, OperatorInterface& ui,
                 Options options, AttendanceView* view = nullptr);

    // Downloads every terminal; `ended` is called with the terminal's index (one call at a
    // time, on the terminal's own thread) as each terminal ends. Results come back in the order
    // of `terminals`. When the run cannot begin (the data folder is locked by another download,
    // the journal refuses), every terminal ends with that error and nothing is exchanged.
    using EndedCallback = std::function<void(int index, const SiteTerminalResult&)>;
    QList<SiteTerminalResult> run(const QList<TerminalRecord>& terminals,
                                  const EndedCallback& ended);

private:
    QList<SiteTerminalResult> refuseAll(const QList<TerminalRecord>& terminals,
                                        const QString& error, const EndedCallback& ended);
    SiteTerminalResult download(const TerminalRecord& terminal, AttendanceWriter& writer,
                                AttendanceView& view);

    DataFolder m_folder;
    QSqlDatabase m_data;
    OperatorInterface& m_ui;
    Options m_options;
    AttendanceView* m_view;
};

} // namespace selvenor
