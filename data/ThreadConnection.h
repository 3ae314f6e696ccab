#pragma once

#include <QSqlDatabase>
#include <QString>

namespace selvenor {

// A connection of this thread to the database of `original` (a Qt connection may only be used
// on the thread that made it): opened on construction, closed and removed when the object
// goes. For work that runs side by side on threads of its own. Throws DatabaseError when the
// database cannot be opened.
class ThreadConnection {
public:
    explicit ThreadConnection(const QSqlDatabase& original);
    ~ThreadConnection();
    ThreadConnection(const ThreadConnection&) = delete;
    ThreadConnection& operator=(const ThreadConnection&) = delete;

    QSqlDatabase database() const;

private:
    QString m_name;
};

} // namespace selvenor
