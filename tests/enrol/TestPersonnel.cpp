#include "EnrolHarness.h"
#include "MariaDbFixture.h"

#include "enrol/EnrollDownload.h"
#include "enrol/EnrollUpload.h"
#include "enrol/MemberList.h"
#include "enrol/NameList.h"

#include <gtest/gtest.h>

using namespace selvenor;
using B = OperatorInterface::Button;

namespace {

QJsonObject terminalWith(const QList<int>& enrolls) {
    QJsonArray users;
    QJsonObject names;
    for (int e : enrolls) {
        users << SimulatorFixture::user(e, 0) << SimulatorFixture::user(e, 11, 0, 100 + e);
        names.insert(QString::number(e), QStringLiteral("T%1").arg(e));
    }
    return SimulatorFixture::state({{"users", users}, {"names", names}});
}

QMap<QString, QString> namesByCard(const EnrolHarness& h) {
    QMap<QString, QString> names;
    for (const auto& row : h.tempRows())
        names.insert(row["kartno"].toString(), row["isim"].toString());
    return names;
}

class Personnel : public ::testing::Test {
protected:
    void SetUp() override {
        if (!db.available())
            GTEST_SKIP() << MariaDbFixture::skipMessage();
        db.createPersonel();
        h.mySql = db.settings();
    }
    void download() {
        EnrolContext ctx = h.context();
        ASSERT_TRUE(downloadEnrollData(ctx).ok);
        list.refresh(h.dm->ADOConnection2(), QString());
    }
    MariaDbFixture db;
    EnrolHarness h{terminalWith({42, 7, 15})};
    NameList list;
};

} // namespace

TEST_F(Personnel, TurkishNamesInLatin5ComeThroughLetterForLetter) {
    db.add(QStringLiteral("00042"), QStringLiteral("Şükrü"), QStringLiteral("Çağlar"));
    db.add(QStringLiteral("00007"), QStringLiteral("İsmail"), QStringLiteral("Işık"));
    db.add(QStringLiteral("00015"), QStringLiteral("Gülşen"), QStringLiteral("Öztürk"));
    // The table really holds code page 1254 bytes: Ş is DE, Ç is C7.
    EXPECT_EQ(db.column(QStringLiteral("SELECT HEX(ad) FROM personel WHERE kartno='00042'")),
              QStringList{QStringLiteral("DEFC6B72FC")});
    download();
    EnrolContext ctx = h.context();
    ASSERT_TRUE(list.importNames(ctx));
    const auto names = namesByCard(h);
    EXPECT_EQ(names[QStringLiteral("00042")], QStringLiteral("Şükrü Çağlar"));
    EXPECT_EQ(names[QStringLiteral("00007")], QStringLiteral("İsmail Işık"));
    EXPECT_EQ(names[QStringLiteral("00015")], QStringLiteral("Gülşen Öztürk"));
    EXPECT_EQ(h.tempRows().size(), 6) << "both rows of each card number";
    for (const auto& row : h.tempRows())
        EXPECT_EQ(row["isim"].toString(), names[row["kartno"].toString()]);
    EXPECT_EQ(list.rowCount(), 6);
    EXPECT_FALSE(h.dm->MyConnection1().isOpen()) << "closed after the import";
    EXPECT_TRUE(h.ui.shown.isEmpty());
}

TEST_F(Personnel, CardWithoutPersonKeepsItsNameEmptySurnameAndFirstOfSeveral) {
    db.add(QStringLiteral("00042"), QStringLiteral("Ayşe"), QString());
    db.add(QStringLiteral("00007"), QStringLiteral("Birinci"), QStringLiteral("Kişi"));
    db.add(QStringLiteral("00007"), QStringLiteral("İkinci"), QStringLiteral("Kişi"));
    db.add(QStringLiteral("42"), QStringLiteral("Yanlış"), QStringLiteral("Eşleşme"));
    download();
    EnrolContext ctx = h.context();
    ASSERT_TRUE(list.importNames(ctx));
    const auto names = namesByCard(h);
    EXPECT_EQ(names[QStringLiteral("00042")], QStringLiteral("Ayşe "));
    EXPECT_EQ(names[QStringLiteral("00007")], QStringLiteral("Birinci Kişi"));
    EXPECT_EQ(names[QStringLiteral("00015")], QStringLiteral("T15"));
}

TEST_F(Personnel, ImportBeforeAnyDownloadOrSearchRefuses) {
    EnrolContext ctx = h.context();
    EXPECT_FALSE(list.importNames(ctx));
    ASSERT_EQ(h.ui.shown.size(), 1);
    EXPECT_EQ(h.ui.shown[0].caption, QStringLiteral("UYARI"));
    EXPECT_EQ(h.ui.shown[0].text,
              QStringLiteral("Önce \"Terminalden Parmakizi Datası Al\" butonuna bas..."));
    EXPECT_EQ(h.ui.shown[0].buttons, static_cast<int>(B::Ok));
}

TEST_F(Personnel, UnreachableServerWrongPasswordAndMissingTableChangeNothing) {
    db.add(QStringLiteral("00042"), QStringLiteral("Şükrü"), QStringLiteral("Çağlar"));
    download();
    const auto before = h.tempRows();
    const auto expectRefused = [&](const char* what) {
        EnrolContext ctx = h.context();
        try {
            list.importNames(ctx);
            ADD_FAILURE() << what << ": no error";
        } catch (const DatabaseError& e) {
            EXPECT_TRUE(e.text().startsWith(QStringLiteral("Personel veritabanı okunamadı")))
                << what << ": " << e.text().toStdString();
        }
        EXPECT_EQ(h.tempRows(), before) << what;
    };
    const MySqlSettings good = h.mySql;
    h.mySql.port = QStringLiteral("1"); // nothing listens there
    expectRefused("unreachable");
    h.mySql = good;
    h.mySql.password = QStringLiteral("wrong");
    expectRefused("wrong password");
    h.mySql = good;
    db.dropPersonel();
    expectRefused("missing table");
}

TEST_F(Personnel, PortThatIsNoNumberIsReportedAndThePreviousPortKept) {
    db.add(QStringLiteral("00042"), QStringLiteral("Gülşen"), QStringLiteral("Öztürk"));
    download();
    EnrolContext ctx = h.context();
    ASSERT_TRUE(list.importNames(ctx)); // sets the good port
    h.mySql.port = QStringLiteral("abc");
    db.exec(QStringLiteral("UPDATE personel SET soyad = ?"), {QStringLiteral("Işık")});
    EnrolContext again = h.context();
    ASSERT_TRUE(list.importNames(again));
    ASSERT_EQ(h.ui.shown.size(), 1);
    EXPECT_EQ(h.ui.shown[0].text, QStringLiteral("Veritabanına bağlanamadı...."));
    EXPECT_EQ(h.ui.shown[0].caption, QStringLiteral("UYARI"));
    EXPECT_EQ(namesByCard(h)[QStringLiteral("00042")], QStringLiteral("Gülşen Işık"));
}

TEST_F(Personnel, PortThatIsNoNumberOnAFreshConnectionFailsClearly) {
    download();
    const auto before = h.tempRows();
    h.mySql.port = QStringLiteral("abc");
    h.dm->MyConnection1().setPort(1);
    EnrolContext ctx = h.context();
    EXPECT_THROW(list.importNames(ctx), DatabaseError);
    EXPECT_EQ(h.ui.texts(), QStringList{QStringLiteral("Veritabanına bağlanamadı....")});
    EXPECT_EQ(h.tempRows(), before);
}

TEST_F(Personnel, UploadWithoutLeftDropsPasifExactlyAndNumericCardsOnly) {
    db.add(QStringLiteral("00042"), QStringLiteral("Çıkan"), QStringLiteral("Kişi"),
           QStringLiteral("Pasif"));
    db.add(QStringLiteral("00007"), QStringLiteral("Küçük"), QStringLiteral("Harf"),
           QStringLiteral("pasif"));
    db.add(QStringLiteral("15x"), QStringLiteral("Sayı"), QStringLiteral("Değil"),
           QStringLiteral("Pasif"));
    download();
    SimulatorFixture b;
    h.connectTo(b);
    h.view.memo << QStringLiteral("old line");
    h.ui.answers = {B::Yes};
    EnrolContext ctx = h.context();
    const UploadResult r = uploadEnrollData(ctx, true);
    EXPECT_EQ(r.leftRemoved, 2);
    QList<int> onB;
    for (const TerminalEntry& e : EnrolHarness::entries(b))
        onB << e.enroll;
    EXPECT_EQ(onB, (QList<int>{7, 7, 15, 15}));
    EXPECT_EQ(h.enrollRows().size(), 4) << "the store lost the rows of 42 for good";
    EXPECT_EQ(h.view.memo.size(), 4) << "the memo was cleared first";
    EXPECT_FALSE(h.dm->MyConnection1().isOpen());
}

TEST_F(Personnel, UploadWithoutLeftWithUnreadableServerTouchesNothing) {
    db.add(QStringLiteral("00042"), QStringLiteral("A"), QStringLiteral("B"),
           QStringLiteral("Pasif"));
    download();
    SimulatorFixture b(terminalWith({900}));
    h.connectTo(b);
    const auto beforeB = EnrolHarness::entries(b);
    db.dropPersonel();
    h.ui.answers = {B::Yes};
    EnrolContext ctx = h.context();
    EXPECT_THROW(uploadEnrollData(ctx, true), DatabaseError);
    EXPECT_EQ(h.enrollRows().size(), 6);
    EXPECT_EQ(EnrolHarness::entries(b), beforeB);
}

TEST_F(Personnel, MemberListFiltersByStatusAndFirstNameWithQuotes) {
    const QString uye = QStringLiteral("uye");
    db.add("10", "Ayşe", "Kaya", "Aktif", uye, "2026-01-01", "2026-12-31");
    db.add("11", "Ayhan", "Demir", "pasif", uye, "2025-01-01", "2025-06-30");
    db.add("12", "O'Brien", "Çelik", "Aktif", uye, "", "");
    db.add("13", "Ayla", "Personel", "Aktif", QStringLiteral("personel"), "", "");
    db.add("14", "A%b", "Yüzde", "Aktif", uye, "", "");
    MemberList members;
    EnrolContext ctx = h.context();
    members.connectAndRefresh(ctx, MemberList::Status::All, QString());
    ASSERT_EQ(members.rowCount(), 4);
    EXPECT_EQ(members.value(0, QStringLiteral("isim")).toString(), QStringLiteral("Ayşe Kaya"));
    EXPECT_EQ(members.value(0, QStringLiteral("uyebitistarihi")).toDate(), QDate(2026, 12, 31));
    members.refresh(ctx, MemberList::Status::Active, QString());
    EXPECT_EQ(members.rowCount(), 3);
    members.refresh(ctx, MemberList::Status::Passive, QStringLiteral(" Ay "));
    ASSERT_EQ(members.rowCount(), 1);
    EXPECT_EQ(members.value(0, QStringLiteral("kartno")).toString(), QStringLiteral("11"));
    members.refresh(ctx, MemberList::Status::All, QStringLiteral("O'B"));
    ASSERT_EQ(members.rowCount(), 1);
    EXPECT_EQ(members.value(0, QStringLiteral("isim")).toString(), QStringLiteral("O'Brien Çelik"));
    members.refresh(ctx, MemberList::Status::All, QStringLiteral("A%"));
    ASSERT_EQ(members.rowCount(), 1) << "% is a letter of the search, not a wildcard";
    members.refresh(ctx, MemberList::Status::All, QStringLiteral("Kaya"));
    EXPECT_EQ(members.rowCount(), 0) << "the surname is not searched";
}

TEST_F(Personnel, MemberListFailureClosesTheList) {
    MemberList members;
    EnrolContext ctx = h.context();
    members.connectAndRefresh(ctx, MemberList::Status::All, QString());
    EXPECT_TRUE(members.isOpen());
    db.dropPersonel();
    EXPECT_THROW(members.refresh(ctx, MemberList::Status::All, QString()), DatabaseError);
    EXPECT_FALSE(members.isOpen());
}
