#include "timezone/TfrmTimeZone.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimeEdit>

#include <gtest/gtest.h>

using namespace selvenor;

class TimeZoneWindow : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    void TearDown() override { window.hide(); }

    QString line(int row) const { return window.lstTzone->item(row)->text(); }
    void change(int row, QTime start, QTime end, int mode) {
        window.lstTzone->setCurrentRow(row);
        window.dtpStart->setTime(start);
        window.dtpEnd->setTime(end);
        window.cboVerifyMode->setCurrentIndex(mode);
        window.btnChange->click();
    }

    TfrmTimeZone window;
};

TEST_F(TimeZoneWindow, ShowsFourHundredDefaultLinesInAFixedPitchFont) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Time Zone"));
    ASSERT_EQ(window.lstTzone->count(), 400);
    EXPECT_EQ(line(0), QStringLiteral("[Tz.] 01 - 1 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
    EXPECT_EQ(line(9), QStringLiteral("[Tz.] 02 - 2 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
    EXPECT_TRUE(line(399).startsWith(QStringLiteral("[Tz.] 50 - 8 ")));
    EXPECT_TRUE(window.lstTzone->font().fixedPitch());
    EXPECT_EQ(window.cboVerifyMode->count(), 5);
    EXPECT_EQ(window.cboVerifyMode->currentIndex(), 0);
    EXPECT_FALSE(window.cboVerifyMode->isEditable());
    EXPECT_EQ(window.dtpStart->time(), QTime(0, 0));
    EXPECT_EQ(window.dtpEnd->time(), QTime(23, 59));
}

TEST_F(TimeZoneWindow, DegistirChangesTheSelectedLineAndKeepsItSelected) {
    change(13, QTime(8, 5, 42), QTime(17, 30), 2);
    EXPECT_EQ(line(13), QStringLiteral("[Tz.] 02 - 6 [S] 08:05 [E] 17:30  [VM] FP&PWD"));
    EXPECT_EQ(window.lstTzone->currentRow(), 13);
    EXPECT_TRUE(window.lstTzone->item(13)->isSelected());
    EXPECT_EQ(line(12), QStringLiteral("[Tz.] 02 - 5 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
}

TEST_F(TimeZoneWindow, AStartAfterTheEndIsAcceptedUnchanged) {
    change(0, QTime(22, 0), QTime(6, 0), 4);
    EXPECT_EQ(line(0), QStringLiteral("[Tz.] 01 - 1 [S] 22:00 [E] 06:00  [VM] FP&CD&PWD"));
}

TEST_F(TimeZoneWindow, ZonesFromElevenOnKeepVerifyModeZero) {
    change(79, QTime(1, 0), QTime(2, 0), 1);
    EXPECT_TRUE(line(79).endsWith(QStringLiteral("[VM] FP&CD")));
    change(80, QTime(1, 0), QTime(2, 0), 1);
    EXPECT_EQ(line(80), QStringLiteral("[Tz.] 11 - 1 [S] 01:00 [E] 02:00  [VM] FP|CD|PWD"));
    EXPECT_EQ(window.table().slot(80).verifyMode, 0);
}

TEST_F(TimeZoneWindow, DegistirWithNoLineSelectedChangesNothing) {
    const QStringList before = window.table().lines();
    window.dtpStart->setTime(QTime(9, 0));
    window.btnChange->click();
    EXPECT_EQ(window.table().lines(), before);
    window.lstTzone->setCurrentRow(3);
    window.lstTzone->clearSelection();
    window.btnChange->click();
    EXPECT_EQ(window.table().lines(), before);
}

TEST_F(TimeZoneWindow, ShowingAgainStartsFromTheDefaults) {
    change(5, QTime(7, 0), QTime(8, 0), 3);
    window.btnClose->click();
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_EQ(line(5), QStringLiteral("[Tz.] 01 - 6 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
    EXPECT_EQ(window.cboVerifyMode->currentIndex(), 0);
    EXPECT_EQ(window.lstTzone->currentRow(), -1);
}

TEST_F(TimeZoneWindow, TheTerminalButtonsDoNothing) {
    const QStringList before = window.table().lines();
    window.btnRead->click();
    window.btnSend->click();
    EXPECT_EQ(window.table().lines(), before);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(TimeZoneWindow, ARestoreFromMinimisedKeepsTheChanges) {
    change(5, QTime(7, 0), QTime(8, 0), 3);
    window.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isMinimized());
    window.showNormal();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(line(5), QStringLiteral("[Tz.] 01 - 6 [S] 07:00 [E] 08:00  [VM] CD&PWD"));
    EXPECT_EQ(window.lstTzone->currentRow(), 5);
    // Hidden and shown again by the program, it starts from the defaults.
    window.hide();
    window.show();
    EXPECT_EQ(line(5), QStringLiteral("[Tz.] 01 - 6 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"));
}
