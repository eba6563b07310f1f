#include "export/batch/work_table_printer.h"

#include "data/dataset.h"
#include "data/dataset_model.h"

#include <QVector>

void PrintWorkTableRows(QTextStream& out, const Dataset& view) {
    const QStringList fields = view.displayFields();
    const int rows = view.recordCount();
    QVector<QStringList> cells(rows + 1);
    QVector<int> widths(fields.size(), 0);
    QVector<bool> rightAligned(fields.size(), false);
    for (int column = 0; column < fields.size(); ++column) {
        const Dataset::FieldDisplay display = view.displayOf(fields.at(column));
        rightAligned[column] = !display.displayFormat.isEmpty();
        cells[0] << (display.label.isEmpty() ? fields.at(column) : display.label);
        for (int row = 0; row < rows; ++row) {
            const QVariant value = view.valueAt(row, fields.at(column));
            cells[row + 1] << (display.checkBox ? (value.toString() == QLatin1String("T")
                                                       ? QStringLiteral("[x]")
                                                       : QStringLiteral("[ ]"))
                                                : DatasetModel::displayText(value, display));
        }
    }
    for (const QStringList& line : cells)
        for (int column = 0; column < line.size(); ++column)
            widths[column] = qMax(widths[column], int(line.at(column).size()));
    for (const QStringList& line : cells) {
        QString text;
        for (int column = 0; column < line.size(); ++column) {
            if (column > 0)
                text += QLatin1String("  ");
            const bool last = column == line.size() - 1;
            if (rightAligned[column])
                text += line.at(column).rightJustified(widths[column]);
            else
                text += last ? line.at(column) : line.at(column).leftJustified(widths[column]);
        }
        out << text << '\n';
    }
    out << "Total Record: " << rows << '\n';
    out.flush();
}
