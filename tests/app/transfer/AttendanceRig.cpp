#include "AttendanceRig.h"

#include "common/TextFunctions.h"

#include <QFile>
#include <QFileInfo>

using namespace selvenor;

AttendanceRig::AttendanceRig(const QJsonObject& state, int machineNumber)
    : sim(std::make_unique<SimulatorFixture>(state))
    , machine(machineNumber) {
    EXPECT_TRUE(sim->isRunning()) << sim->error().toStdString();
    clock.setTimeoutMs(1500);
    QString host = sim->host();
    clock.ConfigureNetwork(host, sim->port(), 0);
    EXPECT_TRUE(clock.OpenConnection(machine));
}

void AttendanceRig::restartWithoutFaults() {
    clock.CloseConnection();
    QJsonObject state = sim->state();
    state.remove(QStringLiteral("faults"));
    sim = std::make_unique<SimulatorFixture>(state);
    ASSERT_TRUE(sim->isRunning()) << sim->error().toStdString();
    QString host = sim->host();
    clock.ConfigureNetwork(host, sim->port(), 0);
    ASSERT_TRUE(clock.OpenConnection(machine));
}

AttendanceContext AttendanceRig::context() {
    AttendanceContext c{clock, machine, DataFolder(folder), ui, view};
    c.today = [this] { return today; };
    c.lockWaitMs = 200;
    return c;
}

DownloadOutcome AttendanceRig::transfer(bool secondFile) {
    return LogDownload(context(), LogDownload::NewRecords).run(secondFile, {});
}

DownloadOutcome AttendanceRig::fullLog(LogDownload::Kind kind, std::function<bool()> copyWanted) {
    return LogDownload(context(), kind).run(false, copyWanted);
}

QByteArray AttendanceRig::bytes(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void AttendanceRig::write(const QString& name, const QByteArray& content) const {
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
    f.write(content);
}

QStringList AttendanceRig::lines(const QString& name) const {
    QString text = QString::fromLatin1(bytes(name));
    EXPECT_TRUE(text.isEmpty() || text.endsWith(QLatin1String("\r\n"))) << name.toStdString();
    QStringList result = text.split(QStringLiteral("\r\n"));
    result.removeLast();
    return result;
}

bool AttendanceRig::exists(const QString& name) const {
    return QFileInfo::exists(file(name));
}

int AttendanceRig::readFlagCount() const {
    int n = 0;
    for (const QJsonValue& r : sim->state()[QStringLiteral("logs")].toArray())
        n += r[QStringLiteral("read")].toBool() ? 1 : 0;
    return n;
}

int AttendanceRig::logCount() const {
    return int(sim->state()[QStringLiteral("logs")].toArray().size());
}

QString expectedLine(int enroll, int day, int month, int year, int hour, int minute, int machine,
                     int mode) {
    return ZeroPad(enroll, 5) + ' ' + ZeroPad(day, 2) + '/' + ZeroPad(month, 2) + '/' +
           ZeroPad(year, 4) + ' ' + ZeroPad(hour, 2) + ':' + ZeroPad(minute, 2) + ":00 " +
           ZeroPad(machine, 2) + ' ' + ZeroPad(mode, 2);
}

QJsonArray recordsUpTo(int count) {
    QJsonArray logs;
    for (int i = 1; i <= count; ++i)
        logs.append(SimulatorFixture::record(i, 1, 2012, 3, 1 + i % 28, i % 24, i % 60));
    return logs;
}

QStringList expectedTransferLines(int from, int to, int machine) {
    QStringList lines;
    for (int i = from; i <= to; ++i)
        lines << expectedLine(i, 1 + i % 28, 3, 2012, i % 24, i % 60, machine, 1);
    return lines;
}

QStringList importCompleteLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return {};
    const QByteArray all = f.readAll();
    const qsizetype cut = all.lastIndexOf("\r\n");
    const qsizetype end = cut < 0 ? 0 : cut + 2;
    QStringList taken = QString::fromLatin1(all.first(end)).split("\r\n");
    taken.removeLast();
    f.resize(0);
    f.seek(0);
    f.write(all.mid(end));
    return taken;
}

ScopedEnvironment::ScopedEnvironment(const char* name, const QByteArray& value)
    : m_name(name)
    , m_old(qgetenv(name))
    , m_had(qEnvironmentVariableIsSet(name)) {
    qputenv(name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (m_had)
        qputenv(m_name, m_old);
    else
        qunsetenv(m_name);
}
