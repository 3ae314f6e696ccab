#include "TransactionBatch.h"

#include "data/Sql.h"

namespace selvenor {

TransactionBatch::TransactionBatch(QSqlDatabase db, int rowsPerCommit)
    : m_db(std::move(db))
    , m_rowsPerCommit(rowsPerCommit) {
    beginTransaction(m_db);
    m_open = true;
}

TransactionBatch::~TransactionBatch() {
    if (m_open)
        m_db.commit(); // the run is ending on an error; keep what it wrote
}

void TransactionBatch::rowWritten() {
    if (++m_rows % m_rowsPerCommit != 0)
        return;
    m_open = false;
    commitTransaction(m_db);
    beginTransaction(m_db);
    m_open = true;
}

void TransactionBatch::finish() {
    if (!m_open)
        return;
    m_open = false;
    commitTransaction(m_db);
}

} // namespace selvenor
