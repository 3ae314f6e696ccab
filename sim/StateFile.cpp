#include "StateFile.h"

#include "common/Errors.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <charconv>

#include <limits>

namespace selvenor::sim {

using protocol::EnrollKey;
using protocol::LogRecord;

namespace {

const QString kClockFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
constexpr int kMaxSeconds = 86400;

// Reads typed fields of one JSON object; every error names the field by its path.
class Fields {
public:
    Fields(const QJsonObject& o, QString path)
        : m_o(o)
        , m_path(std::move(path)) {}

    [[noreturn]] void error(const QString& key, const QString& what) const {
        throw Error(QStringLiteral("%1%2: %3").arg(m_path, key, what));
    }
    bool has(const char* key) const { return m_o.contains(QLatin1String(key)); }
    QJsonValue value(const char* key) const { return m_o.value(QLatin1String(key)); }

    qint64 integer(const char* key, std::optional<qint64> fallback, qint64 min = INT_MIN,
                   qint64 max = INT_MAX) const {
        const QJsonValue v = value(key);
        if (v.isUndefined()) {
            if (!fallback)
                error(QLatin1String(key), QStringLiteral("missing"));
            return *fallback;
        }
        const double d = v.toDouble();
        if (!v.isDouble() || d != double(qint64(d)) || d < double(min) || d > double(max))
            error(QLatin1String(key),
                  QStringLiteral("expected an integer from %1 to %2").arg(min).arg(max));
        return qint64(d);
    }
    bool boolean(const char* key, bool fallback) const {
        const QJsonValue v = value(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isBool())
            error(QLatin1String(key), QStringLiteral("expected true or false"));
        return v.toBool();
    }
    QJsonArray array(const char* key) const {
        const QJsonValue v = value(key);
        if (!v.isUndefined() && !v.isArray())
            error(QLatin1String(key), QStringLiteral("expected an array"));
        return v.toArray();
    }
    QJsonObject object(const char* key) const {
        const QJsonValue v = value(key);
        if (!v.isUndefined() && !v.isObject())
            error(QLatin1String(key), QStringLiteral("expected an object"));
        return v.toObject();
    }

private:
    const QJsonObject& m_o;
    QString m_path;
};

QJsonObject elementObject(const QJsonValue& v, const QString& path) {
    if (!v.isObject())
        throw Error(path + QStringLiteral(": expected an object"));
    return v.toObject();
}

QVector<qint32> readTemplate(const Fields& f) {
    const QJsonValue v = f.value("template");
    const QJsonArray a = v.toArray();
    if (!v.isArray() || a.size() != protocol::kTemplateSize)
        f.error(QStringLiteral("template"),
                QStringLiteral("expected an array of %1 integers").arg(protocol::kTemplateSize));
    QVector<qint32> data(protocol::kTemplateSize);
    for (int i = 0; i < a.size(); ++i) {
        const double d = a[i].toDouble(0.5);
        if (!a[i].isDouble() || d != double(qint64(d)) || d < INT_MIN || d > UINT_MAX)
            f.error(QStringLiteral("template[%1]").arg(i),
                    QStringLiteral("expected a 32-bit integer"));
        data[i] = qint32(quint32(qint64(d))); // 0 to 4294967295 and negative numbers both fit
    }
    return data;
}

void readUsers(const Fields& root, TerminalState& s) {
    const QJsonArray users = root.array("users");
    for (int i = 0; i < users.size(); ++i) {
        const QString path = QStringLiteral("users[%1]").arg(i);
        const QJsonObject o = elementObject(users[i], path);
        const Fields f(o, path + QLatin1Char('.'));
        EnrollKey key;
        key.enroll = qint32(f.integer("enroll", std::nullopt));
        key.eMachine = qint32(f.integer("emachine", s.machine));
        key.backup = quint8(f.integer("backup", 0, 0, 255));
        if (!TerminalState::normaliseBackup(key.backup))
            f.error(QStringLiteral("backup"), QStringLiteral("expected 0 to 9, 10, 11 or 15"));
        StoredEntry e;
        e.privilege = quint8(f.integer("privilege", 0, 0, 3));
        e.enabled = f.boolean("enabled", true);
        if (TerminalState::isTemplateBackup(key.backup))
            e.data = readTemplate(f);
        else
            e.value = qint32(f.integer("value", 0));
        if (!s.entries.emplace(key, e).second)
            throw Error(path + QStringLiteral(": a second entry with the same enroll, emachine "
                                              "and backup"));
    }
}

void readNames(const Fields& root, TerminalState& s) {
    const QJsonObject names = root.object("names");
    for (auto it = names.begin(); it != names.end(); ++it) {
        bool ok = false;
        const qint32 enroll = it.key().toInt(&ok);
        if (!ok)
            root.error(QStringLiteral("names"),
                       QStringLiteral("key '%1' is not an enroll number").arg(it.key()));
        if (!it.value().isString() || !protocol::nameFits(it.value().toString()))
            root.error(QStringLiteral("names.") + it.key(),
                       QStringLiteral("expected a text of at most 255 UTF-8 bytes"));
        s.names.insert(enroll, it.value().toString());
    }
}

void readLogs(const Fields& root, TerminalState& s) {
    const QJsonArray logs = root.array("logs");
    quint32 previous = 0;
    for (int i = 0; i < logs.size(); ++i) {
        const QString path = QStringLiteral("logs[%1]").arg(i);
        const QJsonObject o = elementObject(logs[i], path);
        const Fields f(o, path + QLatin1Char('.'));
        LogRecord r;
        r.sequence = quint32(f.integer("seq", previous + 1, previous + 1, UINT_MAX));
        r.enroll = qint32(f.integer("enroll", std::nullopt));
        r.verify = qint32(f.integer("verify", 0));
        r.year = quint16(f.integer("year", std::nullopt, 0, 65535));
        r.month = quint8(f.integer("month", std::nullopt, 1, 12));
        r.day = quint8(f.integer("day", std::nullopt, 1, 31));
        r.hour = quint8(f.integer("hour", std::nullopt, 0, 23));
        r.minute = quint8(f.integer("minute", std::nullopt, 0, 59));
        s.logs.append(StoredRecord{r, f.boolean("read", false)});
        previous = r.sequence;
    }
    s.nextSequence =
        quint32(root.integer("nextSequence", qint64(previous) + 1, qint64(previous) + 1, UINT_MAX));
}

void readClock(const Fields& root, TerminalState& s) {
    const QJsonValue v = root.value("clock");
    if (v.isUndefined())
        return;
    const QDateTime clock = QDateTime::fromString(v.toString(), kClockFormat);
    if (!v.isString() || !clock.isValid())
        root.error(QStringLiteral("clock"), QStringLiteral("expected a time like "
                                                           "\"2012-03-07T09:05:00\""));
    s.clockOffset = QDateTime::currentDateTime().secsTo(clock);
}

void readIdentity(const Fields& root, TerminalState& s) {
    const QJsonValue serial = root.value("serial");
    if (!serial.isUndefined() && !protocol::isValidSerial(serial.toString()))
        root.error(QStringLiteral("serial"),
                   QStringLiteral("expected a text of 1 to %1 printable ASCII characters")
                       .arg(protocol::kMaxSerialLength));
    s.serial = serial.toString();
    s.logGeneration = quint32(root.integer("logGeneration", 0, 1, UINT_MAX));
    // The simulator always writes nextSequence: a state without it has a log whose numbering
    // starts here (from its records), so it is a new log generation; the generation given, if
    // any, belonged to the numbering before.
    if (!root.has("nextSequence"))
        s.logGeneration = 0;
}

const QStringList kKnownKeys = {
    "serial",       "logGeneration", "machine", "password", "enabled", "clock",  "maxEntries",
    "idleTimeoutS", "authLockoutS",  "users",   "names",    "logs",    "faults", "nextSequence"};

} // namespace

TerminalState StateFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("state file '%1': %2").arg(path, file.errorString()));
    return fromJson(file.readAll(), path);
}

TerminalState StateFile::fromJson(const QByteArray& json, const QString& path) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull())
        throw FileError(QStringLiteral("state file '%1': not JSON (%2 at byte %3)")
                            .arg(path, parseError.errorString())
                            .arg(parseError.offset));
    if (!doc.isObject())
        throw FileError(
            QStringLiteral("state file '%1': the top level must be an object").arg(path));
    const QJsonObject root = doc.object();
    const Fields f(root, QString());
    TerminalState s;
    try {
        readIdentity(f, s);
        s.machine = qint32(f.integer("machine", 1));
        s.password = qint32(f.integer("password", 0));
        s.enabled = f.boolean("enabled", true);
        s.maxEntries = int(f.integer("maxEntries", 0, 0, INT_MAX));
        s.idleTimeoutS = int(f.integer("idleTimeoutS", s.idleTimeoutS, 1, kMaxSeconds));
        s.authLockoutS = int(f.integer("authLockoutS", s.authLockoutS, 1, kMaxSeconds));
        readClock(f, s);
        readUsers(f, s);
        readNames(f, s);
        readLogs(f, s);
        try {
            s.faults = FaultPlan::fromJson(f.object("faults"));
        } catch (const Error& e) {
            throw Error(QStringLiteral("faults: ") + e.text());
        }
    } catch (const Error& e) {
        throw FileError(QStringLiteral("state file '%1': %2").arg(path, e.text()));
    }
    for (auto it = root.begin(); it != root.end(); ++it)
        if (!kKnownKeys.contains(it.key()))
            s.otherKeys.insert(it.key(), it.value());
    return s;
}

namespace {

void appendNumber(QByteArray& out, qint64 value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

// One record per line, appended in place: a terminal holds hundreds of thousands of records and
// the state is saved after every change, so this must not allocate per field.
void appendLogRecords(QByteArray& json, const QList<StoredRecord>& logs) {
    json.reserve(json.size() + logs.size() * 110 + 16);
    for (qsizetype i = 0; i < logs.size(); ++i) {
        const LogRecord& r = logs[i].record;
        json += i == 0 ? "\n{\"seq\":" : ",\n{\"seq\":";
        appendNumber(json, r.sequence);
        json += ",\"enroll\":";
        appendNumber(json, r.enroll);
        json += ",\"verify\":";
        appendNumber(json, r.verify);
        json += ",\"year\":";
        appendNumber(json, r.year);
        json += ",\"month\":";
        appendNumber(json, r.month);
        json += ",\"day\":";
        appendNumber(json, r.day);
        json += ",\"hour\":";
        appendNumber(json, r.hour);
        json += ",\"minute\":";
        appendNumber(json, r.minute);
        json += logs[i].read ? ",\"read\":true}" : ",\"read\":false}";
    }
}

} // namespace

QByteArray StateFile::toJson(const TerminalState& s) {
    QJsonObject root = s.otherKeys;
    if (!s.serial.isEmpty())
        root.insert(QStringLiteral("serial"), s.serial);
    if (s.logGeneration)
        root.insert(QStringLiteral("logGeneration"), qint64(s.logGeneration));
    root.insert(QStringLiteral("machine"), s.machine);
    root.insert(QStringLiteral("password"), s.password);
    root.insert(QStringLiteral("enabled"), s.enabled);
    if (s.clockOffset)
        root.insert(QStringLiteral("clock"), s.clockNow().toString(kClockFormat));
    if (s.maxEntries)
        root.insert(QStringLiteral("maxEntries"), s.maxEntries);
    const TerminalState defaults;
    if (s.idleTimeoutS != defaults.idleTimeoutS)
        root.insert(QStringLiteral("idleTimeoutS"), s.idleTimeoutS);
    if (s.authLockoutS != defaults.authLockoutS)
        root.insert(QStringLiteral("authLockoutS"), s.authLockoutS);
    QJsonArray users;
    for (const auto& [key, e] : s.entries) {
        QJsonObject u{{"enroll", key.enroll},
                      {"emachine", key.eMachine},
                      {"backup", key.backup},
                      {"privilege", e.privilege},
                      {"enabled", e.enabled}};
        if (TerminalState::isTemplateBackup(key.backup)) {
            QJsonArray t;
            for (qint32 v : e.data)
                t.append(v);
            u.insert(QStringLiteral("template"), t);
        } else {
            u.insert(QStringLiteral("value"), e.value);
        }
        users.append(u);
    }
    root.insert(QStringLiteral("users"), users);
    QJsonObject names;
    for (auto it = s.names.begin(); it != s.names.end(); ++it)
        names.insert(QString::number(it.key()), it.value());
    root.insert(QStringLiteral("names"), names);
    root.insert(QStringLiteral("nextSequence"), qint64(s.nextSequence));
    const QJsonObject faults = s.faults.toJson();
    if (!faults.isEmpty())
        root.insert(QStringLiteral("faults"), faults);
    const bool small = s.logs.size() + s.entries.size() < 2000;
    QByteArray json =
        QJsonDocument(root).toJson(small ? QJsonDocument::Indented : QJsonDocument::Compact);
    // The log is written by hand, one record per line: a terminal holds hundreds of thousands
    // of records, and building them as JSON objects would make every acknowledgement slow.
    json.truncate(json.lastIndexOf('}'));
    while (json.endsWith('\n') || json.endsWith(' '))
        json.chop(1);
    json += ",\n\"logs\": [";
    appendLogRecords(json, s.logs);
    json += "]\n}\n";
    return json;
}

void StateFile::save(const QString& path, const TerminalState& state) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toJson(state)) < 0 || !file.commit())
        throw FileError(QStringLiteral("state file '%1': %2").arg(path, file.errorString()));
}

} // namespace selvenor::sim
