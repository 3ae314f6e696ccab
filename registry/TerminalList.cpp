#include "TerminalList.h"

#include "common/Errors.h"
#include "data/Sql.h"

#include <QCollator>
#include <QLocale>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace selvenor {

namespace {

// SQLite orders by code point; the operator expects Turkish alphabetical order (Ç after C,
// lower and upper case together).
void sortByName(QVector<TerminalRecord>& rows) {
    QCollator collator(QLocale(QLocale::Turkish, QLocale::Turkey));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
        return collator.compare(a.Terminal, b.Terminal) < 0;
    });
}

} // namespace

TerminalList::TerminalList(QSqlDatabase db, QObject* parent)
    : QAbstractTableModel(parent)
    , m_db(std::move(db)) {}

void TerminalList::open() {
    close();
    replaceRows(readRows(), 0);
}

void TerminalList::reReadKeeping(qint64 id) {
    QVector<TerminalRecord> rows = readRows();
    const auto found =
        std::find_if(rows.cbegin(), rows.cend(), [&](const auto& r) { return r.id == id; });
    const int current = found == rows.cend() ? 0 : int(found - rows.cbegin());
    replaceRows(std::move(rows), current);
}

void TerminalList::close() {
    replaceRows({}, -1);
}

QVector<TerminalRecord> TerminalList::readRows() const {
    QSqlQuery query = execSql(m_db, QString::fromLatin1(kStatement));
    QVector<TerminalRecord> rows;
    while (query.next())
        rows.append(terminalRecordFrom(query.record()));
    sortByName(rows);
    return rows;
}

void TerminalList::replaceRows(QVector<TerminalRecord> rows, int current) {
    beginResetModel();
    m_rows = std::move(rows);
    m_current = m_rows.isEmpty() ? -1 : std::clamp(current, 0, int(m_rows.size()) - 1);
    endResetModel();
    emit currentRowChanged(m_current);
}

void TerminalList::setCurrentRow(int row) {
    if (row < 0 || row >= count() || row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(m_current);
}

const TerminalRecord& TerminalList::current() const {
    if (m_current < 0)
        throw DatabaseError(QStringLiteral("Terminal listesinde kayıt yok."));
    return m_rows.at(m_current);
}

int TerminalList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int TerminalList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TerminalList::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= count())
        return {};
    const TerminalRecord& r = m_rows.at(index.row());
    switch (index.column()) {
    case TerminalColumn:
        return r.Terminal;
    case TipColumn:
        return r.Tip;
    case IpColumn:
        return r.Ip;
    default:
        return {};
    }
}

QVariant TerminalList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    static const char* const titles[] = {"Terminal", "Tip", "Ip"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section])
                                                 : QVariant();
}

Qt::ItemFlags TerminalList::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace selvenor
