#include "AttendanceRig.h"

#include "app/transfer/CardConversion.h"
#include "common/Errors.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace selvenor;

namespace {

const QByteArray kHeading = "No\tMachine\tEnrollNo\tName\tMode\tInOut\tDateTime\r\n";

class CardFile : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes) {
        const QString path = source.file("card.txt");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    qsizetype convert(const QByteArray& bytes) {
        CardConversion conversion(DataFolder(data.path()), ui, view);
        return conversion.convert(write(bytes));
    }
    QByteArray veri() const {
        QFile f(data.file("veri.txt"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    TempFolder data;
    TempFolder source;
    RecordingOperator ui;
    RecordingView view;
};

} // namespace

TEST(CardStages, IntermediateLineNormalisesEveryTabEndedField) {
    EXPECT_EQ(CardConversion::intermediateLine("1\t1\t123\t0\t15\t0\t2012-03-05 08:07:30"),
              "00001,00001,00123,00000,00015,00000,2012-03-0508:07:30");
    EXPECT_EQ(CardConversion::intermediateLine("1\t2\t123456\t\t1234567\tx\t2012"),
              "00001,00002,23456,00000,34567,0000x,2012");
    EXPECT_EQ(CardConversion::intermediateLine("1 2\t 3 \tA B C\t"), "00012,00003,00ABC,");
    EXPECT_EQ(CardConversion::intermediateLine(""), "");
}

TEST(CardStages, ResultLineTakesThePiecesFromTheirPlaces) {
    EXPECT_EQ(CardConversion::resultLine("00001,00001,00123,00000,00015,00000,2012-03-0508:07:30"),
              "00123 05/03/2012 08:07:30 01");
    EXPECT_EQ(CardConversion::resultLine(""), " // :: ");
    EXPECT_EQ(CardConversion::resultLine("00001,00012,001"), "001 // :: 12");
}

TEST_F(CardFile, ConvertsEveryLineAfterTheHeadingIntoVeri) {
    const qsizetype n = convert(kHeading + "1\t1\t123\t0\t15\t0\t2012-03-05 08:07:30\r\n" +
                                "2\t3\t123456\t0\t15\t0\t2012-12-31 23:59:01\r\n");
    EXPECT_EQ(n, 2);
    EXPECT_EQ(veri(), "00123 05/03/2012 08:07:30 01\r\n23456 31/12/2012 23:59:01 03\r\n");
    EXPECT_EQ(view.memo2, "00001,00001,00123,00000,00015,00000,2012-03-0508:07:30\n"
                          "00002,00003,23456,00000,00015,00000,2012-12-3123:59:01");
    EXPECT_EQ(view.memo1, "00123 05/03/2012 08:07:30 01\n23456 31/12/2012 23:59:01 03");
    EXPECT_EQ(view.fileName, source.file("card.txt"));
    EXPECT_EQ(ui.texts(), QStringList{"Aktarım işlemi tamamlandı.."});
    EXPECT_EQ(view.ranges.last(), std::make_pair(0, 0));
    EXPECT_EQ(view.positions.last(), 0);
}

TEST_F(CardFile, HeadingOnlyCreatesVeriEmpty) {
    EXPECT_EQ(convert(kHeading), 0);
    EXPECT_EQ(veri(), "");
    EXPECT_EQ(ui.texts(), QStringList{"Aktarım işlemi tamamlandı.."});
    EXPECT_TRUE(view.memo1.isEmpty());
}

TEST_F(CardFile, EmptyLineGivesTheSeparatorsOnly) {
    convert(kHeading + "\r\n" + "1\t1\t7\t0\t0\t0\t2012-03-05 08:07:30");
    EXPECT_EQ(veri(), " // :: \r\n00007 05/03/2012 08:07:30 01\r\n");
}

TEST_F(CardFile, FiveOrSevenFieldsShiftTheDateAndAreTakenAsTheyStand) {
    convert(kHeading + "1\t1\t7\t0\t0\t2012-03-05 08:07:30\n" +
            "1\t1\t7\t0\t0\t0\t0\t2012-03-05 08:07:30\n");
    // Five fields: the date-time "2012-03-0508:07:30" starts at character 31, so day, month
    // and year fall inside it and minute and second past the line's end. Seven fields: it
    // starts at character 43, behind the year's place.
    EXPECT_EQ(veri(), "00007 7:/8:/3-05 30:: 01\r\n00007 12/,2/0000 -0:-0:08 01\r\n");
}

TEST_F(CardFile, LineEndsOfEveryKindAndCodePage1254Bytes) {
    convert(kHeading + "1\t1\t1\t\xDE\xFE\t0\t0\t2012-03-05 08:07:30\r" +
            "1\t1\t\xFE"
            "2\t0\t0\t0\t2012-03-05 08:07:31\n");
    EXPECT_EQ(veri(), "00001 05/03/2012 08:07:30 01\r\n000\xFE"
                      "2 05/03/2012 08:07:31 01\r\n");
    EXPECT_TRUE(view.memo2.startsWith(QStringLiteral("00001,00001,00001,000Şş,")));
    EXPECT_TRUE(view.memo1.contains(QStringLiteral("000ş2 ")));
}

TEST_F(CardFile, ConvertingTwiceAppendsTwiceAfterWhatVeriHeld) {
    QFile f(data.file("veri.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("eski\r\n");
    f.close();
    const QByteArray file = kHeading + "1\t1\t9\t0\t0\t0\t2012-03-05 08:07:30\r\n";
    convert(file);
    convert(file);
    EXPECT_EQ(veri(), "eski\r\n00009 05/03/2012 08:07:30 01\r\n00009 05/03/2012 08:07:30 01\r\n");
}

TEST_F(CardFile, CancelledDialogChangesNothing) {
    ui.fileToChoose.clear();
    CardConversion conversion(DataFolder(data.path()), ui, view);
    EXPECT_FALSE(conversion.run());
    EXPECT_EQ(ui.lastStartFolder, DataFolder(data.path()).path());
    EXPECT_EQ(veri(), "<missing>");
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST_F(CardFile, ChosenFileIsConverted) {
    ui.fileToChoose = write(kHeading + "1\t1\t9\t0\t0\t0\t2012-03-05 08:07:30\r\n");
    CardConversion conversion(DataFolder(data.path()), ui, view);
    EXPECT_TRUE(conversion.run());
    EXPECT_EQ(veri(), "00009 05/03/2012 08:07:30 01\r\n");
}

TEST_F(CardFile, UnreadableFileWritesNothing) {
    CardConversion conversion(DataFolder(data.path()), ui, view);
    EXPECT_THROW(conversion.convert(source.file("yok.txt")), FileError);
    EXPECT_THROW(conversion.convert(source.path()), FileError) << "a folder is no file";
    EXPECT_EQ(veri(), "<missing>");
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST_F(CardFile, LinesLongerThanAReadPieceAndManyLines) {
    QByteArray file = kHeading;
    for (int i = 0; i < 300000; ++i)
        file += "1\t1\t" + QByteArray::number(i) + "\t0\t0\t0\t2012-03-05 08:07:30\r\n";
    EXPECT_EQ(convert(file), 300000);
    const QByteArray out = veri();
    EXPECT_EQ(out.count('\n'), 300000);
    EXPECT_TRUE(out.endsWith("99999 05/03/2012 08:07:30 01\r\n"));
    EXPECT_TRUE(out.startsWith("00000 05/03/2012 08:07:30 01\r\n00001 "));
}
