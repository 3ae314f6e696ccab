#include "app/transfer/BackupReconciliation.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace selvenor;

namespace {

QByteArray line(int enroll, int machine) {
    return QStringLiteral("%1 05/03/2012 08:07:00 %2 01\r\n")
        .arg(enroll, 5, 10, QLatin1Char('0'))
        .arg(machine, 2, 10, QLatin1Char('0'))
        .toLatin1();
}

QByteArray lines(int from, int to, int machine = 1) {
    QByteArray text;
    for (int i = from; i <= to; ++i)
        text += line(i, machine);
    return text;
}

class Reconciliation : public ::testing::Test {
protected:
    qsizetype alreadyWritten(const QByteArray& backup, const QByteArray& handedOut,
                             int machine = 1) {
        QFile f(folder.file("yedek.txt"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(backup);
        f.close();
        return BackupReconciliation(folder.file("yedek.txt"), machine, 65536)
            .alreadyWritten(handedOut);
    }
    TempFolder folder;
};

} // namespace

TEST_F(Reconciliation, RecordsWhoseLinesEndTheBackupAreFound) {
    EXPECT_EQ(alreadyWritten(lines(1, 30), lines(21, 40)), 10);
    EXPECT_EQ(alreadyWritten(lines(1, 30), lines(21, 30)), 10);
    EXPECT_EQ(alreadyWritten(lines(1, 30), lines(1, 30)), 30);
}

TEST_F(Reconciliation, OtherMachinesLinesAreLeftOut) {
    EXPECT_EQ(alreadyWritten(lines(1, 30) + lines(1, 5, 2), lines(21, 40)), 10);
    EXPECT_EQ(alreadyWritten(lines(1, 30) + lines(1, 5, 2), lines(1, 8, 2), 2), 5);
}

TEST_F(Reconciliation, OnlyAContiguousRunAtTheEndCounts) {
    EXPECT_EQ(alreadyWritten(lines(1, 30), lines(31, 40)), 0) << "new records";
    EXPECT_EQ(alreadyWritten(lines(1, 30), lines(20, 29)), 0) << "not the backup's last lines";
    EXPECT_EQ(alreadyWritten(lines(1, 20) + lines(22, 30), lines(21, 40)), 0) << "a gap";
    EXPECT_EQ(alreadyWritten(QByteArray(), lines(1, 3)), 0) << "no backup yet";
}

TEST_F(Reconciliation, TheLongestRunWinsWhenLinesRepeat) {
    // The same punch twice in one minute gives the same line twice.
    const QByteArray backup = lines(1, 5) + line(7, 1) + line(7, 1);
    EXPECT_EQ(alreadyWritten(backup, line(7, 1) + line(7, 1) + line(8, 1)), 2);
}
