#pragma once

#include "data/dataset.h"

#include <QAbstractTableModel>
#include <QPointer>

// Shows a dataset in a grid: one column per display field with its label, amounts in their
// display format, tick boxes for "T"/"F" fields. An edit changes the dataset's row buffer; the
// row is posted when the grid's current row moves on (setCurrentRow) or the dataset is re-read.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(Dataset* dataset, QObject* parent = nullptr);

    Dataset* dataset() const { return dataset_; }
    QString fieldAt(int column) const { return columns_.value(column); }
    int columnOf(const QString& field) const;

    // Whole grid read-only (the maintenance grids' read mode); fields marked read-only stay so.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return readOnly_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Formats a value as the grid shows it ("#,##0.00" amounts, dd/MM/yyyy dates).
    static QString displayText(const QVariant& value, const Dataset::FieldDisplay& display);

public slots:
    // The grid's current row moved: leave the old row (posting its edit) and follow the cursor.
    // A refused post is reported through postFailed and the row stays in edit.
    void setCurrentRow(int row);

signals:
    void postFailed(const QString& message);

private:
    void rebuildColumns();
    QPointer<Dataset> dataset_;
    QStringList columns_;
    bool readOnly_ = false;
};
