#include "QueryRowsModel.h"

#include "common/DateFormats.h"
#include "common/Errors.h"
#include "data/Sql.h"

#include <QSqlQuery>

namespace selvenor {

QueryRowsModel::QueryRowsModel(QObject* parent)
    : QAbstractTableModel(parent) {}

void QueryRowsModel::setColumns(const QList<Column>& columns) {
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

QString QueryRowsModel::columnField(int column) const {
    return column >= 0 && column < m_columns.size() ? m_columns[column].field : QString();
}

void QueryRowsModel::open(QSqlDatabase db, const QString& statement, const QVariantList& values) {
    beginResetModel();
    m_rows.clear();
    m_open = false;
    m_current = -1;
    m_db = db;
    m_statement = statement;
    m_values = values;
    try {
        QSqlQuery query = execSql(db, statement, values);
        while (query.next())
            m_rows.append(query.record());
        m_open = true;
    } catch (...) {
        endResetModel();
        emit currentRowChanged(m_current);
        throw;
    }
    m_current = m_rows.isEmpty() ? -1 : 0;
    endResetModel();
    emit currentRowChanged(m_current);
}

void QueryRowsModel::close() {
    beginResetModel();
    m_rows.clear();
    m_open = false;
    m_current = -1;
    endResetModel();
    emit currentRowChanged(m_current);
}

void QueryRowsModel::reopen() {
    const int row = m_current;
    open(m_db, m_statement, m_values);
    if (row >= 0 && row < m_rows.size())
        setCurrentRow(row);
}

void QueryRowsModel::setCurrentRow(int row) {
    if (row < -1 || row >= m_rows.size() || row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(m_current);
}

QVariant QueryRowsModel::value(int row, const QString& field) const {
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows[row].value(field);
}

QVariant QueryRowsModel::currentValue(const QString& field) const {
    if (!m_open)
        throw DatabaseError(QStringLiteral("Liste açık değil"));
    if (m_current < 0)
        throw DatabaseError(QStringLiteral("Listede seçili kayıt yok"));
    return value(m_current, field);
}

void QueryRowsModel::setStoredValue(int row, const QString& field, const QVariant& value) {
    m_rows[row].setValue(field, value);
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].field.compare(field, Qt::CaseInsensitive) == 0)
            emit dataChanged(index(row, c), index(row, c));
    }
}

int QueryRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int QueryRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant QueryRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const QVariant v = value(index.row(), m_columns[index.column()].field);
    // Dates show in the process's short format, not in the locale's own.
    return role == Qt::DisplayRole ? QVariant(DisplayText(v)) : v;
}

QVariant QueryRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_columns[section].title;
}

} // namespace selvenor
