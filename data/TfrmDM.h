#pragma once

#include "Settings.h"

#include <QSqlDatabase>
#include <QString>

namespace selvenor {

class OperatorInterface;

// The data module: owns the three database connections that the windows and commands share.
// ADOConnection1 is Data.mdb (Terminal, tblEnroll, ENROLLINFO), ADOConnection2 is Log.mdb
// (temp), MyConnection1 the attendance program's MySQL database (personel, read only).
// Connections are Qt named connections; get them with the accessors or by the names below.
class TfrmDM {
public:
    static constexpr const char* kDataConnection = "ADOConnection1";
    static constexpr const char* kLogConnection = "ADOConnection2";
    static constexpr const char* kMySqlConnection = "MyConnection1";

    TfrmDM();
    ~TfrmDM();
    TfrmDM(const TfrmDM&) = delete;
    TfrmDM& operator=(const TfrmDM&) = delete;

    QSqlDatabase ADOConnection1() const;
    QSqlDatabase ADOConnection2() const;
    QSqlDatabase MyConnection1() const;

    // Closes the connection and opens it on `file`. Returns false when the file does not exist
    // (the connection then stays closed); throws DatabaseError when it exists but cannot be opened.
    static bool openStore(QSqlDatabase db, const QString& file);

    // The MySQL connection set-up: closes MyConnection1 and gives it the server, database, user,
    // password and port; a port that is no integer shows "Veritabanına bağlanamadı...." and keeps
    // the previous port. Does not open the connection.
    void MySqlConnectionSetup(OperatorInterface& ui, const MySqlSettings& settings);

    // The driver used for MySQL/MariaDB: QMARIADB when present, else QMYSQL.
    static QString mySqlDriverName();

private:
    void addConnections();
};

} // namespace selvenor
