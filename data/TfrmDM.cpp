#include "TfrmDM.h"

#include "Sql.h"

#include "common/Errors.h"
#include "common/OperatorInterface.h"
#include "common/TextFunctions.h"

#include <QFileInfo>
#include <QSqlError>

namespace selvenor {

namespace {

QString name(const char* connection) {
    return QString::fromLatin1(connection);
}

} // namespace

TfrmDM::TfrmDM() {
    addConnections();
}

TfrmDM::~TfrmDM() {
    for (const char* connection : {kDataConnection, kLogConnection, kMySqlConnection}) {
        QSqlDatabase::database(name(connection), false).close();
        QSqlDatabase::removeDatabase(name(connection));
    }
}

void TfrmDM::addConnections() {
    for (const char* connection : {kDataConnection, kLogConnection}) {
        QSqlDatabase store = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name(connection));
        waitWhenBusy(store);
    }
    // Placeholders until the first set-up: the local server's administrator account.
    QSqlDatabase my = QSqlDatabase::addDatabase(mySqlDriverName(), name(kMySqlConnection));
    my.setHostName(QStringLiteral("localhost"));
    my.setDatabaseName(QStringLiteral("mysql"));
    my.setUserName(QStringLiteral("root"));
    my.setPassword(QStringLiteral("vqmt"));
    my.setPort(3306);
}

QSqlDatabase TfrmDM::ADOConnection1() const {
    return QSqlDatabase::database(name(kDataConnection), false);
}

QSqlDatabase TfrmDM::ADOConnection2() const {
    return QSqlDatabase::database(name(kLogConnection), false);
}

QSqlDatabase TfrmDM::MyConnection1() const {
    return QSqlDatabase::database(name(kMySqlConnection), false);
}

bool TfrmDM::openStore(QSqlDatabase db, const QString& file) {
    db.close();
    if (!QFileInfo(file).isFile())
        return false;
    db.setDatabaseName(file);
    if (!db.open())
        throw DatabaseError(QStringLiteral("%1: %2").arg(file, db.lastError().text()));
    return true;
}

void TfrmDM::MySqlConnectionSetup(OperatorInterface& ui, const MySqlSettings& settings) {
    QSqlDatabase my = MyConnection1();
    my.close();
    my.setHostName(settings.server);
    my.setDatabaseName(settings.database);
    my.setUserName(settings.user);
    my.setPassword(settings.password);
    try {
        my.setPort(StrToInt(settings.port));
    } catch (const ConversionError&) {
        ui.messageBox(QStringLiteral("Veritabanına bağlanamadı...."), QStringLiteral("UYARI"),
                      OperatorInterface::Icon::None,
                      static_cast<int>(OperatorInterface::Button::Ok));
    }
}

QString TfrmDM::mySqlDriverName() {
    return QSqlDatabase::isDriverAvailable(QStringLiteral("QMARIADB")) ? QStringLiteral("QMARIADB")
                                                                       : QStringLiteral("QMYSQL");
}

} // namespace selvenor
