#include "AttendanceCli.h"

#include <QDate>
#include <QDir>
#include <QFile>

SimulatorFixture& AttendanceCli::terminal(const QString& name, int records, int machine,
                                          const QJsonObject& faults) {
    QJsonObject state =
        SimulatorFixture::state({{"logs", recordsUpTo(records)}, {"machine", machine}});
    if (!faults.isEmpty())
        state["faults"] = faults;
    SimulatorFixture& sim = startSimulator(state);
    addTcpTerminal(name, sim, machine);
    return sim;
}

QByteArray AttendanceCli::bytes(const QString& name) const {
    QFile f(temp.file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList AttendanceCli::lines(const QString& name) const {
    QStringList l = QString::fromLatin1(bytes(name)).split("\r\n");
    if (l.last().isEmpty())
        l.removeLast();
    return l;
}

void AttendanceCli::overwrite(const QString& name, const QByteArray& content) const {
    QFile f(temp.file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

int AttendanceCli::readFlags(const SimulatorFixture& sim) {
    int n = 0;
    for (const QJsonValue& r : sim.state()["logs"].toArray())
        n += r["read"].toBool() ? 1 : 0;
    return n;
}

void AttendanceCli::freshDataFolder() {
    simulators.clear();
    QDir(temp.path()).removeRecursively();
    QDir().mkpath(temp.path());
    ASSERT_EQ(run({"init"}).status, 0);
}

void AttendanceCli::downloadKilledAt(const QByteArray& point, const QStringList& names) {
    environment.insert("SELVENOR_ATTENDANCE_BATCH", "100");
    environment.insert("SELVENOR_TEST_CRASH_AT", QString::fromLatin1(point));
    const Result killed = run(QStringList{"download"} + names);
    environment.remove("SELVENOR_TEST_CRASH_AT");
    EXPECT_NE(killed.status, 0);
    EXPECT_FALSE(killed.out.contains("kayıt yazıldı")) << killed.out.toStdString();
}

QStringList AttendanceCli::importVeri() {
    return importCompleteLines(temp.file("veri.txt"));
}

QString AttendanceCli::backupName() {
    return QStringLiteral("yedek_Q720/%1.txt").arg(QDate::currentDate().toString("MMyyyy"));
}

QStringList AttendanceCli::ofMachine(const QStringList& lines, int machine) {
    QStringList out;
    for (const QString& line : lines) {
        const QStringList pieces = line.split(' ');
        if (pieces.size() >= 4 && pieces[3].toInt() == machine)
            out << line;
    }
    return out;
}
