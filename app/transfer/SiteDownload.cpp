#include "SiteDownload.h"

#include "AttendanceView.h"
#include "AttendanceWriter.h"
#include "DataFolderLock.h"
#include "DownloadStatus.h"

#include "app/TerminalSession.h"
#include "common/Errors.h"
#include "common/SerialisedOperator.h"
#include "common/SideBySide.h"
#include "data/ThreadConnection.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

#include <mutex>
#include <optional>

namespace selvenor {

namespace {

// What a terminal's download tells the operator, with the terminal's name in front: several
// terminals speak at once.
class NamedOperator : public OperatorInterface {
public:
    NamedOperator(OperatorInterface& inner, const QString& name)
        : m_inner(inner)
        , m_prefix(name + QStringLiteral(": ")) {}
    void showMessage(const QString& text) override { m_inner.showMessage(m_prefix + text); }
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override {
        return m_inner.messageBox(text, m_prefix + caption, icon, buttons);
    }
    void setBusy(bool) override {}
    void letPendingEventsRun() override {}
    QString chooseFileToOpen(const QString&) override { return QString(); }

private:
    OperatorInterface& m_inner;
    QString m_prefix;
};

class NoAttendanceView : public AttendanceView {
public:
    void setProgressRange(int, int) override {}
    void setProgressPosition(int) override {}
    void setTransferEnabled(bool) override {}
    void setFileName(const QString&) override {}
    void setWorkLines(const QString&) override {}
    void setIntermediateLines(const QString&) override {}
};

} // namespace

QString SiteTerminalResult::text() const {
    if (!error.isEmpty())
        return QStringLiteral("HATA %1").arg(error);
    if (connected)
        return outcome.text();
    if (connectResult == TerminalSession::kNoResultCode)
        return QStringLiteral("HATA bağlantı türü tanınmıyor: '%1' (com, ethernet veya usb "
                              "olmalı)")
            .arg(terminal.Tip);
    return QStringLiteral("HATA bağlanılamadı: %1").arg(ResultCodeText(connectResult));
}

SiteDownload::SiteDownload(const DataFolder& folder, const QSqlDatabase& data,
                           OperatorInterface& ui, Options options, AttendanceView* view)
    : m_folder(folder)
    , m_data(data)
    , m_ui(ui)
    , m_options(std::move(options))
    , m_view(view) {}

QList<SiteTerminalResult> SiteDownload::run(const QList<TerminalRecord>& terminals,
                                            const EndedCallback& ended) {
    std::optional<DataFolderLock> lock;
    std::optional<AttendanceWriter> writer;
    try {
        lock.emplace(m_folder, m_options.lockWaitMs);
        writer.emplace(m_folder);
        writer->open(LogDownload::fileNames(LogDownload::NewRecords, m_options.secondFile,
                                            m_options.today()));
    } catch (const Error& e) {
        return refuseAll(terminals, e.text(), ended);
    }
    const int jobs = qMax(1, m_options.jobs);
    const bool oneAtATime = jobs == 1 || terminals.size() == 1;
    NoAttendanceView noView;
    AttendanceView& view = oneAtATime && m_view ? *m_view : noView;

    QList<SiteTerminalResult> results(terminals.size());
    std::mutex endedMutex;
    runSideBySide(int(terminals.size()), jobs, [&](int i) {
        results[i] = download(terminals[i], *writer, view);
        const std::lock_guard lockEnded(endedMutex);
        if (ended)
            ended(i, results[i]);
    });
    writer->close();
    return results;
}

QList<SiteTerminalResult> SiteDownload::refuseAll(const QList<TerminalRecord>& terminals,
                                                  const QString& error,
                                                  const EndedCallback& ended) {
    QList<SiteTerminalResult> results;
    for (const TerminalRecord& terminal : terminals) {
        SiteTerminalResult r;
        r.terminal = terminal;
        r.error = error;
        NamedOperator ui(m_ui, terminal.Terminal);
        DownloadStatusRecord(ListEntry{m_data, terminal.id, terminal.Terminal}, ui)
            .ended(r.text(), 0, 0);
        if (ended)
            ended(int(results.size()), r);
        results << r;
    }
    return results;
}

SiteTerminalResult SiteDownload::download(const TerminalRecord& terminal, AttendanceWriter& writer,
                                          AttendanceView& view) {
    SiteTerminalResult result;
    result.terminal = terminal;
    NamedOperator ui(m_ui, terminal.Terminal);
    try {
        ThreadConnection data(m_data);
        const ListEntry entry{data.database(), terminal.id, terminal.Terminal};
        TFP_CLOCK clock;
        TerminalSession session(clock);
        SilentOperator silent; // the summary line tells why
        result.connected = session.connectWhenFree(terminal, silent, m_options.busyWaitMs);
        if (!result.connected) {
            result.connectResult = session.lastConnectResult();
            DownloadStatusRecord(entry, ui).ended(result.text(), 0, qMax(0, result.connectResult));
            return result;
        }
        AttendanceContext context{clock, session.machineNumber(), m_folder, ui, view};
        context.today = m_options.today;
        context.entry = entry;
        result.outcome = LogDownload(context, LogDownload::NewRecords).run(writer, {});
        session.disconnect();
    } catch (const Error& e) {
        result.error = e.text();
    }
    return result;
}

} // namespace selvenor
