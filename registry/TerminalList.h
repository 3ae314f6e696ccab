#pragma once

#include "TerminalRecord.h"

#include <QAbstractTableModel>
#include <QSqlDatabase>
#include <QVector>

namespace selvenor {

// The terminal list (qrycihaz): every row of Terminal in name order, with a current row like a
// dataset's. The main window's grid shows it through this model (columns Terminal, Tip, Ip);
// the connect command and the terminal editor work on its current row.
class TerminalList : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr const char* kStatement = "select * from Terminal order by Terminal, id";
    enum Column { TerminalColumn, TipColumn, IpColumn, ColumnCount };

    explicit TerminalList(QSqlDatabase db, QObject* parent = nullptr);

    // Closes the list and reads it again; the first row becomes current. Throws DatabaseError
    // when Data.mdb is not open or the table cannot be read; the list is then closed (empty).
    void open();
    // Reads the list again and makes the row with `id` current; when that row is gone, the
    // first row.
    void reReadKeeping(qint64 id);
    void close();

    bool isEmpty() const { return m_rows.isEmpty(); }
    int count() const { return int(m_rows.size()); }
    const TerminalRecord& at(int row) const { return m_rows.at(row); }

    // -1 while the list is empty.
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    // The current row; throws DatabaseError when the list is empty (there is no row to use).
    const TerminalRecord& current() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void currentRowChanged(int row);

private:
    QVector<TerminalRecord> readRows() const;
    void replaceRows(QVector<TerminalRecord> rows, int current);

    QSqlDatabase m_db;
    QVector<TerminalRecord> m_rows;
    int m_current = -1;
};

} // namespace selvenor
