#include "CliRunner.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <vector>

extern char** environ;

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

qint64 CliRunner::peakResidentKb(const QStringList& arguments) {
    QList<QByteArray> words{QByteArrayLiteral(SELVENOR_CLI), "--data-dir", temp.path().toUtf8()};
    for (const QString& a : arguments)
        words << a.toUtf8();
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                         0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
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
