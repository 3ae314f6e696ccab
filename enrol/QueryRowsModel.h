#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QVariantList>

namespace selvenor {

// The rows of one SELECT with bound values, held in memory, and a current row: what a data-bound
// grid of the enrolment window shows and what its commands take the selected row from. Only the
// columns given to setColumns are shown; value() reads any column of the statement.
class QueryRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString title;
    };

    explicit QueryRowsModel(QObject* parent = nullptr);

    void setColumns(const QList<Column>& columns);
    QString columnField(int column) const;

    // Runs the statement and takes its rows; the current row becomes the first (-1 when none).
    // Throws DatabaseError; the list is then closed.
    void open(QSqlDatabase db, const QString& statement, const QVariantList& values = {});
    void close();
    bool isOpen() const { return m_open; }
    // Runs the last statement again and keeps the current row where it was when it still exists.
    void reopen();

    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    QVariant value(int row, const QString& field) const;
    // The current row's value; throws DatabaseError when the list is closed or empty.
    QVariant currentValue(const QString& field) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void currentRowChanged(int row);

protected:
    void setStoredValue(int row, const QString& field, const QVariant& value);

private:
    QList<Column> m_columns;
    QList<QSqlRecord> m_rows;
    QSqlDatabase m_db;
    QString m_statement;
    QVariantList m_values;
    bool m_open = false;
    int m_current = -1;
};

} // namespace selvenor
