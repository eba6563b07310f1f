#include "export/ui/export_grid_model.h"

#include "data/dataset_model.h"

#include <QDateTime>

ExportGridModel::ExportGridModel(DatasetModel* view, QObject* parent)
    : QSortFilterProxyModel(parent), view_(view) {
    setSourceModel(view);
    setSortRole(Qt::EditRole);
    setSortLocaleAware(true);
}

int ExportGridModel::viewRow(int gridRow) const {
    return mapToSource(index(gridRow, 0)).row();
}

bool ExportGridModel::isAmountColumn(int column) const {
    const Dataset* dataset = view_->dataset();
    return dataset && !dataset->displayOf(view_->fieldAt(column)).displayFormat.isEmpty();
}

bool ExportGridModel::isTickColumn(int column) const {
    const Dataset* dataset = view_->dataset();
    return dataset && dataset->displayOf(view_->fieldAt(column)).checkBox;
}

QVariant ExportGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(isAmountColumn(section)
                                                     ? Qt::AlignRight | Qt::AlignVCenter
                                                     : Qt::AlignLeft | Qt::AlignVCenter));
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

bool ExportGridModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (isTickColumn(left.column()))
        return left.data(Qt::CheckStateRole).toInt() < right.data(Qt::CheckStateRole).toInt();
    const QVariant a = left.data(Qt::EditRole);
    const QVariant b = right.data(Qt::EditRole);
    // Empty values first.
    if (a.isNull() || b.isNull())
        return a.isNull() && !b.isNull();
    if (isAmountColumn(left.column()))
        return a.toDouble() < b.toDouble();
    if (a.typeId() == QMetaType::QDateTime || a.typeId() == QMetaType::QDate)
        return a.toDateTime() < b.toDateTime();
    return QString::localeAwareCompare(a.toString().trimmed(), b.toString().trimmed()) < 0;
}
