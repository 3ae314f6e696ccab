#include "MemberList.h"

#include "EnrolContext.h"
#include "LikePattern.h"
#include "PersonnelTable.h"

#include "common/Errors.h"
#include "common/TextFunctions.h"

namespace selvenor {

MemberList::MemberList(QObject* parent)
    : QueryRowsModel(parent) {
    setColumns({{QStringLiteral("kartno"), QStringLiteral("KartNo")},
                {QStringLiteral("isim"), QStringLiteral("İsim")},
                {QStringLiteral("uyebaslamatarihi"), QStringLiteral("Üye.Baş.Tarihi")},
                {QStringLiteral("uyebitistarihi"), QStringLiteral("Üye.Bit.tarihi")}});
}

void MemberList::connectAndRefresh(EnrolContext& ctx, Status status, const QString& searchText) {
    PersonnelTable(ctx).setUp();
    refresh(ctx, status, searchText);
}

void MemberList::refresh(EnrolContext& ctx, Status status, const QString& searchText) {
    QString statement = QStringLiteral(
        "SELECT pe.kartno, CONCAT(pe.ad, ' ', pe.soyad) AS isim, pe.uyebaslamatarihi, "
        "pe.uyebitistarihi, pe.personelturu, pe.durum FROM personel AS pe "
        "WHERE pe.personelturu = 'uye'");
    QVariantList values;
    if (status != Status::All) {
        statement += QStringLiteral(" AND pe.durum = ?");
        values << (status == Status::Active ? QStringLiteral("Aktif") : QStringLiteral("pasif"));
    }
    const QString text = TrimText(searchText);
    if (!text.isEmpty()) {
        statement += QStringLiteral(" AND ") + beginsWithCondition(QStringLiteral("pe.ad"));
        values << beginsWithPattern(text);
    }
    statement += QStringLiteral(" ORDER BY pe.kartno");
    try {
        open(PersonnelTable(ctx).openedConnection(), statement, values);
    } catch (const DatabaseError& e) {
        close();
        if (e.text().startsWith(PersonnelTable::failureText(QString())))
            throw;
        throw DatabaseError(PersonnelTable::failureText(e.text()));
    }
}

} // namespace selvenor
