#include "CommandArguments.h"
#include "ConsoleAttendanceView.h"
#include "RegistryTerminal.h"
#include "TerminalDownloads.h"

#include "app/transfer/SiteDownload.h"
#include "common/SerialisedOperator.h"

namespace selvenor::cli {

namespace {

constexpr int kLongestWaitS = 86400;
constexpr int kDefaultJobs = 8;
constexpr int kMostJobs = 64;

// A whole number option between `least` and `most`; `fallback` when it is not given.
int wholeNumber(const CommandArguments& args, const QString& option, int fallback, int least,
                int most) {
    if (!args.has(option))
        return fallback;
    bool ok = false;
    const int n = args.value(option).toInt(&ok);
    if (!ok || n < least || n > most)
        usageError("download", QStringLiteral("%1 %2 ile %3 arasında bir tam sayı ister: '%4'")
                                   .arg(option)
                                   .arg(least)
                                   .arg(most)
                                   .arg(args.value(option)));
    return n;
}

// The summary lines in the order the terminals were named, each as soon as it and every one
// before it have ended: the output reads the same whichever terminal answers first.
class OrderedSummary {
public:
    OrderedSummary(QTextStream& out, qsizetype count)
        : m_out(out)
        , m_lines(count) {}
    void ended(int index, const QString& line) {
        m_lines[index] = line;
        while (m_printed < m_lines.size() && !m_lines[m_printed].isNull()) {
            m_out << m_lines[m_printed++] << '\n';
            m_out.flush();
        }
    }

private:
    QTextStream& m_out;
    QStringList m_lines;
    qsizetype m_printed = 0;
};

} // namespace

// The transfer of "Verileri Aktar" for each named terminal, or every registered one (--all), up
// to --jobs terminals side by side. One summary line per terminal; exit 1 when any failed.
// --wait SECONDS: how long to wait for what another holds: the data folder (a download by hand
// or from the window) and a terminal (the window's session).
int download(CommandContext& context) {
    const CommandArguments args("download", context.arguments,
                                {QStringLiteral("--wait"), QStringLiteral("--jobs")},
                                {QStringLiteral("--second-file"), QStringLiteral("--all")});
    QStringList names = args.words();
    if (args.has("--all")) {
        if (!names.isEmpty())
            usageError("download", QStringLiteral("--all ile terminal adı verilmez"));
        names = allTerminalNames(context, "download");
        if (names.isEmpty())
            usageError("download", QStringLiteral("kayıtlı terminal yok"));
    }
    if (names.isEmpty())
        usageError("download", QStringLiteral("terminal adı ya da --all gerekli"));

    SiteDownload::Options options;
    options.secondFile = args.has("--second-file");
    options.jobs = wholeNumber(args, "--jobs", kDefaultJobs, 1, kMostJobs);
    options.lockWaitMs = options.busyWaitMs =
        wholeNumber(args, "--wait", DataFolderLock::kDefaultWaitMs / 1000, 0, kLongestWaitS) * 1000;
    RegistryTerminal registry(context, "download");
    QList<TerminalRecord> terminals;
    for (const QString& name : names)
        terminals << registry.find(name);

    SummaryOperator summary(context.ui);
    SerialisedOperator ui(summary);
    ConsoleAttendanceView view;
    OrderedSummary lines(context.out, terminals.size());
    const QList<SiteTerminalResult> results =
        SiteDownload(context.folder, registry.data(), ui, options, &view)
            .run(terminals, [&](int index, const SiteTerminalResult& r) {
                view.setLabel(QString());
                lines.ended(index, r.terminal.Terminal + QStringLiteral(": ") + r.text());
            });
    return std::any_of(results.begin(), results.end(),
                       [](const SiteTerminalResult& r) { return r.failed(); })
               ? 1
               : 0;
}

} // namespace selvenor::cli
