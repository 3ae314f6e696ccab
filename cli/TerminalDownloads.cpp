#include "TerminalDownloads.h"

#include "ConsoleAttendanceView.h"
#include "RegistryTerminal.h"

#include "common/Errors.h"
#include "common/OperatorInterface.h"
#include "registry/TerminalList.h"

namespace selvenor::cli {

namespace {

// The attendance commands' own messages ("Bilgiler Dosyaya Aktarıldı....") are replaced by one
// summary line per terminal, so the operator is kept quiet apart from warnings and errors.
class SummaryOperator : public OperatorInterface {
public:
    explicit SummaryOperator(OperatorInterface& console)
        : m_console(console) {}
    void showMessage(const QString&) override {}
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override {
        if (icon == Icon::Error || icon == Icon::Warning)
            return m_console.messageBox(text, caption, icon, buttons);
        return Button::Ok;
    }
    void setBusy(bool) override {}
    void letPendingEventsRun() override { m_console.letPendingEventsRun(); }
    QString chooseFileToOpen(const QString&) override { return QString(); }

private:
    OperatorInterface& m_console;
};

QString summaryOf(const DownloadOutcome& o) {
    const QString code = resultCodeText(o.resultCode);
    switch (o.status) {
    case DownloadOutcome::Written:
        return o.records == 0 ? QStringLiteral("0 kayıt yazıldı (yeni kayıt yok)")
                              : QStringLiteral("%1 kayıt yazıldı").arg(o.records);
    case DownloadOutcome::TerminalNotDisabled:
        return QStringLiteral("HATA terminal kilitlenemedi (SetTerminalEnabled): %1").arg(code);
    case DownloadOutcome::ReadFailed:
        return QStringLiteral("HATA kayıtlar yüklenemedi: %1").arg(code);
    case DownloadOutcome::WalkFailed:
        return QStringLiteral("HATA kayıtlar okunurken: %1 (%2 kayıt yazıldı)")
            .arg(code)
            .arg(o.records);
    case DownloadOutcome::AcknowledgeFailed:
        return QStringLiteral("HATA AcknowledgeLogRecords: %1 (%2 kayıt yazıldı; sonraki "
                              "aktarım onaylar)")
            .arg(code)
            .arg(o.records);
    case DownloadOutcome::ClearFailed:
        return QStringLiteral("HATA ClearLogData: %1 (%2 kayıt yazıldı, terminalde kaldı)")
            .arg(code)
            .arg(o.records);
    }
    return QString();
}

// Waits for another download of the folder to end before the terminal is connected, not while
// its session is open: a terminal ends a session that stays idle for a minute.
void waitUntilFree(const DataFolder& folder, int waitMs) {
    const DataFolderLock free(folder, waitMs);
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
    int status = 0;
    for (const QString& name : names) {
        QString summary;
        try {
            const TerminalRecord terminal = registry.find(name);
            waitUntilFree(context.folder, waitMs);
            if (!registry.connectWhenFree(terminal, waitMs)) {
                summary = QStringLiteral("HATA bağlanılamadı");
            } else {
                TerminalSession& session = registry.session();
                view.setLabel(name);
                AttendanceContext attendance{session.clock(), session.machineNumber(),
                                             context.folder, ui, view};
                attendance.lockWaitMs = waitMs;
                attendance.entry = ListEntry{registry.data(), terminal.id, terminal.Terminal};
                const DownloadOutcome outcome =
                    LogDownload(attendance, kind).run(secondFile, [secondFile] {
                        return secondFile;
                    });
                view.setLabel(QString());
                summary = summaryOf(outcome);
                if (outcome.failed())
                    status = 1;
                session.disconnect();
            }
        } catch (const Error& e) {
            view.setLabel(QString());
            summary = QStringLiteral("HATA %1").arg(e.text());
        }
        if (summary.startsWith(QLatin1String("HATA")))
            status = 1;
        context.out << name << ": " << summary << '\n';
        context.out.flush();
    }
    return status;
}

} // namespace selvenor::cli
