#pragma once

#include "data/dataset.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

// A read-only view of chosen fields of a dataset under labels of the window's own (the master
// grids and the lookup combos of the export dialog), leaving the dataset's display settings to
// its other users.
class DatasetColumnsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString label;
    };

    DatasetColumnsModel(Dataset* dataset, QList<Column> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QPointer<Dataset> dataset_;
    QList<Column> columns_;
};
