#pragma once

#include <QSqlDatabase>
#include <QString>

namespace selvenor {

// The one "begins with" search of the local stores (Data.mdb, Log.mdb): true when the column's
// value, as text, begins with the operator's text regardless of Turkish case (Ğ/ğ, Ü/ü, Ş/ş,
// Ö/ö, Ç/ç, I/ı, İ/i), as the personnel table's latin5_turkish_ci comparison does. The text is
// taken literally: %, _ and quotes are letters like any other.
//
//   execSql(db, "SELECT * FROM temp WHERE " + localSearchCondition(db, "isim"), {text})
//
// The condition calls the function turkish_begins, which this registers on the connection (it
// must be open). Throws DatabaseError when the connection is no SQLite database.
QString localSearchCondition(QSqlDatabase db, const QString& column);

} // namespace selvenor
