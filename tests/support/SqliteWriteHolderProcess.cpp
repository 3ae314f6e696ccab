#include "SqliteWriteHolder.h"

SqliteWriteHolder::SqliteWriteHolder(const QString& file, int holdMs, bool exclusive) {
    m_process.start(QStringLiteral(SELVENOR_SQLITE_WRITE_HOLDER),
                    {file, QString::number(holdMs),
                     exclusive ? QStringLiteral("exclusive") : QStringLiteral("immediate")});
    while (m_process.waitForReadyRead(10000) && !m_process.canReadLine()) {
    }
    m_held = m_process.readLine().trimmed() == "held";
}

SqliteWriteHolder::~SqliteWriteHolder() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool SqliteWriteHolder::committed() {
    return m_process.waitForFinished(60000) && m_process.exitStatus() == QProcess::NormalExit &&
           m_process.exitCode() == 0;
}
