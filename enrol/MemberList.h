#pragma once

#include "QueryRowsModel.h"

namespace selvenor {

class EnrolContext;

// The member list of the sheet "Yetkilendir": the members (personelturu 'uye') of the personnel
// table with card number, name and membership dates, filtered by status and by the beginning of
// the first name.
class MemberList : public QueryRowsModel {
    Q_OBJECT
public:
    enum class Status { All, Active, Passive };

    explicit MemberList(QObject* parent = nullptr);

    // "Bağlan": the MySQL connection set-up, then the refresh.
    void connectAndRefresh(EnrolContext& ctx, Status status, const QString& searchText);
    // Re-queries with the connection as the last set-up left it. A failure closes the list.
    void refresh(EnrolContext& ctx, Status status, const QString& searchText);
};

} // namespace selvenor
