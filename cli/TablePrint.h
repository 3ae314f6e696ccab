#pragma once

#include <QAbstractItemModel>
#include <QTextStream>

#include <functional>

namespace selvenor::cli {

// A column printed beside the model's own: its title and its text for a row.
struct ExtraColumn {
    QString title;
    std::function<QString(int row)> text;
};

// A grid as tab-separated text: a header line of the column titles, then one line per row of
// the texts the grid shows (dates in the program's display format). A tab or line break inside
// a value is printed as a blank, so that every row stays one line of the same columns.
void printTable(QTextStream& out, const QAbstractItemModel& model,
                const QList<ExtraColumn>& extra = {});

} // namespace selvenor::cli
