#pragma once

#include <QProcess>
#include <QString>

// The program of SqliteWriteHolder.cpp, run for one test: holds the write lock of `file` for
// `holdMs` from construction on, then commits a table "holder_was_here". `exclusive` keeps
// readers out too.
class SqliteWriteHolder {
public:
    SqliteWriteHolder(const QString& file, int holdMs, bool exclusive);
    ~SqliteWriteHolder();

    // Whether the lock was taken (the program said so).
    bool holds() const { return m_held; }
    // Waits for the program to commit and end; true when it committed.
    bool committed();

private:
    QProcess m_process;
    bool m_held = false;
};
