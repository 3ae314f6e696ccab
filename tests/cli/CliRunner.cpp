#include "CliRunner.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

void CliRunner::SetUp() {
    environment.insert("SELVENOR_TERMINAL_TIMEOUT_MS", "1500");
    const Result init = run({"init"});
    ASSERT_EQ(init.status, 0) << init.err.toStdString();
}

CliRunner::Result CliRunner::run(const QStringList& arguments, const QString& input) {
    QProcess process;
    start(process, arguments, input);
    return finish(process);
}

void CliRunner::start(QProcess& process, const QStringList& arguments, const QString& input) {
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SELVENOR_CLI), QStringList{"--data-dir", temp.path()} + arguments);
    process.write(input.toUtf8());
    process.closeWriteChannel();
}

CliRunner::Result CliRunner::finish(QProcess& process) {
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void CliRunner::addTcpTerminal(const QString& name, const SimulatorFixture& sim, int machine,
                               int password) {
    const Result r = run({"add-terminal", name, "--number", QString::number(machine), "--tcp",
                          QStringLiteral("%1:%2").arg(sim.host()).arg(sim.port()), "--password",
                          QString::number(password)});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
}

SimulatorFixture& CliRunner::startSimulator(const QJsonObject& state,
                                            SimulatorFixture::Options options) {
    simulators.push_back(std::make_unique<SimulatorFixture>(state, options));
    EXPECT_TRUE(simulators.back()->isRunning()) << simulators.back()->error().toStdString();
    return *simulators.back();
}

QStringList CliRunner::query(const QString& statement) {
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "cli-runner");
        db.setDatabaseName(temp.file("Data.mdb"));
        EXPECT_TRUE(db.open());
        QSqlQuery q(statement, db);
        while (q.next()) {
            QStringList columns;
            for (int i = 0; i < q.record().count(); ++i)
                columns << q.value(i).toString();
            rows << columns.join('|');
        }
    }
    QSqlDatabase::removeDatabase("cli-runner");
    return rows;
}
