#include "TablePrint.h"

#include <QRegularExpression>

namespace selvenor::cli {

namespace {

QString cell(QString text) {
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
    return text.replace(breaks, QStringLiteral(" "));
}

void printLine(QTextStream& out, const QStringList& cells) {
    out << cells.join(QLatin1Char('\t')) << '\n';
}

} // namespace

void printTable(QTextStream& out, const QAbstractItemModel& model,
                const QList<ExtraColumn>& extra) {
    QStringList header;
    for (int c = 0; c < model.columnCount(); ++c)
        header << cell(model.headerData(c, Qt::Horizontal).toString());
    for (const ExtraColumn& e : extra)
        header << cell(e.title);
    printLine(out, header);
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells << cell(model.data(model.index(r, c)).toString());
        for (const ExtraColumn& e : extra)
            cells << cell(e.text(r));
        printLine(out, cells);
    }
    out.flush();
}

} // namespace selvenor::cli
