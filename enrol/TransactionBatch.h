#pragma once

#include <QSqlDatabase>

namespace selvenor {

// Groups the writes of a long run into transactions of `rowsPerCommit` rows, so that the run
// does not pay one disk sync per row. What was written stays written when the run stops early:
// the open transaction is committed on destruction too.
class TransactionBatch {
public:
    explicit TransactionBatch(QSqlDatabase db, int rowsPerCommit = 500);
    ~TransactionBatch();
    TransactionBatch(const TransactionBatch&) = delete;
    TransactionBatch& operator=(const TransactionBatch&) = delete;

    // One row written; commits and starts a new transaction every rowsPerCommit rows.
    void rowWritten();
    // Commits the open transaction; throws DatabaseError when that fails.
    void finish();

private:
    QSqlDatabase m_db;
    int m_rowsPerCommit;
    int m_rows = 0;
    bool m_open = false;
};

} // namespace selvenor
