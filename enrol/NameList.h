#pragma once

#include "QueryRowsModel.h"

namespace selvenor {

class EnrolContext;

// The name list: the rows of temp (kartno, isim) whose name begins with the search text, in
// card-number order. A name edited in the grid is stored in its row of temp; the card number
// cannot be edited. Closed until the first download or search.
class NameList : public QueryRowsModel {
    Q_OBJECT
public:
    explicit NameList(QObject* parent = nullptr);

    // Re-reads the list with the search text (outer blanks removed; empty lists every row).
    void refresh(QSqlDatabase log, const QString& searchText);
    // The last refresh again, with its search text.
    void refresh();
    QString searchText() const { return m_search; }

    // "PDKS Programından İsimleri Al (mysql)": every card number of the list gets the name
    // "ad soyad" of its personnel row. All names change or none: a personnel database that
    // cannot be read changes nothing. Returns false when the list is not open (after the
    // "UYARI" message).
    bool importNames(EnrolContext& ctx);

    // "Seçili Personel Adını Terminale Yükle": the current row's name, folded, to the terminal.
    // Returns whether a name was sent successfully.
    bool uploadSelectedName(EnrolContext& ctx);
    // "Tüm Personel Adlarını Terminale Yükle": every row of the list, in order; a failed row
    // does not stop the pass. Returns the number of rows sent successfully.
    struct UploadCount {
        int sent = 0;
        int failed = 0;
        int empty = 0;
    };
    UploadCount uploadAllNames(EnrolContext& ctx);

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // An edited name could not be stored; the text says why.
    void storeFailed(const QString& text);

private:
    enum class Sent { Ok, Failed, Empty };
    Sent uploadCurrentName(EnrolContext& ctx);

    QSqlDatabase m_log;
    QString m_search;
};

} // namespace selvenor
