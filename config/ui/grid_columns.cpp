#include "config/ui/grid_columns.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>

void SetUpGridColumns(QTableView* grid) {
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideRight);
    QHeaderView* header = grid->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    header->setTextElideMode(Qt::ElideRight);
    // Titles on one line, as the values below them.
    header->setDefaultAlignment(header->defaultAlignment() & ~Qt::TextWordWrap);
}

void FitColumnsToContent(QTableView* grid, int maximum) {
    const QAbstractItemModel* model = grid->model();
    if (!model)
        return;
    for (int column = 0; column < model->columnCount(); ++column) {
        grid->resizeColumnToContents(column);
        if (grid->columnWidth(column) > maximum)
            grid->setColumnWidth(column, maximum);
    }
}
