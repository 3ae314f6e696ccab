#include "StoreSchema.h"

#include "DataFolder.h"
#include "Sql.h"

#include "common/Errors.h"
#include "common/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QUuid>

namespace selvenor {

namespace {

// The checks keep a text that is no integer out of the numeric columns: SQLite would take it.
const char* const kInt32 = "CHECK (%1 IS NULL OR (typeof(%1) = 'integer' AND %1 BETWEEN "
                           "-2147483648 AND 2147483647))";

QString int32Column(const QString& name) {
    return name + QStringLiteral(" INTEGER ") + QString::fromLatin1(kInt32).arg(name);
}

// The file is made here rather than by SQLite, which gives its new files the mode 0644: the
// umask decides, as for every other file of the data folder, so a folder shared by a group keeps
// the store writable for the group (SQLite's journals take the store's mode).
void createEmptyFile(const QString& file) {
    QFile empty(file);
    if (!empty.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw DatabaseError(QStringLiteral("%1 oluşturulamadı: %2").arg(file, empty.errorString()));
}

void createDatabase(const QString& file, const QStringList& statements) {
    createEmptyFile(file);
    const QString connection = QStringLiteral("schema-") + QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        waitWhenBusy(db);
        db.setDatabaseName(file);
        if (!db.open())
            throw DatabaseError(QStringLiteral("%1 oluşturulamadı").arg(file));
        inTransaction(db, [&] {
            for (const QString& statement : statements)
                execSql(db, statement);
        });
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

void createSettings(const QString& file) {
    IniFile ini;
    ini.setValue(QStringLiteral("Options"), QStringLiteral("veriDosya2"), QStringLiteral("0"));
    for (const char* key : {"Server", "Database"})
        ini.setValue(QStringLiteral("Login"), QString::fromLatin1(key), QString());
    for (const char* key : {"User", "Password"})
        ini.setValue(QStringLiteral("MySql"), QString::fromLatin1(key), QString());
    ini.setValue(QStringLiteral("MySql"), QStringLiteral("Port"), QStringLiteral("3306"));
    ini.setValue(QStringLiteral("System"), QStringLiteral("ProgramTipi"), QString());
    ini.save(file);
}

} // namespace

QStringList dataStoreSchema() {
    return {
        QStringLiteral("CREATE TABLE Terminal (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "Terminal TEXT, %1, Tip TEXT, ComPort TEXT, ComBaud TEXT, Ip TEXT, %2, %3)")
            .arg(int32Column("TerminalNo"), int32Column("NetPort"), int32Column("Sifre")),
        QStringLiteral("CREATE TABLE tblEnroll (id INTEGER PRIMARY KEY AUTOINCREMENT, %1, %2, %3, "
                       "%4, %5, FPdata TEXT)")
            .arg(int32Column("EnrollNumber"), int32Column("EMachineNumber"),
                 int32Column("FingerNumber"), int32Column("Privilige"), int32Column("Password")),
        QStringLiteral("CREATE UNIQUE INDEX tblEnroll_item ON tblEnroll "
                       "(EnrollNumber, EMachineNumber, FingerNumber)"),
        QStringLiteral("CREATE TABLE ENROLLINFO (No TEXT, EnNo TEXT, EMNo TEXT, Fp TEXT, "
                       "Priv TEXT, Enable TEXT)"),
    };
}

QStringList logStoreSchema() {
    return {
        QStringLiteral("CREATE TABLE temp (id INTEGER PRIMARY KEY AUTOINCREMENT, kartno TEXT, "
                       "isim TEXT)"),
        QStringLiteral("CREATE INDEX temp_kartno ON temp (kartno)"),
    };
}

QStringList createMissingStores(const DataFolder& folder) {
    QStringList created;
    const auto createIfMissing = [&](const QString& name, auto create) {
        if (QFileInfo::exists(folder.file(name)))
            return;
        create(folder.file(name));
        created << name;
    };
    createIfMissing(QStringLiteral("Data.mdb"),
                    [](const QString& f) { createDatabase(f, dataStoreSchema()); });
    createIfMissing(QStringLiteral("Log.mdb"),
                    [](const QString& f) { createDatabase(f, logStoreSchema()); });
    createIfMissing(QStringLiteral("Settings.ini"), createSettings);
    return created;
}

} // namespace selvenor
