#include "TerminalDownloads.h"

#include "ConsoleAttendanceView.h"
#include "RegistryTerminal.h"

#include "app/transfer/AttendanceWriter.h"
#include "app/transfer/DataFolderLock.h"
#include "common/Errors.h"
#include "common/OperatorInterface.h"
#include "registry/TerminalList.h"
#include "terminal/ResultCode.h"

#include <optional>

namespace selvenor::cli {

SummaryOperator::SummaryOperator(OperatorInterface& console)
    : m_console(console) {}

void SummaryOperator::showMessage(const QString&) {}

OperatorInterface::Button SummaryOperator::messageBox(const QString& text, const QString& caption,
                                                      Icon icon, Buttons buttons) {
    if (icon == Icon::Error || icon == Icon::Warning)
        return m_console.messageBox(text, caption, icon, buttons);
    return Button::Ok;
}

void SummaryOperator::letPendingEventsRun() {
    m_console.letPendingEventsRun();
}

namespace {

// What every terminal's download of one run shares.
struct DownloadRun {
    CommandContext& context;
    RegistryTerminal& registry;
    OperatorInterface& ui;
    ConsoleAttendanceView& view;
    AttendanceWriter& writer;
    LogDownload::Kind kind;
    bool copyWanted;
    int waitMs; // how long to keep trying a terminal that another client holds
};

// One terminal's download with the run's writer; the summary line. `failed` tells whether the
// terminal reported a failure.
QString downloadOne(DownloadRun& run, const QString& name, bool& failed) {
    const TerminalRecord terminal = run.registry.find(name);
    if (!run.registry.connectWhenFree(terminal, run.waitMs))
        return QStringLiteral("HATA bağlanılamadı");
    TerminalSession& session = run.registry.session();
    run.view.setLabel(name);
    AttendanceContext attendance{session.clock(), session.machineNumber(), run.context.folder,
                                 run.ui, run.view};
    attendance.entry = ListEntry{run.registry.data(), terminal.id, terminal.Terminal};
    const bool copyWanted = run.copyWanted;
    const DownloadOutcome outcome =
        LogDownload(attendance, run.kind).run(run.writer, [copyWanted] { return copyWanted; });
    run.view.setLabel(QString());
    failed = outcome.failed();
    session.disconnect();
    return outcome.text();
}

} // namespace

QStringList allTerminalNames(CommandContext& context, const char* command) {
    RegistryTerminal registry(context, command);
    TerminalList list(registry.data());
    list.open();
    QStringList names;
    for (int i = 0; i < list.count(); ++i)
        names << list.at(i).Terminal;
    return names;
}

int downloadEach(CommandContext& context, const char* command, const QStringList& names,
                 LogDownload::Kind kind, bool secondFile, int waitMs) {
    RegistryTerminal registry(context, command);
    SummaryOperator ui(context.ui);
    ConsoleAttendanceView view;
    // One writer for the whole run, under the data folder's lock; a journal that refuses stops
    // the run here, before any terminal is reached or any file written.
    std::optional<DataFolderLock> lock;
    std::optional<AttendanceWriter> writer;
    try {
        lock.emplace(context.folder, waitMs);
        writer.emplace(context.folder);
        writer->open(LogDownload::fileNames(kind, kind == LogDownload::NewRecords && secondFile,
                                            QDate::currentDate()));
    } catch (const Error& e) {
        for (const QString& name : names)
            context.out << name << ": HATA " << e.text() << '\n';
        return 1;
    }
    DownloadRun run{context, registry, ui, view, *writer, kind, secondFile, waitMs};
    int status = 0;
    for (const QString& name : names) {
        QString summary;
        bool failed = false;
        try {
            summary = downloadOne(run, name, failed);
        } catch (const Error& e) {
            view.setLabel(QString());
            summary = QStringLiteral("HATA %1").arg(e.text());
        }
        if (failed || summary.startsWith(QLatin1String("HATA")))
            status = 1;
        context.out << name << ": " << summary << '\n';
        context.out.flush();
    }
    writer->close();
    return status;
}

} // namespace selvenor::cli
