#include "NameList.h"

#include "EnrolContext.h"
#include "EnrolView.h"
#include "NameFolding.h"
#include "PersonnelTable.h"

#include "common/Errors.h"
#include "common/ScopeGuard.h"
#include "common/TextFunctions.h"
#include "data/LocalSearch.h"
#include "data/Sql.h"
#include "terminal/TFP_CLOCK.h"

namespace selvenor {

namespace {

const QString kKartno = QStringLiteral("kartno");
const QString kIsim = QStringLiteral("isim");

} // namespace

NameList::NameList(QObject* parent)
    : QueryRowsModel(parent) {
    setColumns({{kKartno, kKartno}, {kIsim, kIsim}});
}

void NameList::refresh(QSqlDatabase log, const QString& searchText) {
    m_log = log;
    m_search = TrimText(searchText);
    if (m_search.isEmpty()) {
        open(log, QStringLiteral("SELECT * FROM temp ORDER BY kartno, id"));
        return;
    }
    open(log,
         QStringLiteral("SELECT * FROM temp WHERE %1 ORDER BY kartno, id")
             .arg(localSearchCondition(log, kIsim)),
         {m_search});
}

void NameList::refresh() {
    refresh(m_log, m_search);
}

bool NameList::importNames(EnrolContext& ctx) {
    PersonnelTable personnel(ctx);
    personnel.setUp();
    if (!isOpen()) {
        ctx.ui.messageBox(
            QStringLiteral("Önce \"Terminalden Parmakizi Datası Al\" butonuna bas..."),
            QStringLiteral("UYARI"), OperatorInterface::Icon::Warning,
            static_cast<int>(OperatorInterface::Button::Ok));
        return false;
    }
    QStringList cardNumbers;
    for (int row = 0; row < rowCount(); ++row)
        cardNumbers << value(row, kKartno).toString();
    const QHash<QString, QString> names = personnel.namesOf(cardNumbers);
    personnel.close();
    inTransaction(m_log, [&] {
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            execSql(m_log, QStringLiteral("UPDATE temp SET isim = ? WHERE kartno = ?"),
                    {it.value(), it.key()});
    });
    refresh();
    return true;
}

NameList::Sent NameList::uploadCurrentName(EnrolContext& ctx) {
    const QString kartno = currentValue(kKartno).toString();
    const QString name = currentValue(kIsim).toString();
    if (name.isEmpty())
        return Sent::Empty;
    QString folded = FoldName(name);
    const qint32 enrollNumber = StrToInt(kartno);
    if (ctx.clock.SetUserName(0, ctx.machine, enrollNumber, ctx.machine, folded)) {
        ctx.view.setStatus(QStringLiteral("SetUserName OK"));
        return Sent::Ok;
    }
    ctx.view.setStatus(ctx.lastErrorName());
    return Sent::Failed;
}

bool NameList::uploadSelectedName(EnrolContext& ctx) {
    ctx.view.setButtonEnabled(false);
    BusyCursor busy(ctx.ui);
    ScopeGuard restore([&] { ctx.view.setButtonEnabled(true); });
    return uploadCurrentName(ctx) == Sent::Ok;
}

NameList::UploadCount NameList::uploadAllNames(EnrolContext& ctx) {
    ctx.view.setButtonEnabled(false);
    BusyCursor busy(ctx.ui);
    ScopeGuard restore([&] { ctx.view.setButtonEnabled(true); });
    if (!isOpen())
        throw DatabaseError(QStringLiteral("İsim listesi açık değil"));
    UploadCount count;
    for (int row = 0; row < rowCount(); ++row) {
        setCurrentRow(row);
        switch (uploadCurrentName(ctx)) {
        case Sent::Ok:
            ++count.sent;
            break;
        case Sent::Failed:
            ++count.failed;
            break;
        case Sent::Empty:
            ++count.empty;
            break;
        }
    }
    return count;
}

Qt::ItemFlags NameList::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QueryRowsModel::flags(index);
    if (index.isValid() && columnField(index.column()) == kIsim)
        f |= Qt::ItemIsEditable;
    return f;
}

bool NameList::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || columnField(index.column()) != kIsim)
        return false;
    try {
        execSql(m_log, QStringLiteral("UPDATE temp SET isim = ? WHERE id = ?"),
                {value.toString(), QueryRowsModel::value(index.row(), QStringLiteral("id"))});
    } catch (const Error& e) {
        emit storeFailed(e.text()); // called from the grid's editor: no exception past Qt
        return false;
    }
    setStoredValue(index.row(), kIsim, value.toString());
    return true;
}

} // namespace selvenor
