#include "EnrolHarness.h"

#include "data/Sql.h"
#include "data/StoreSchema.h"

#include <QSqlQuery>
#include <QSqlRecord>

using namespace selvenor;

namespace {

QList<QVariantMap> rows(const QSqlDatabase& db, const QString& statement) {
    QSqlQuery q = execSql(db, statement);
    QList<QVariantMap> result;
    while (q.next()) {
        QVariantMap row;
        const QSqlRecord r = q.record();
        for (int i = 0; i < r.count(); ++i)
            row.insert(r.fieldName(i), r.value(i));
        result << row;
    }
    return result;
}

} // namespace

EnrolHarness::EnrolHarness(const QJsonObject& terminalState)
    : folder(temp.path() + QLatin1Char('/'))
    , dm(std::make_unique<TfrmDM>())
    , sim(std::make_unique<SimulatorFixture>(terminalState)) {
    createMissingStores(folder);
    EXPECT_TRUE(TfrmDM::openStore(dm->ADOConnection1(), folder.file(QStringLiteral("Data.mdb"))));
    EXPECT_TRUE(TfrmDM::openStore(dm->ADOConnection2(), folder.file(QStringLiteral("Log.mdb"))));
    EXPECT_TRUE(sim->isRunning()) << sim->error().toStdString();
    clock.setTimeoutMs(2000);
    connectTo(*sim);
}

void EnrolHarness::connectTo(SimulatorFixture& other, int machine) {
    clock.CloseConnection();
    QString host = other.host();
    clock.ConfigureNetwork(host, other.port(), 0);
    EXPECT_TRUE(clock.OpenConnection(machine));
}

EnrolContext EnrolHarness::context(int machine) {
    return EnrolContext(*dm, clock, machine, item, ui, view, mySql);
}

QList<QVariantMap> EnrolHarness::enrollRows() const {
    return rows(dm->ADOConnection1(), QStringLiteral("SELECT * FROM tblEnroll ORDER BY id"));
}

QList<QVariantMap> EnrolHarness::tempRows() const {
    return rows(dm->ADOConnection2(), QStringLiteral("SELECT * FROM temp ORDER BY id"));
}

QList<TerminalEntry> EnrolHarness::entries(const SimulatorFixture& sim) {
    QList<TerminalEntry> result;
    for (const QJsonValue& v : sim.state().value(QStringLiteral("users")).toArray()) {
        const QJsonObject o = v.toObject();
        TerminalEntry e;
        e.enroll = o.value(QStringLiteral("enroll")).toInt();
        e.emachine = o.value(QStringLiteral("emachine")).toInt(1);
        e.backup = o.value(QStringLiteral("backup")).toInt();
        e.privilege = o.value(QStringLiteral("privilege")).toInt();
        e.value = o.value(QStringLiteral("value")).toInteger();
        e.data = o.value(QStringLiteral("template")).toArray();
        e.enabled = o.value(QStringLiteral("enabled")).toBool(true);
        result << e;
    }
    return result;
}

QJsonObject EnrolHarness::failing(const QString& op, int code, const QJsonValue& when) {
    return QJsonObject{
        {QStringLiteral("fail"), QJsonArray{QJsonObject{{QStringLiteral("op"), op},
                                                        {QStringLiteral("code"), code},
                                                        {QStringLiteral("when"), when}}}}};
}

QJsonArray fourEntryUser(int enroll, int privilege, int seed) {
    QJsonArray users;
    QJsonObject f0 = SimulatorFixture::user(enroll, 0, privilege);
    f0.insert(QStringLiteral("template"), SimulatorFixture::templateOf(seed + enroll * 10));
    QJsonObject f1 = SimulatorFixture::user(enroll, 1, privilege);
    f1.insert(QStringLiteral("template"), SimulatorFixture::templateOf(seed + enroll * 10 + 1));
    users << f0 << f1;
    users << SimulatorFixture::user(enroll, 11, privilege, 7000000 + enroll);
    users << SimulatorFixture::user(enroll, 10, privilege, 0x432);
    return users;
}

QJsonObject terminalState(const QJsonArray& users, const QJsonObject& names,
                          const QJsonObject& faults) {
    QJsonObject s = SimulatorFixture::state({{"users", users}, {"names", names}});
    if (!faults.isEmpty())
        s.insert(QStringLiteral("faults"), faults);
    return s;
}
