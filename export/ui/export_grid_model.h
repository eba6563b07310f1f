#pragma once

#include <QSortFilterProxyModel>

class DatasetModel;

// What an export grid shows of a work-table view: its rows in the order of the column title the
// user clicked (each row's tick goes with it, as every change is handed to the view's own row),
// and the titles of the amount columns right-aligned over their right-aligned numbers. Values
// sort as what they are: amounts as numbers, dates as dates, the Select column ticked after
// unticked.
class ExportGridModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ExportGridModel(DatasetModel* view, QObject* parent = nullptr);

    DatasetModel* viewModel() const { return view_; }
    // The row of the view shown in the grid's row.
    int viewRow(int gridRow) const;

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    bool isAmountColumn(int column) const;
    bool isTickColumn(int column) const;

    DatasetModel* view_;
};
