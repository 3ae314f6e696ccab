#include "MariaDbFixture.h"

#include "data/TfrmDM.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

QString env(const char* name) {
    return qEnvironmentVariable(name);
}

} // namespace

MariaDbFixture::MariaDbFixture()
    : m_connection(QStringLiteral("mariadb-fixture-") + QUuid::createUuid().toString()) {
    if (env("SELVENOR_MYSQL_PORT").isEmpty() || env("SELVENOR_MYSQL_DATABASE").isEmpty())
        return;
    QSqlDatabase db = QSqlDatabase::addDatabase(selvenor::TfrmDM::mySqlDriverName(), m_connection);
    const selvenor::MySqlSettings s = settings();
    db.setHostName(s.server);
    db.setDatabaseName(s.database);
    db.setUserName(s.user);
    db.setPassword(s.password);
    db.setPort(s.port.toInt());
    m_available = db.open();
    EXPECT_TRUE(m_available) << "the MariaDB server of the environment does not answer: "
                             << db.lastError().text().toStdString();
    if (!m_available)
        return;
    m_database = QStringLiteral("pdks_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    exec(QStringLiteral("CREATE DATABASE %1 CHARACTER SET latin5").arg(m_database));
    exec(QStringLiteral("USE %1").arg(m_database));
}

MariaDbFixture::~MariaDbFixture() {
    if (m_available)
        exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_database));
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

const char* MariaDbFixture::skipMessage() {
    return "no MariaDB server: SELVENOR_MYSQL_* not set (run eval \"$(scripts/services.sh "
           "start)\" first)";
}

selvenor::MySqlSettings MariaDbFixture::settings() const {
    selvenor::MySqlSettings s;
    s.server = env("SELVENOR_MYSQL_HOST");
    if (s.server.isEmpty())
        s.server = QStringLiteral("127.0.0.1");
    s.database = m_database.isEmpty() ? env("SELVENOR_MYSQL_DATABASE") : m_database;
    s.user = env("SELVENOR_MYSQL_USER");
    s.password = env("SELVENOR_MYSQL_PASSWORD");
    s.port = env("SELVENOR_MYSQL_PORT");
    return s;
}

void MariaDbFixture::exec(const QString& statement, const QVariantList& values) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (values.isEmpty()) { // statements such as USE cannot be prepared
        ASSERT_TRUE(q.exec(statement)) << q.lastError().text().toStdString();
        return;
    }
    ASSERT_TRUE(q.prepare(statement)) << q.lastError().text().toStdString();
    for (const QVariant& v : values)
        q.addBindValue(v);
    ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
}

QStringList MariaDbFixture::column(const QString& statement) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    QStringList result;
    EXPECT_TRUE(q.exec(statement)) << q.lastError().text().toStdString();
    while (q.next())
        result << q.value(0).toString();
    return result;
}

void MariaDbFixture::createPersonel() {
    dropPersonel();
    exec(QStringLiteral(
        "CREATE TABLE personel (id INT AUTO_INCREMENT PRIMARY KEY, kartno VARCHAR(20), "
        "ad VARCHAR(50), soyad VARCHAR(50), durum VARCHAR(10), personelturu VARCHAR(20), "
        "uyebaslamatarihi DATE NULL, uyebitistarihi DATE NULL) "
        "CHARACTER SET latin5 COLLATE latin5_turkish_ci"));
}

void MariaDbFixture::add(const QString& kartno, const QString& ad, const QString& soyad,
                         const QString& durum, const QString& personelturu, const QString& start,
                         const QString& end) {
    exec(QStringLiteral("INSERT INTO personel (kartno, ad, soyad, durum, personelturu, "
                        "uyebaslamatarihi, uyebitistarihi) VALUES (?, ?, ?, ?, ?, ?, ?)"),
         {kartno, ad, soyad, durum, personelturu, start.isEmpty() ? QVariant() : QVariant(start),
          end.isEmpty() ? QVariant() : QVariant(end)});
}

void MariaDbFixture::dropPersonel() {
    exec(QStringLiteral("DROP TABLE IF EXISTS personel"));
}
