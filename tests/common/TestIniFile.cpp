#include "common/Codepage1254.h"
#include "common/IniFile.h"

#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace selvenor;

TEST(Codepage1254, TurkishLettersRoundTripAsSingleBytes) {
    const QString letters = QStringLiteral("çğıöşüÇĞİÖŞÜ");
    const QByteArray bytes = toCp1254(letters);
    EXPECT_EQ(bytes, QByteArray("\xE7\xF0\xFD\xF6\xFE\xFC\xC7\xD0\xDD\xD6\xDE\xDC"));
    EXPECT_EQ(fromCp1254(bytes), letters);
}

TEST(IniFile, MatchesSectionsAndKeysWithoutCaseAndDefaultsMissingOnes) {
    const IniFile ini = IniFile::parse("[OPTIONS]\r\nVERIDOSYA2 = 1 \r\n[MySql]\r\nPort=3307");
    EXPECT_EQ(ini.value("Options", "veriDosya2"), QStringLiteral("1"));
    EXPECT_EQ(ini.value("mysql", "port"), QStringLiteral("3307"));
    EXPECT_EQ(ini.value("MySql", "User", "x"), QStringLiteral("x"));
    EXPECT_EQ(ini.value("Login", "Server"), QString());
}

TEST(IniFile, SkipsMalformedLinesAndKeepsThemThroughAWrite) {
    const QByteArray original = "; yorum\r\n"
                                "garbage line\r\n"
                                "=novalue\r\n"
                                "[Login]\r\n"
                                "Server=sunucu\r\n"
                                "\r\n"
                                "[broken\r\n"
                                "[Options]\r\n"
                                "veriDosya2=0\r\n"
                                "Di\xF0"
                                "er=\xFE\xFC\r\n" // cp1254 bytes of "Diğer=şü"
                                "[System]\n"
                                "ProgramTipi=Tevro"; // no final line end
    IniFile ini = IniFile::parse(original);
    EXPECT_EQ(ini.value("Login", "Server"), QStringLiteral("sunucu"));
    EXPECT_EQ(ini.value("Options", QStringLiteral("Diğer")), QStringLiteral("şü"));
    EXPECT_EQ(ini.value("System", "ProgramTipi"), QStringLiteral("Tevro"));

    ini.setValue("options", "VeriDosya2", "1");
    const QByteArray written = ini.serialize();
    QByteArray expected = original;
    expected.replace("veriDosya2=0", "veriDosya2=1");
    expected.replace("[System]\n", "[System]\r\n");
    expected += "\r\n";
    EXPECT_EQ(written, expected);
}

TEST(IniFile, AddsMissingKeyInsideItsSectionAndMissingSectionAtTheEnd) {
    IniFile ini = IniFile::parse("[Options]\r\nother=1\r\n\r\n[Login]\r\nServer=a\r\n");
    ini.setValue("Options", "veriDosya2", "0");
    ini.setValue("System", "ProgramTipi", "X");
    EXPECT_EQ(ini.serialize(), QByteArray("[Options]\r\nother=1\r\nveriDosya2=0\r\n\r\n[Login]\r\n"
                                          "Server=a\r\n[System]\r\nProgramTipi=X\r\n"));
}

TEST(IniFile, SaveAndLoadGoThroughTheDisk) {
    TempFolder folder;
    const QString path = folder.file("Settings.ini");
    EXPECT_EQ(IniFile::load(path).value("Options", "veriDosya2", "none"), QStringLiteral("none"));
    IniFile ini;
    ini.setValue("Options", "veriDosya2", "1");
    ini.save(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Options]\r\nveriDosya2=1\r\n"));
    EXPECT_EQ(IniFile::load(path).value("OPTIONS", "VERIDOSYA2"), QStringLiteral("1"));
}
