#include "export/ui/dataset_columns_model.h"

DatasetColumnsModel::DatasetColumnsModel(Dataset* dataset, QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), dataset_(dataset), columns_(std::move(columns)) {
    connect(dataset_, &Dataset::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(dataset_, &Dataset::rowUpdated, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

int DatasetColumnsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !dataset_ || !dataset_->isActive())
        return 0;
    return dataset_->recordCount();
}

int DatasetColumnsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_.size();
}

QVariant DatasetColumnsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !dataset_ || index.column() >= columns_.size())
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    return dataset_->valueAt(index.row(), columns_.at(index.column()).field).toString();
}

QVariant DatasetColumnsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < columns_.size())
        return columns_.at(section).label;
    return QAbstractTableModel::headerData(section, orientation, role);
}
