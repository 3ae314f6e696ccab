// The simulator's state on disk across runs of the real program: changes go into a working copy
// while it runs, the state file gets the whole state at the end, and a killed run loses nothing.
#include "support/SimulatorFixture.h"
#include "support/SimulatorProcess.h"
#include "support/TempFolder.h"
#include "terminal/TFP_CLOCK.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace selvenor;

namespace {

QJsonObject readJson(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QJsonDocument::fromJson(file.readAll()).object();
}

void writeJson(const QString& path, const QJsonObject& state) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(state).toJson());
}

// A terminal with two card entries, one name and three unread records.
QJsonObject startingState() {
    return SimulatorFixture::state(
        {{"serial", "SIM-STORE-1"},
         {"users",
          QJsonArray{SimulatorFixture::user(1, 11, 0, 101), SimulatorFixture::user(2, 11, 0, 102)}},
         {"names", QJsonObject{{"1", "Ayşe"}}},
         {"logs", QJsonArray{SimulatorFixture::record(1, 0, 2012, 3, 5, 8, 0),
                             SimulatorFixture::record(2, 0, 2012, 3, 5, 8, 1),
                             SimulatorFixture::record(1, 0, 2012, 3, 5, 17, 0)}}});
}

class StateStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.file(QStringLiteral("terminal.json"));
        writeJson(path, startingState());
    }

    bool connect(SimulatorProcess& sim) {
        if (!sim.start(path))
            return false;
        QString host = QStringLiteral("127.0.0.1");
        clock.ConfigureNetwork(host, sim.port(), 0);
        return clock.OpenConnection(1);
    }

    // Deletes entry 2, names user 3 and acknowledges the first two records.
    void change() {
        ASSERT_TRUE(clock.SetTerminalEnabled(1, false));
        ASSERT_TRUE(clock.DeleteEnrollData(1, 2, 1, 11));
        QString name = QStringLiteral("Şükrü");
        ASSERT_TRUE(clock.SetUserName(0, 1, 3, 1, name));
        ASSERT_TRUE(clock.AcknowledgeLogRecords(1, 2));
        ASSERT_TRUE(clock.SetTerminalEnabled(1, true));
    }

    static void expectChanged(const QJsonObject& state) {
        EXPECT_EQ(state["users"].toArray().size(), 1);
        EXPECT_EQ(state["names"].toObject()["3"].toString(), QStringLiteral("Şükrü"));
        EXPECT_EQ(state["names"].toObject()["1"].toString(), QStringLiteral("Ayşe"));
        const QJsonArray logs = state["logs"].toArray();
        ASSERT_EQ(logs.size(), 3);
        EXPECT_TRUE(logs[0].toObject()["read"].toBool());
        EXPECT_TRUE(logs[1].toObject()["read"].toBool());
        EXPECT_FALSE(logs[2].toObject()["read"].toBool());
        EXPECT_TRUE(state["enabled"].toBool());
    }

    TempFolder folder;
    QString path;
    TFP_CLOCK clock;
};

} // namespace

TEST_F(StateStoreTest, ChangesGoToTheWorkingCopyAndTheStateFileGetsThemAtTheEnd) {
    SimulatorProcess sim;
    ASSERT_TRUE(connect(sim)) << sim.output().toStdString();
    const QByteArray atStart = [this] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    change();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), atStart) << "a change does not rewrite the whole state file";
    EXPECT_TRUE(QFileInfo::exists(path + ".db"));

    clock.CloseConnection();
    sim.stop();
    expectChanged(readJson(path));
    EXPECT_FALSE(QFileInfo::exists(path + ".db")) << "the working copy is gone after a clean end";
}

TEST_F(StateStoreTest, KilledRunLosesNoChange) {
    {
        SimulatorProcess sim;
        ASSERT_TRUE(connect(sim)) << sim.output().toStdString();
        change();
        clock.CloseConnection();
        sim.kill();
    }
    SimulatorProcess again;
    ASSERT_TRUE(connect(again)) << again.output().toStdString();
    EXPECT_TRUE(again.output().contains("continued from " + path + ".db"))
        << again.output().toStdString();
    EXPECT_EQ(clock.TerminalSerial(), QStringLiteral("SIM-STORE-1"));
    QString name;
    ASSERT_TRUE(clock.GetUserName(1, 1, 3, 1, name));
    EXPECT_EQ(name, QStringLiteral("Şükrü"));
    clock.CloseConnection();
    again.stop();
    expectChanged(readJson(path));
}

TEST_F(StateStoreTest, StateFileWrittenAfterAKilledRunWins) {
    {
        SimulatorProcess sim;
        ASSERT_TRUE(connect(sim)) << sim.output().toStdString();
        change();
        clock.CloseConnection();
        sim.kill();
    }
    writeJson(path,
              SimulatorFixture::state({{"machine", 4}, {"names", QJsonObject{{"9", "Can"}}}}));
    SimulatorProcess again;
    ASSERT_TRUE(again.start(path)) << again.output().toStdString();
    again.stop();
    const QJsonObject state = readJson(path);
    EXPECT_EQ(state["machine"].toInt(), 4);
    EXPECT_EQ(state["names"].toObject().keys(), QStringList{"9"}) << "not the killed run's names";
}

TEST_F(StateStoreTest, SecondSimulatorOnTheSameStateIsRefused) {
    SimulatorProcess first;
    ASSERT_TRUE(first.start(path)) << first.output().toStdString();
    SimulatorProcess second;
    EXPECT_EQ(second.runToEnd({"--state", path, "--listen", "127.0.0.1:0"}), 2);
    EXPECT_TRUE(second.output().contains("in use by another simulator"))
        << second.output().toStdString();
    first.stop();
    EXPECT_FALSE(readJson(path).isEmpty());
}

TEST_F(StateStoreTest, UnreadableWorkingCopyIsSetAside) {
    QFile junk(path + ".db");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    SimulatorProcess sim;
    ASSERT_TRUE(connect(sim)) << sim.output().toStdString();
    EXPECT_TRUE(sim.output().contains("set aside as " + path + ".db.unreadable"))
        << sim.output().toStdString();
    EXPECT_EQ(clock.TerminalSerial(), QStringLiteral("SIM-STORE-1")) << "the state file's terminal";
    EXPECT_TRUE(QFileInfo::exists(path + ".db.unreadable"));
}
