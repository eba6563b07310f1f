#include "app/maintenance_grids.h"

#include "data/table.h"

void ApplyMaintenanceColumns(Dataset& dataset, const MaintenanceGridLayout& gridLayout) {
    QStringList fields;
    for (int i = 0; i < int(gridLayout.columns.size()); ++i) {
        const MaintenanceColumn& column = gridLayout.columns.at(i);
        const QString field = QLatin1String(column.field);
        fields << field;
        Dataset::FieldDisplay& display = dataset.display(field);
        display.label = QLatin1String(column.title);
        display.displayWidth = column.widthChars;
        display.readOnly = i < MaintenanceFixedColumns;
    }
    dataset.setDisplayFields(fields);
}

bool SortedByCodeColumn(const Table& table, const MaintenanceGridLayout& gridLayout) {
    return table.indexFieldNames() == QLatin1String(gridLayout.codeField);
}

void SortByTitle(Table& table, const MaintenanceGridLayout& gridLayout, const QString& field,
                 bool gridReadOnly) {
    if (field != QLatin1String(gridLayout.codeField) || gridReadOnly)
        table.setIndexFieldNames(field);
    table.refresh();
}
