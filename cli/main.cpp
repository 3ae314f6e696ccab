#include "CliCommand.h"
#include "ConsoleOperator.h"

#include "common/CommandBoundary.h"
#include "common/Version.h"

#include <QCoreApplication>

#include <cstdio>

using namespace selvenor;

namespace {

struct CommandLine {
    QString name;
    QStringList arguments;
};

// Everything but the program name and --data-dir (which DataFolder reads): the first word is
// the command, the rest its arguments.
CommandLine parse(const QStringList& all) {
    CommandLine line;
    for (int i = 1; i < all.size(); ++i) {
        if (all[i] == QLatin1String("--data-dir")) {
            ++i;
        } else if (!all[i].startsWith(QLatin1String("--data-dir="))) {
            if (line.name.isEmpty())
                line.name = all[i];
            else
                line.arguments << all[i];
        }
    }
    return line;
}

const char kUsagePrefix[] = "Kullanım: selvenor-cli [--data-dir KLASÖR] ";

// The command's name and its arguments, as the help lists them.
QString commandLine(const cli::Command& c) {
    return QString::fromUtf8(c.name) +
           (*c.usage ? QStringLiteral(" ") + QString::fromUtf8(c.usage) : QString());
}

// "  name usage  summary"; a long usage gets the summary on a line of its own.
void printCommandRow(QTextStream& stream, const cli::Command& c) {
    constexpr int kColumn = 28;
    const QString line = commandLine(c);
    stream << "  " << line;
    if (line.size() > kColumn)
        stream << '\n' << QString(kColumn + 3, QLatin1Char(' '));
    else
        stream << QString(kColumn + 1 - line.size(), QLatin1Char(' '));
    stream << QString::fromUtf8(c.summary) << '\n';
}

void printUsage(QTextStream& stream) {
    stream << kUsagePrefix << "KOMUT [ARGÜMANLAR]\n"
           << "       selvenor-cli [KOMUT] --help | -h | --version\n";
    for (const cli::CommandGroup group : cli::kCommandGroups) {
        stream << '\n' << cli::groupTitle(group) << ":\n";
        for (const cli::Command& c : cli::commands()) {
            if (c.group == group)
                printCommandRow(stream, c);
        }
    }
}

// What `selvenor-cli COMMAND --help` prints: the command's own row of the table.
void printCommandUsage(QTextStream& stream, const cli::Command& c) {
    stream << kUsagePrefix << commandLine(c) << "\n\n" << QString::fromUtf8(c.summary) << '\n';
}

const cli::Command* find(const QString& name) {
    for (const cli::Command& c : cli::commands()) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);

    const CommandLine line = parse(app.arguments());
    const InfoRequest info = infoRequestOf(app.arguments());
    if (info == InfoRequest::Version) {
        out << VersionLine(QStringLiteral("selvenor-cli")) << '\n';
        return 0;
    }
    // Help with no command before it (only options) is the program's own usage.
    const bool helpAlone = info == InfoRequest::Help && line.name.startsWith(QLatin1Char('-'));
    if (helpAlone) {
        printUsage(out);
        return 0;
    }
    const cli::Command* command = find(line.name);
    if (!command) {
        if (!line.name.isEmpty())
            err << "Bilinmeyen komut: " << line.name << "\n\n";
        printUsage(err);
        return 2;
    }
    if (info == InfoRequest::Help) {
        printCommandUsage(out, *command);
        return 0;
    }

    cli::ConsoleOperator ui(out, err, in);
    cli::CommandContext context{DataFolder::fromArguments(app.arguments()), line.arguments, out,
                                ui};
    context.folder.keepNewFilesGroupWritable();
    int status = 1;
    if (!runCommand(ui, [&] { status = command->run(context); }))
        status = 1;
    out.flush();
    return status;
}
