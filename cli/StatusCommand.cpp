#include "CommandArguments.h"
#include "RegistryTerminal.h"

#include "app/TerminalCheck.h"
#include "app/transfer/DownloadStatus.h"
#include "common/DateFormats.h"
#include "registry/TerminalList.h"
#include "terminal/ResultCode.h"

namespace selvenor::cli {

namespace {

constexpr int kCheckTimeoutMs = 3000;
constexpr int kCheckJobs = 32;

QString timeText(const QDateTime& when) {
    return when.isValid() ? DateTimeText(when) : QStringLiteral("-");
}

// The error as the download's summary told it, which names the operation and the code.
QString errorText(const DownloadStatus& s) {
    return s.lastFailed() ? s.lastError : QStringLiteral("-");
}

QString answerText(const TerminalAnswer& a) {
    if (a.answered)
        return QStringLiteral("cevap veriyor (seri no %1)").arg(a.serial);
    if (a.resultCode == TerminalSession::kNoResultCode)
        return QStringLiteral("bağlantı bilgisi okunamadı");
    return QStringLiteral("cevap vermiyor (%1)").arg(ResultCodeText(a.resultCode));
}

} // namespace

// Per terminal of the list: when its download was last tried, when it last succeeded, what the
// last one wrote and its error; with --check also whether the terminal answers now. Exit 1 when
// any terminal's last download failed (or, with --check, any does not answer).
int status(CommandContext& context) {
    const CommandArguments args("status", context.arguments, {}, {"--check"});
    args.words(0);
    TfrmDM dm;
    openDataStore(context.folder, dm);
    TerminalList list(dm.ADOConnection1());
    list.open();
    if (list.isEmpty()) {
        context.out << QStringLiteral("Kayıtlı terminal yok") << '\n';
        return 0;
    }
    const DownloadStatusTable table(dm.ADOConnection1());
    QList<TerminalRecord> terminals;
    for (int i = 0; i < list.count(); ++i)
        terminals << list.at(i);
    const bool check = args.has("--check");
    const QList<TerminalAnswer> answers =
        check ? checkTerminals(terminals, kCheckTimeoutMs, kCheckJobs) : QList<TerminalAnswer>();

    context.out << QStringLiteral("Terminal\tSon deneme\tSon başarı\tKayıt\tSon hata");
    if (check)
        context.out << QStringLiteral("\tŞimdi");
    context.out << '\n';
    int exit = 0;
    for (int i = 0; i < terminals.size(); ++i) {
        const DownloadStatus s = table.of(terminals[i].id);
        context.out << terminals[i].Terminal << '\t' << timeText(s.lastAttempt) << '\t'
                    << timeText(s.lastSuccess) << '\t'
                    << (s.lastAttempt.isValid() ? QString::number(s.records) : QStringLiteral("-"))
                    << '\t' << errorText(s);
        if (s.lastFailed())
            exit = 1;
        if (check) {
            context.out << '\t' << answerText(answers[i]);
            if (!answers[i].answered)
                exit = 1;
        }
        context.out << '\n';
    }
    return exit;
}

} // namespace selvenor::cli
