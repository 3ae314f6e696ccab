#include "TerminalState.h"

#include <QRandomGenerator>

namespace selvenor::sim {

QDateTime TerminalState::clockNow() const {
    const QDateTime now = QDateTime::currentDateTime();
    return clockOffset ? now.addSecs(*clockOffset) : now;
}

bool TerminalState::assignMissingIdentity() {
    const bool missing = serial.isEmpty() || logGeneration == 0;
    QRandomGenerator* random = QRandomGenerator::system();
    if (serial.isEmpty())
        serial = QStringLiteral("SIM-%1")
                     .arg(random->generate64() & 0xFFFFFFFFFFFFull, 12, 16, QLatin1Char('0'))
                     .toUpper();
    while (logGeneration == 0)
        logGeneration = random->generate();
    return missing;
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
