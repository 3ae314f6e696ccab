#include "common/Errors.h"
#include "sim/StateFile.h"
#include "support/SimulatorFixture.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace selvenor;
using namespace selvenor::sim;

namespace {

QString loadError(const QByteArray& json) {
    try {
        StateFile::fromJson(json, QStringLiteral("/tmp/t.json"));
    } catch (const FileError& e) {
        return e.text();
    }
    return QString();
}

QByteArray withUser(const QJsonObject& user) {
    return QJsonDocument(SimulatorFixture::state({{"users", QJsonArray{user}}})).toJson();
}

} // namespace

TEST(StateFile, AcceptsTheDocumentedShape) {
    const QByteArray json = R"({"machine": 1, "password": 0, "clock": "2012-03-07T09:05:00",
        "users": [{"enroll": 42, "emachine": 1, "backup": 11, "privilege": 0, "enabled": true,
                   "value": 1234567}],
        "names": {"42": "Ayşe Yılmaz"},
        "logs": [{"enroll": 123, "verify": 1, "year": 2012, "month": 3, "day": 5,
                  "hour": 8, "minute": 7, "read": false}],
        "colour": "blue"})";
    const TerminalState s = StateFile::fromJson(json, QStringLiteral("t.json"));
    EXPECT_EQ(s.machine, 1);
    ASSERT_EQ(s.entries.size(), 1u);
    EXPECT_EQ(s.entries.begin()->second.value, 1234567);
    EXPECT_EQ(s.names.value(42), QStringLiteral("Ayşe Yılmaz"));
    ASSERT_EQ(s.logs.size(), 1);
    EXPECT_EQ(s.logs[0].record.sequence, 1u);
    EXPECT_EQ(s.nextSequence, 2u);
    EXPECT_EQ(s.clockNow().date(), QDate(2012, 3, 7));
    EXPECT_TRUE(StateFile::toJson(s).contains("\"colour\"")) << "unknown keys survive a rewrite";
}

TEST(StateFile, MissingKeysMeanEmptyAndDefault) {
    const TerminalState s = StateFile::fromJson("{}", QStringLiteral("t.json"));
    EXPECT_EQ(s.machine, 1);
    EXPECT_EQ(s.password, 0);
    EXPECT_TRUE(s.enabled);
    EXPECT_FALSE(s.clockOffset.has_value());
    EXPECT_TRUE(s.entries.empty());
    EXPECT_TRUE(s.logs.isEmpty());
}

TEST(StateFile, RoundTripsThroughItsOwnOutput) {
    QJsonObject state = SimulatorFixture::state(
        {{"users", QJsonArray{SimulatorFixture::user(42, 3), SimulatorFixture::user(42, 15, 2, 9)}},
         {"logs", QJsonArray{SimulatorFixture::record(1, 2, 2012, 1, 2, 3, 4, true)}}});
    const TerminalState first =
        StateFile::fromJson(QJsonDocument(state).toJson(), QStringLiteral("t"));
    const TerminalState second = StateFile::fromJson(StateFile::toJson(first), QStringLiteral("t"));
    ASSERT_EQ(second.entries.size(), 2u);
    const auto password = second.entries.find(protocol::EnrollKey{42, 1, 10});
    ASSERT_NE(password, second.entries.end()) << "15 is kept as 10";
    EXPECT_EQ(password->second.privilege, 2);
    EXPECT_EQ(second.entries.begin()->second.data, first.entries.begin()->second.data);
    EXPECT_TRUE(second.logs[0].read);
}

TEST(StateFile, ErrorsNameTheFileAndTheKey) {
    EXPECT_EQ(loadError("{"), QStringLiteral("state file '/tmp/t.json': not JSON (unterminated "
                                             "object at byte 1)"));
    EXPECT_TRUE(loadError("[]").contains("top level must be an object"));
    EXPECT_TRUE(loadError(R"({"machine": "one"})").contains("machine: expected an integer"));
    EXPECT_TRUE(loadError(R"({"clock": "yesterday"})").contains("clock: expected a time"));
    EXPECT_TRUE(loadError(R"({"names": {"abc": "x"}})").contains("'abc' is not an enroll number"));
    EXPECT_TRUE(loadError(R"({"logs": [{"enroll": 1, "year": 2012, "month": 13, "day": 1,
        "hour": 0, "minute": 0}]})")
                    .contains("logs[0].month: expected an integer from 1 to 12"));
    EXPECT_TRUE(loadError(R"({"logs": [{"enroll": 1}]})").contains("logs[0].year: missing"));
    EXPECT_TRUE(loadError(R"({"faults": {"fail": [{"op": "Explode"}]}})")
                    .contains("faults: unknown operation 'Explode'"));
}

TEST(StateFile, TemplatesNeedExactly355Integers) {
    QJsonObject user = SimulatorFixture::user(1, 0);
    QJsonArray shortTemplate = user["template"].toArray();
    shortTemplate.removeLast();
    user["template"] = shortTemplate;
    EXPECT_TRUE(loadError(withUser(user)).contains("users[0].template: expected an array of 355"));
    user.remove(QStringLiteral("template"));
    EXPECT_TRUE(loadError(withUser(user)).contains("users[0].template"));
}

TEST(StateFile, DuplicateEntriesAndBadBackupNumbersAreRefused) {
    const QJsonObject card = SimulatorFixture::user(1, 11, 0, 5);
    const QByteArray twice =
        QJsonDocument(SimulatorFixture::state({{"users", QJsonArray{card, card}}})).toJson();
    EXPECT_TRUE(loadError(twice).contains("users[1]: a second entry"));
    QJsonObject odd = card;
    odd["backup"] = 12;
    EXPECT_TRUE(loadError(withUser(odd)).contains("users[0].backup"));
}

TEST(StateFile, SequenceNumbersMustAscend) {
    EXPECT_TRUE(loadError(R"({"logs": [
        {"seq": 5, "enroll": 1, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0},
        {"seq": 5, "enroll": 1, "year": 2012, "month": 1, "day": 1, "hour": 0, "minute": 0}]})")
                    .contains("logs[1].seq"));
}
