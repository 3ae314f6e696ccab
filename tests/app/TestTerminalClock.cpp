#include "SessionFixture.h"

#include "app/TerminalClock.h"
#include "terminal/ResultCode.h"

#include <QDateTime>

using namespace selvenor;

namespace {

QJsonObject faults(const QJsonObject& f) {
    return SimulatorFixture::state({{"clock", "2012-03-07T09:05:00"}, {"faults", f}});
}

QJsonObject failing(const char* op) {
    return faults({{"fail", QJsonArray{QJsonObject{{"op", op}, {"code", 3}, {"when", "always"}}}}});
}

} // namespace

TEST(ClockDisplay, DayFirstPaddedWithALoneCarriageReturn) {
    EXPECT_EQ(ClockDisplay({2012, 3, 7, 9, 5, 3}),
              QStringLiteral("Tarih = 07/03/2012\rSaat = 09:05"));
    EXPECT_EQ(ClockDisplay({2026, 12, 31, 23, 59, 0}),
              QStringLiteral("Tarih = 31/12/2026\rSaat = 23:59"));
}

TEST(ClockDisplay, YearIsNotPaddedAndWideValuesAreShownInFull) {
    EXPECT_EQ(ClockDisplay({12, 1, 2, 3, 4, 0}), QStringLiteral("Tarih = 02/01/12\rSaat = 03:04"));
    EXPECT_EQ(ClockDisplay({12345, 100, 7, 123, 0, 0}),
              QStringLiteral("Tarih = 07/100/12345\rSaat = 123:00"));
}

TEST(ClockDisplay, TheCommandLineUsesALineFeed) {
    EXPECT_EQ(ClockDisplay({2012, 3, 7, 9, 5, 0}, u'\n'),
              QStringLiteral("Tarih = 07/03/2012\nSaat = 09:05"));
}

class TerminalClockTest : public SessionFixture {};

TEST_F(TerminalClockTest, ReadShowsTheTerminalsClock) {
    startSimulator(faults({}));
    connectToSimulator();
    const int mark = sim().logLines().size();
    const CommandOutcome outcome = TerminalClock::show(session, ui);
    EXPECT_TRUE(outcome.succeeded());
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_TRUE(ui.shown[0].plain);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("Tarih = 07/03/2012\rSaat = 09:05"));
    EXPECT_EQ(operations(sim(), mark),
              QStringList({"SetTerminalEnabled", "GetTerminalTime", "SetTerminalEnabled"}));
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
}

TEST_F(TerminalClockTest, SetTakesTheComputersClock) {
    startSimulator(faults({}));
    connectToSimulator();
    const CommandOutcome outcome = TerminalClock::set(session, ui);
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(ui.texts(), QStringList{"cihaz tarih saati ayarlandı.."});
    ClockReading reading;
    ASSERT_TRUE(TerminalClock::read(session, reading).succeeded());
    const QDate today = QDate::currentDate();
    EXPECT_EQ(reading.year, today.year());
    EXPECT_NE(reading.year, 2012);
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
}

TEST_F(TerminalClockTest, FailedSetSaysSoAndEnablesTheTerminalAgain) {
    startSimulator(failing("SyncTerminalTime"));
    connectToSimulator();
    const int mark = sim().logLines().size();
    const CommandOutcome outcome = TerminalClock::set(session, ui);
    EXPECT_EQ(outcome.status, CommandOutcome::Failed);
    EXPECT_EQ(outcome.resultCode, ERR_READ_FAIL);
    EXPECT_EQ(ui.texts(), QStringList{"HATA...tarih saat ayarlanamadı.."});
    EXPECT_EQ(operations(sim(), mark),
              QStringList({"SetTerminalEnabled", "SyncTerminalTime", "SetTerminalEnabled"}));
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
    EXPECT_EQ(sim().state()["clock"].toString().left(10), QStringLiteral("2012-03-07"));
}

TEST_F(TerminalClockTest, FailedReadShowsNothing) {
    startSimulator(failing("GetTerminalTime"));
    connectToSimulator();
    const CommandOutcome outcome = TerminalClock::show(session, ui);
    EXPECT_EQ(outcome.status, CommandOutcome::Failed);
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_TRUE(sim().state()["enabled"].toBool(false));
}

TEST_F(TerminalClockTest, TerminalThatCannotBeDisabledEndsBothCommandsSilently) {
    startSimulator(faults({{"refuseDisable", true}}));
    connectToSimulator();
    const int mark = sim().logLines().size();
    EXPECT_EQ(TerminalClock::set(session, ui).status, CommandOutcome::TerminalNotDisabled);
    EXPECT_EQ(TerminalClock::show(session, ui).status, CommandOutcome::TerminalNotDisabled);
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_EQ(operations(sim(), mark), QStringList(2, "SetTerminalEnabled"));
    EXPECT_EQ(sim().state()["clock"].toString().left(10), QStringLiteral("2012-03-07"));
}
