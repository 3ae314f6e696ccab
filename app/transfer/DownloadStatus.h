#pragma once

#include "ListEntryIdentity.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace selvenor {

class OperatorInterface;

// What the last downloads of one entry of the terminal list came to.
struct DownloadStatus {
    qint64 terminalId = 0;
    QString terminal;      // the entry's name when the download ran
    QDateTime lastAttempt; // invalid: never tried
    QDateTime lastSuccess; // invalid: never succeeded
    int records = 0;       // records the last attempt wrote (a failed one may have written some)
    QString lastError;     // empty when the last attempt succeeded
    int lastErrorCode = 0; // the terminal's result code of the last failure; 0 for none
    QString lastErrorName; // its name ("ERR_READ_FAIL"), empty without a code

    bool lastFailed() const { return !lastError.isEmpty(); }
};

// The downloads' status per entry of the terminal list: table DownloadStatus of Data.mdb,
// created when first needed. Every download, by hand, from the window or scheduled, records
// its attempt and how it ended, so `selvenor-cli status` can tell which terminal last
// succeeded and which is failing.
class DownloadStatusTable {
public:
    // Creates the table when it is missing. Throws DatabaseError.
    explicit DownloadStatusTable(const QSqlDatabase& data);

    void attempted(qint64 terminalId, const QString& terminal, const QDateTime& when);
    void succeeded(qint64 terminalId, int records);
    // `code` 0 when the failure was not the terminal's (a file, the journal, the data folder).
    void failed(qint64 terminalId, int records, const QString& error, int code);

    // Every entry's status, whether or not it was ever downloaded, in the terminal list's
    // order (entries never downloaded have no attempt).
    QList<DownloadStatus> all() const;
    // The status of one entry; terminalId 0 when it has none.
    DownloadStatus of(qint64 terminalId) const;

private:
    QSqlDatabase m_data;
};

// One download in the status table: the attempt is recorded when the object is made, the end
// with ended(). Without a list entry nothing is recorded. A status that cannot be written is
// shown as a warning and never fails the download whose records already stand in the files.
class DownloadStatusRecord {
public:
    DownloadStatusRecord(const std::optional<ListEntry>& entry, OperatorInterface& ui);
    // `error` empty: the download succeeded.
    void ended(const QString& error, int records, int resultCode);

private:
    template <typename F> void write(F&& statement);

    std::optional<ListEntry> m_entry;
    OperatorInterface& m_ui;
};

} // namespace selvenor
