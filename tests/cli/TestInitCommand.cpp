#include "data/DataFolder.h"
#include "data/StoreSchema.h"

#include "support/TempFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(SELVENOR_CLI), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList tables(const QString& file) {
    QStringList names;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "cli-check");
        db.setDatabaseName(file);
        EXPECT_TRUE(db.open());
        QSqlQuery q("select name from sqlite_master where type = 'table' and name not like "
                    "'sqlite_%' order by name",
                    db);
        while (q.next())
            names << q.value(0).toString();
    }
    QSqlDatabase::removeDatabase("cli-check");
    return names;
}

} // namespace

TEST(InitCommand, CreatesEveryStoreInTheNamedFolderAndSaysSo) {
    TempFolder temp;
    const Result r = runCli({"--data-dir", temp.path(), "init"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    for (const char* name : {"Data.mdb", "Log.mdb", "Settings.ini"}) {
        EXPECT_TRUE(QFileInfo::exists(temp.file(name))) << name;
        EXPECT_TRUE(r.out.contains(temp.file(name))) << r.out.toStdString();
    }
    EXPECT_EQ(tables(temp.file("Data.mdb")), QStringList({"ENROLLINFO", "Terminal", "tblEnroll"}));
    EXPECT_EQ(tables(temp.file("Log.mdb")), QStringList({"temp"}));
}

TEST(InitCommand, TouchesNothingThatExists) {
    TempFolder temp;
    {
        QFile settings(temp.file("Settings.ini"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[Options]\r\nveriDosya2=1\r\n; kendi notum\r\n");
        QFile log(temp.file("Log.mdb"));
        ASSERT_TRUE(log.open(QIODevice::WriteOnly));
        log.write("not a database");
    }
    const Result first = runCli({"init", "--data-dir=" + temp.path()});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.contains("Data.mdb"));
    EXPECT_FALSE(first.out.contains("Log.mdb"));
    EXPECT_EQ(contents(temp.file("Settings.ini")),
              QByteArray("[Options]\r\nveriDosya2=1\r\n; kendi notum\r\n"));
    EXPECT_EQ(contents(temp.file("Log.mdb")), QByteArray("not a database"));

    const QByteArray data = contents(temp.file("Data.mdb"));
    const Result second = runCli({"--data-dir", temp.path(), "init"});
    EXPECT_EQ(second.status, 0);
    EXPECT_FALSE(second.out.contains("Oluşturuldu"));
    EXPECT_EQ(contents(temp.file("Data.mdb")), data);
}

TEST(InitCommand, AFolderThatCannotHoldTheFilesIsAnErrorWithStatusOne) {
    TempFolder temp;
    {
        QFile blocker(temp.file("dosya"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    const Result r = runCli({"--data-dir", temp.file("dosya"), "init"});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.isEmpty());
}

TEST(CommandLine, AnUnknownCommandGivesTheUsageAndStatusTwo) {
    const Result r = runCli({"yok-boyle"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("Bilinmeyen komut: yok-boyle"));
    EXPECT_TRUE(r.err.contains("init"));
    EXPECT_EQ(runCli({"init", "fazla"}).status, 1);
}
