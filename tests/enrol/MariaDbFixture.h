#pragma once

#include "data/Settings.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// The MariaDB server that scripts/services.sh starts for the tests, found through the
// SELVENOR_MYSQL_* environment variables. available() is false when they are missing; the
// tests then skip with a message saying so.
class MariaDbFixture {
public:
    MariaDbFixture();
    ~MariaDbFixture();

    bool available() const { return m_available; }
    static const char* skipMessage();

    // The settings the program would read from Settings.ini for this server and the fixture's
    // own database.
    selvenor::MySqlSettings settings() const;

    // Creates `personel` anew with CHARACTER SET latin5, the attendance program's table.
    void createPersonel();
    // One person; empty dates are NULL.
    void add(const QString& kartno, const QString& ad, const QString& soyad,
             const QString& durum = QStringLiteral("Aktif"),
             const QString& personelturu = QStringLiteral("personel"),
             const QString& start = QString(), const QString& end = QString());
    void dropPersonel();
    // Runs a statement on the fixture's own connection; fails the test when it is rejected.
    void exec(const QString& statement, const QVariantList& values = {});
    QStringList column(const QString& statement);

private:
    bool m_available = false;
    QString m_connection;
    QString m_database; // a database of this fixture's own: tests run in parallel
};

#define SKIP_WITHOUT_MARIADB(db)                                                                   \
    if (!(db).available())                                                                         \
    GTEST_SKIP() << MariaDbFixture::skipMessage()
