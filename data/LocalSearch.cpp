#include "LocalSearch.h"

#include "common/Errors.h"

#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace selvenor {

namespace {

// The text in Turkish capitals: i becomes İ and ı becomes I, every other letter its own capital.
// Two texts that differ only in Turkish case have the same capitals.
QString turkishUpper(const QString& text) {
    QString upper;
    upper.reserve(text.size());
    for (const QChar c : text)
        upper += c == u'i' ? QChar(u'İ') : c.toUpper(); // ı is I already
    return upper;
}

QString textOf(sqlite3_value* value) {
    const auto* text = static_cast<const char16_t*>(sqlite3_value_text16(value));
    return QString::fromUtf16(text, sqlite3_value_bytes16(value) / qsizetype(sizeof(char16_t)));
}

// turkish_begins(value, text): 1 when value begins with text regardless of Turkish case.
void turkishBegins(sqlite3_context* context, int, sqlite3_value** arguments) {
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL ||
        sqlite3_value_type(arguments[1]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    const QString value = turkishUpper(textOf(arguments[0]));
    const QString text = turkishUpper(textOf(arguments[1]));
    sqlite3_result_int(context, value.startsWith(text) ? 1 : 0);
}

sqlite3* sqliteHandle(const QSqlDatabase& db) {
    const QVariant handle = db.isOpen() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw DatabaseError(QStringLiteral("%1: arama yalnız açık bir yerel veritabanında yapılır")
                                .arg(db.databaseName()));
    return *static_cast<sqlite3* const*>(handle.constData());
}

} // namespace

QString localSearchCondition(QSqlDatabase db, const QString& column) {
    // Registering again replaces the same function; every connection gets it on first use.
    const int rc = sqlite3_create_function_v2(sqliteHandle(db), "turkish_begins", 2,
                                              SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr,
                                              turkishBegins, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw DatabaseError(QStringLiteral("%1: turkish_begins: %2")
                                .arg(db.databaseName(), QString::fromUtf8(sqlite3_errstr(rc))));
    return QStringLiteral("turkish_begins(%1, ?)").arg(column);
}

} // namespace selvenor
