#pragma once

#include "data/dataset.h"
#include "export/work_table_reading.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

class DbConnection;

// The export window's grid over one kind of the export work table, without holding its rows: it
// knows the rows' order (their keys, read off the window's thread), reads the rows a page at a
// time as they scroll into view, and writes a tick (or an edit of a writable column) at once with
// one statement on the row. The columns are those of the kind's view (labels, amount format, the
// tick box first) and a Status column last: what became of the document at the last export run
// of its kind.
//
// Sorting asks for a new order (orderRequested) instead of sorting itself: the window has it read
// in the database and hands it back with setRows.
class WorkTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        Dataset::FieldDisplay display;
    };

    WorkTableModel(DbConnection& stock, QString moduleCode, QList<Column> columns,
                   QObject* parent = nullptr);

    // The shown fields of a work-table view and how it shows them.
    static QList<Column> ColumnsOf(const Dataset& view);

    const QString& moduleCode() const { return moduleCode_; }

    // A new list of rows (their keys in order, eight bytes each), shown in `order`.
    void setRows(const QByteArray& keys, const WorkTableOrder& order);
    // Forgets the rows read so far, so what is shown is read again (after a run).
    void reread();
    // Drops the rows (a kind that is not shown keeps no memory).
    void clearRows();

    const QByteArray& keys() const { return keys_; }
    const WorkTableOrder& order() const { return order_; }
    // The column and direction the grid's sort arrow shows for the order (-1: none).
    int sortColumn() const;
    Qt::SortOrder sortOrder() const;
    // The order a click on the column's title asks for.
    WorkTableOrder orderFor(int column, Qt::SortOrder sortOrder) const;

    const StatusDefault& statusDefault() const { return statusDefault_; }
    void setStatusDefault(const StatusDefault& statusDefault);

    int statusColumn() const { return int(columns_.size()); }
    int tickColumn() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Rows per page read from the database.
    static constexpr int kPageSize = 100;

signals:
    void orderRequested(const WorkTableOrder& order);
    // A tick was written: the ticked count and sum need reading again.
    void tickChanged();
    // A row could not be read or written; the text says why.
    void failed(const QString& message);

private:
    struct Page {
        QList<std::optional<WorkTableRow>> rows; // by position in the page; empty: gone
        quint64 used = 0;
    };

    const std::optional<WorkTableRow>* rowAt(int row) const;
    QByteArray keyAt(int row) const;
    void reportLater(const QString& message) const;

    DbConnection& stock_;
    QString moduleCode_;
    QList<Column> columns_;
    QStringList fields_;
    QByteArray keys_;
    WorkTableOrder order_;
    StatusDefault statusDefault_;
    mutable QHash<int, Page> pages_;
    mutable quint64 useCounter_ = 0;
    mutable bool reporting_ = false;
};
