#pragma once

#include <QString>

#include <exception>

namespace selvenor {

// Base of every error a command does not handle itself. The handler boundary
// catches it and shows text() in a message box; the command's guards restore
// buttons, cursor, terminal and files on the way out.
class Error : public std::exception {
public:
    explicit Error(QString text)
        : m_text(std::move(text))
        , m_utf8(m_text.toUtf8()) {}
    const QString& text() const noexcept { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

// A text that is not a 32-bit integer.
class ConversionError : public Error {
public:
    using Error::Error;
};

// A file that cannot be opened, read, written or synced.
class FileError : public Error {
public:
    using Error::Error;
};

// A statement the database rejected, or a database that is not open.
class DatabaseError : public Error {
public:
    using Error::Error;
};

} // namespace selvenor
