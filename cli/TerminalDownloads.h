#pragma once

#include "CliCommand.h"

#include "app/transfer/DataFolderLock.h"
#include "app/transfer/LogDownload.h"
#include "common/OperatorInterface.h"

namespace selvenor::cli {

// The attendance commands' own messages ("Bilgiler Dosyaya Aktarıldı....") are replaced by one
// summary line per terminal, so the operator is kept quiet apart from warnings and errors.
class SummaryOperator : public OperatorInterface {
public:
    explicit SummaryOperator(OperatorInterface& console);
    void showMessage(const QString& text) override;
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;
    void setBusy(bool) override {}
    void letPendingEventsRun() override;
    QString chooseFileToOpen(const QString&) override { return QString(); }

private:
    OperatorInterface& m_console;
};

// Every registered terminal's name, in name order.
QStringList allTerminalNames(CommandContext& context, const char* command);

// Downloads from each named terminal in turn (`kind` as in LogDownload) and prints one summary
// line per terminal: the records written, or the failure and its result code's name. For each
// terminal it waits up to `waitMs` for what another holds: the data folder's lock (another
// download) and then the terminal (another client's session). Returns 1 when any terminal
// failed, else 0.
int downloadEach(CommandContext& context, const char* command, const QStringList& names,
                 LogDownload::Kind kind, bool secondFile,
                 int waitMs = DataFolderLock::kDefaultWaitMs);

} // namespace selvenor::cli
