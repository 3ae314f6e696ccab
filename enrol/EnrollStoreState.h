#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace selvenor {

// Whether the enrolment store holds the whole of what a terminal handed out. A bulk download
// marks the store incomplete when it empties it and complete only when it walked the terminal's
// whole user list and stored every entry; so a download that broke off, was cancelled, skipped
// an entry or was killed leaves the mark, and the uploads ask before they erase a terminal and
// write such a store onto it. The mark lives in Data.mdb beside tblEnroll (table
// EnrollStoreState, created when first needed), so it survives the program.
class EnrollStoreState {
public:
    explicit EnrollStoreState(QSqlDatabase data);

    // `reason` says why, in words for the operator ("kullanıcı listesi yarıda kesildi ...").
    void markIncomplete(const QString& reason);
    void markComplete();

    // Why the store is incomplete; nothing when it is not. A store never downloaded into is not
    // known to be incomplete.
    std::optional<QString> incompleteReason() const;
    bool isIncomplete() const { return incompleteReason().has_value(); }

private:
    void write(bool complete, const QString& reason);

    QSqlDatabase m_data;
};

} // namespace selvenor
