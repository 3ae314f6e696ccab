#include "TerminalState.h"

namespace selvenor::sim {

QDateTime TerminalState::clockNow() const {
    const QDateTime now = QDateTime::currentDateTime();
    return clockOffset ? now.addSecs(*clockOffset) : now;
}

void TerminalState::appendRecord(protocol::LogRecord record, bool read) {
    record.sequence = nextSequence++;
    logs.append(StoredRecord{record, read});
}

bool TerminalState::normaliseBackup(quint8& backup) {
    if (backup == kPasswordAlias)
        backup = kPasswordBackup;
    return isTemplateBackup(backup) || backup == kPasswordBackup || backup == kCardBackup;
}

} // namespace selvenor::sim
