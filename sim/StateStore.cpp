#include "StateStore.h"

#include "StateFile.h"
#include "common/Errors.h"
#include "data/PreparedStatement.h"
#include "data/Sql.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QtEndian>

#include <optional>

namespace selvenor::sim {

using protocol::EnrollKey;

namespace {

const char* const kSchema[] = {
    "CREATE TABLE terminal (id INTEGER PRIMARY KEY CHECK (id = 1), stamp TEXT, serial TEXT, "
    "logGeneration INTEGER, machine INTEGER, password INTEGER, enabled INTEGER, "
    "clockOffset INTEGER, maxEntries INTEGER, nextSequence INTEGER, readThrough INTEGER, "
    "idleTimeoutS INTEGER, authLockoutS INTEGER, faults TEXT, otherKeys TEXT)",
    "CREATE TABLE entries (enroll INTEGER, emachine INTEGER, backup INTEGER, privilege INTEGER, "
    "enabled INTEGER, value INTEGER, template BLOB, PRIMARY KEY (enroll, emachine, backup))",
    "CREATE TABLE names (enroll INTEGER PRIMARY KEY, name TEXT)",
    "CREATE TABLE logs (seq INTEGER PRIMARY KEY, enroll INTEGER, verify INTEGER, year INTEGER, "
    "month INTEGER, day INTEGER, hour INTEGER, minute INTEGER, read INTEGER)",
};
const char* const kTables[] = {"terminal", "entries", "names", "logs"};

// The state file's size and modification time: what the working copy was written beside.
QString stampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    return QStringLiteral("%1:%2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}

QByteArray templateBlob(const QVector<qint32>& data) {
    QByteArray blob(data.size() * 4, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i)
        qToBigEndian(quint32(data[i]), blob.data() + 4 * i);
    return blob;
}

QVector<qint32> templateOf(const QByteArray& blob) {
    QVector<qint32> data(blob.size() / 4);
    for (int i = 0; i < data.size(); ++i)
        data[i] = qint32(qFromBigEndian<quint32>(blob.constData() + 4 * i));
    return data;
}

QString jsonText(const QJsonObject& o) {
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QJsonObject jsonObject(const QVariant& text) {
    return QJsonDocument::fromJson(text.toString().toUtf8()).object();
}

QVariantList settingsValues(const TerminalState& s) {
    return {s.serial,
            qint64(s.logGeneration),
            s.machine,
            s.password,
            s.enabled,
            s.clockOffset ? QVariant(*s.clockOffset) : QVariant(),
            s.maxEntries,
            qint64(s.nextSequence),
            s.idleTimeoutS,
            s.authLockoutS,
            jsonText(s.faults.toJson()),
            jsonText(s.otherKeys)};
}

QVariantList entryValues(const EnrollKey& key, const StoredEntry& e) {
    return {key.enroll, key.eMachine, key.backup,          e.privilege,
            e.enabled,  e.value,      templateBlob(e.data)};
}

QVariantList recordValues(const StoredRecord& r) {
    const protocol::LogRecord& l = r.record;
    return {qint64(l.sequence), l.enroll, l.verify, l.year, l.month, l.day, l.hour,
            l.minute,           r.read};
}

} // namespace

// The open working copy and the statements a run uses again and again.
struct StateStore::Database {
    explicit Database(const QString& path)
        : connection(QStringLiteral("sim-state-") + QUuid::createUuid().toString(QUuid::Id128)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        if (!db.open())
            throwDatabaseError(db, db.lastError().text());
        // One simulator per state file: the first one keeps the working copy locked.
        execSql(db, QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
        execSql(db, QStringLiteral("PRAGMA journal_mode = WAL"));
        // A commit hands its pages to the operating system and goes on: a killed simulator loses
        // nothing it answered; only a crash of the whole machine could, and an unreadable
        // working copy is set aside at the next start.
        execSql(db, QStringLiteral("PRAGMA synchronous = OFF"));
    }
    ~Database() {
        statements.clear();
        {
            QSqlDatabase db = QSqlDatabase::database(connection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }

    // A statement prepared once per run.
    QSqlQuery& run(const QString& statement, const QVariantList& values) {
        auto it = statements.find(statement);
        if (it == statements.end())
            it = statements.emplace(statement, std::make_unique<PreparedStatement>(db(), statement))
                     .first;
        return it->second->run(values);
    }

    QString connection;
    std::map<QString, std::unique_ptr<PreparedStatement>> statements;
};

StateStore::Database& StateStore::database() {
    if (!m_db)
        throw FileError(QStringLiteral("state file '%1': the run has ended").arg(m_statePath));
    return *m_db;
}

StateStore::StateStore(QString statePath)
    : m_statePath(std::move(statePath)) {}

StateStore::~StateStore() = default;

QString StateStore::workingCopyPath() const {
    return m_statePath + QStringLiteral(".db");
}

TerminalState StateStore::load() {
    m_note.clear();
    if (QFile::exists(workingCopyPath())) {
        try {
            m_db = std::make_unique<Database>(workingCopyPath());
            if (std::optional<TerminalState> state = readWorkingCopy()) {
                m_note = QStringLiteral("continued from %1, left by a run that did not end")
                             .arg(workingCopyPath());
                return std::move(*state);
            }
        } catch (const Error& e) {
            if (e.text().contains(QLatin1String("locked")))
                throw FileError(QStringLiteral("state file '%1': in use by another simulator "
                                               "(%2 is locked)")
                                    .arg(m_statePath, workingCopyPath()));
            m_db.reset();
            const QString aside = workingCopyPath() + QStringLiteral(".unreadable");
            QFile::remove(aside);
            QFile::rename(workingCopyPath(), aside);
            QFile::remove(workingCopyPath() + QStringLiteral("-wal"));
            m_note = QStringLiteral("%1 could not be read (%2): set aside as %3; started from the "
                                    "state file")
                         .arg(workingCopyPath(), e.text(), aside);
        }
    }
    return StateFile::load(m_statePath);
}

std::optional<TerminalState> StateStore::readWorkingCopy() {
    QSqlQuery row = execSql(
        m_db->db(), QStringLiteral("SELECT stamp, serial, logGeneration, machine, password, "
                                   "enabled, clockOffset, maxEntries, nextSequence, readThrough, "
                                   "idleTimeoutS, authLockoutS, faults, otherKeys FROM terminal"));
    if (!row.next() || row.value(0).toString() != stampOf(m_statePath))
        return std::nullopt; // the state file was written after this working copy
    TerminalState s;
    s.serial = row.value(1).toString();
    s.logGeneration = quint32(row.value(2).toLongLong());
    s.machine = row.value(3).toInt();
    s.password = row.value(4).toInt();
    s.enabled = row.value(5).toBool();
    if (!row.value(6).isNull())
        s.clockOffset = row.value(6).toLongLong();
    s.maxEntries = row.value(7).toInt();
    s.nextSequence = quint32(row.value(8).toLongLong());
    const quint32 readThrough = quint32(row.value(9).toLongLong());
    s.idleTimeoutS = row.value(10).toInt();
    s.authLockoutS = row.value(11).toInt();
    s.faults = FaultPlan::fromJson(jsonObject(row.value(12)));
    s.otherKeys = jsonObject(row.value(13));

    QSqlQuery entries = execSql(m_db->db(), QStringLiteral("SELECT enroll, emachine, backup, "
                                                           "privilege, enabled, value, template "
                                                           "FROM entries"));
    while (entries.next()) {
        const EnrollKey key{entries.value(0).toInt(), entries.value(1).toInt(),
                            quint8(entries.value(2).toInt())};
        StoredEntry e;
        e.privilege = quint8(entries.value(3).toInt());
        e.enabled = entries.value(4).toBool();
        e.value = entries.value(5).toInt();
        e.data = templateOf(entries.value(6).toByteArray());
        s.entries.emplace(key, std::move(e));
    }
    QSqlQuery names = execSql(m_db->db(), QStringLiteral("SELECT enroll, name FROM names"));
    while (names.next())
        s.names.insert(names.value(0).toInt(), names.value(1).toString());
    QSqlQuery logs = execSql(m_db->db(), QStringLiteral("SELECT seq, enroll, verify, year, month, "
                                                        "day, hour, minute, read FROM logs "
                                                        "ORDER BY seq"));
    while (logs.next()) {
        StoredRecord r;
        r.record.sequence = quint32(logs.value(0).toLongLong());
        r.record.enroll = logs.value(1).toInt();
        r.record.verify = logs.value(2).toInt();
        r.record.year = quint16(logs.value(3).toInt());
        r.record.month = quint8(logs.value(4).toInt());
        r.record.day = quint8(logs.value(5).toInt());
        r.record.hour = quint8(logs.value(6).toInt());
        r.record.minute = quint8(logs.value(7).toInt());
        r.read = logs.value(8).toBool() || r.record.sequence <= readThrough;
        s.logs.append(r);
    }
    return s;
}

void StateStore::begin(const TerminalState& state) {
    if (!m_db)
        m_db = std::make_unique<Database>(workingCopyPath());
    QSqlDatabase db = m_db->db();
    inTransaction(db, [&] {
        for (const char* table : kTables)
            execSql(db, QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(table)));
        for (const char* statement : kSchema)
            execSql(db, QLatin1String(statement));
        execSql(db, QStringLiteral("INSERT INTO terminal (id, readThrough) VALUES (1, 0)"));
        saveSettings(state);
        for (const auto& [key, entry] : state.entries)
            saveEntry(key, entry);
        for (auto it = state.names.begin(); it != state.names.end(); ++it)
            saveName(it.key(), it.value());
        for (const StoredRecord& r : state.logs)
            database().run(
                QStringLiteral("INSERT INTO logs (seq, enroll, verify, year, month, day, "
                               "hour, minute, read) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                recordValues(r));
    });
    StateFile::save(m_statePath, state);
    execSql(db, QStringLiteral("UPDATE terminal SET stamp = ?"), {stampOf(m_statePath)});
}

void StateStore::finish(const TerminalState& state) {
    StateFile::save(m_statePath, state);
    m_db.reset();
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(workingCopyPath() + QLatin1String(suffix));
}

void StateStore::saveSettings(const TerminalState& state) {
    database().run(
        QStringLiteral("UPDATE terminal SET serial = ?, logGeneration = ?, machine = ?, "
                       "password = ?, enabled = ?, clockOffset = ?, maxEntries = ?, "
                       "nextSequence = ?, idleTimeoutS = ?, authLockoutS = ?, faults = ?, "
                       "otherKeys = ?"),
        settingsValues(state));
}

void StateStore::saveEntry(const EnrollKey& key, const StoredEntry& entry) {
    database().run(
        QStringLiteral("INSERT OR REPLACE INTO entries (enroll, emachine, backup, "
                       "privilege, enabled, value, template) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        entryValues(key, entry));
}

void StateStore::removeEntry(const EnrollKey& key) {
    database().run(QStringLiteral("DELETE FROM entries WHERE enroll = ? AND emachine = ? AND "
                                  "backup = ?"),
                   {key.enroll, key.eMachine, key.backup});
}

void StateStore::removeEntries(bool templatesOnly) {
    database().run(templatesOnly ? QStringLiteral("DELETE FROM entries WHERE backup <= 9")
                                 : QStringLiteral("DELETE FROM entries"),
                   {});
}

void StateStore::saveName(qint32 enroll, const QString& name) {
    if (name.isEmpty())
        database().run(QStringLiteral("DELETE FROM names WHERE enroll = ?"), {enroll});
    else
        database().run(QStringLiteral("INSERT OR REPLACE INTO names (enroll, name) VALUES (?, ?)"),
                       {enroll, name});
}

void StateStore::markRead(quint32 sequence) {
    // The read mark moves as on a terminal: one number, whatever the count of records.
    database().run(QStringLiteral("UPDATE terminal SET readThrough = max(readThrough, ?)"),
                   {qint64(sequence)});
}

void StateStore::removeRecords() {
    database().run(QStringLiteral("DELETE FROM logs"), {});
}

} // namespace selvenor::sim
