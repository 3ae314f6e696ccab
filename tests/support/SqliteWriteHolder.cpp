// Another program writing to a SQLite file: takes the write lock, says "held" on standard
// output, keeps it for the given time and then commits its change.
//   sqlite-write-holder FILE MILLISECONDS immediate|exclusive
// "immediate" still lets others read; "exclusive" keeps readers out too.

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <cstdio>

namespace {

bool exec(QSqlDatabase& db, const QString& statement) {
    QSqlQuery query(db);
    if (query.exec(statement))
        return true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(statement), qPrintable(query.lastError().text()));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(args[1]);
    if (!db.open())
        return 1;
    const QString begin = args[3] == QLatin1String("exclusive") ? QStringLiteral("BEGIN EXCLUSIVE")
                                                                : QStringLiteral("BEGIN IMMEDIATE");
    if (!exec(db, begin) || !exec(db, QStringLiteral("CREATE TABLE holder_was_here (x)")))
        return 1;
    std::puts("held");
    std::fflush(stdout);
    QThread::msleep(args[2].toULong());
    return exec(db, QStringLiteral("COMMIT")) ? 0 : 1;
}
