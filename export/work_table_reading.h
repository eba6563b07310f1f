#pragma once

#include "export/document_search.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class DbConnection;

// Reading the export work table of one kind a page at a time, as the export window's grid shows
// it, without holding its rows: the rows' order is read once (each row's engine key, eight bytes,
// so 360,000 rows take about 3 MB), and the rows are read by those keys as they scroll into view.

// The order a grid shows a kind's rows in: by one column, or (no column) the rows that need the
// bookkeeper first and the rest in the order the search found them.
struct WorkTableOrder {
    QString column; // a work-table column (S_NETTOTAL ...) or StatusColumn; empty: found order
    bool descending = false;
    bool operator==(const WorkTableOrder&) const = default;
};

// The name the Status column sorts by (it is not a work-table column).
inline constexpr char StatusColumn[] = "STATUS";

// What the Status column shows for a row without a status of its own: "not reached" for a row
// still ticked after a run that stopped before it, else nothing.
struct StatusDefault {
    bool notReached = false;
    bool operator==(const StatusDefault&) const = default;
};

// The keys of the kind's rows in the order asked for, eight bytes each. Raises on an unknown
// column.
QByteArray ReadWorkTableOrder(DbConnection& stock, const QString& moduleCode,
                              const WorkTableOrder& order, const StatusDefault& statusDefault);

// The kind's ticked rows as the work table holds them: how many, and their net sum.
TickedTotals ReadTickedTotals(DbConnection& stock, const QString& moduleCode);

// One row of a page: the key columns, then the columns asked for, then the status text.
struct WorkTableRow {
    QByteArray key;
    QString id; // S_ID, S_STORE_FROM, S_REFNO as stored (they find the row again)
    QVariant store;
    QVariant refNo;
    QVariantList values; // the columns asked for, in order
    QString status;
    bool attention = false;
};

// The rows of the given keys (those of one kind still in the work table), in the keys' order; a
// key whose row has gone has no entry.
QList<WorkTableRow> ReadWorkTableRows(DbConnection& stock, const QString& moduleCode,
                                      const QList<QByteArray>& keys, const QStringList& columns,
                                      const StatusDefault& statusDefault);

// True for the columns of the work table a grid may show, sort by and change.
bool IsWorkTableColumn(const QString& column);
