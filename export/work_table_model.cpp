#include "export/work_table_model.h"

#include "core/action_guard.h"
#include "data/connection.h"
#include "data/dataset_model.h"
#include "data/db_error.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kKeySize = 8;
// Pages kept in memory (the rows around those on screen); the least used go first.
constexpr int kPagesKept = 24;

QString keyLiteral(const QByteArray& key) {
    return QStringLiteral("x'") + QString::fromLatin1(key.toHex()) + QLatin1Char('\'');
}

} // namespace

WorkTableModel::WorkTableModel(DbConnection& stock, QString moduleCode, QList<Column> columns,
                               QObject* parent)
    : QAbstractTableModel(parent), stock_(stock), moduleCode_(std::move(moduleCode)),
      columns_(std::move(columns)) {
    for (const Column& column : std::as_const(columns_))
        fields_ << column.field;
}

QList<WorkTableModel::Column> WorkTableModel::ColumnsOf(const Dataset& view) {
    QList<Column> columns;
    for (const QString& field : view.displayFields())
        columns << Column{field.toUpper(), view.displayOf(field)};
    return columns;
}

void WorkTableModel::setRows(const QByteArray& keys, const WorkTableOrder& order) {
    beginResetModel();
    keys_ = keys;
    order_ = order;
    pages_.clear();
    endResetModel();
}

void WorkTableModel::reread() {
    pages_.clear();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void WorkTableModel::clearRows() {
    setRows(QByteArray(), order_);
}

int WorkTableModel::sortColumn() const {
    if (order_.column.isEmpty())
        return -1;
    if (order_.column == QLatin1String(StatusColumn))
        return statusColumn();
    return int(fields_.indexOf(order_.column));
}

Qt::SortOrder WorkTableModel::sortOrder() const {
    return order_.descending ? Qt::DescendingOrder : Qt::AscendingOrder;
}

WorkTableOrder WorkTableModel::orderFor(int column, Qt::SortOrder sortOrder) const {
    WorkTableOrder order;
    if (column < 0 || column > statusColumn())
        return order;
    order.column = column == statusColumn() ? QLatin1String(StatusColumn) : fields_.at(column);
    order.descending = sortOrder == Qt::DescendingOrder;
    return order;
}

void WorkTableModel::setStatusDefault(const StatusDefault& statusDefault) {
    if (statusDefault == statusDefault_)
        return;
    statusDefault_ = statusDefault;
    reread();
}

int WorkTableModel::tickColumn() const {
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_.at(i).display.checkBox)
            return i;
    return -1;
}

int WorkTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(keys_.size() / kKeySize);
}

int WorkTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size()) + 1;
}

QByteArray WorkTableModel::keyAt(int row) const {
    return keys_.mid(qsizetype(row) * kKeySize, kKeySize);
}

const std::optional<WorkTableRow>* WorkTableModel::rowAt(int row) const {
    if (row < 0 || row >= rowCount())
        return nullptr;
    const int pageNumber = row / kPageSize;
    auto page = pages_.find(pageNumber);
    if (page == pages_.end()) {
        if (pages_.size() >= kPagesKept) {
            const auto oldest =
                std::min_element(pages_.begin(), pages_.end(),
                                 [](const Page& a, const Page& b) { return a.used < b.used; });
            pages_.erase(oldest);
        }
        Page read;
        const int first = pageNumber * kPageSize;
        const int count = std::min(kPageSize, rowCount() - first);
        QList<QByteArray> keys;
        for (int i = 0; i < count; ++i)
            keys << keyAt(first + i);
        read.rows.resize(count);
        try {
            const QList<WorkTableRow> rows =
                ReadWorkTableRows(stock_, moduleCode_, keys, fields_, statusDefault_);
            QHash<QByteArray, int> position;
            for (int i = 0; i < count; ++i)
                position.insert(keys.at(i), i);
            for (const WorkTableRow& each : rows)
                read.rows[position.value(each.key)] = each;
        } catch (...) {
            reportLater(CurrentExceptionText());
        }
        page = pages_.insert(pageNumber, read);
    }
    page->used = ++useCounter_;
    return &page->rows.at(row - pageNumber * kPageSize);
}

void WorkTableModel::reportLater(const QString& message) const {
    // Reading happens while the grid paints: the message waits until the painting is over, and
    // one failure is reported once however many cells asked.
    if (reporting_)
        return;
    reporting_ = true;
    QTimer::singleShot(0, this, [this, message] {
        reporting_ = false;
        emit const_cast<WorkTableModel*>(this)->failed(message);
    });
}

QVariant WorkTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columnCount())
        return QVariant();
    const std::optional<WorkTableRow>* row = rowAt(index.row());
    if (!row)
        return QVariant();
    if (index.column() == statusColumn()) {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::EditRole)
            return QVariant();
        if (!row->has_value())
            return QStringLiteral("no longer in the work table");
        return (*row)->status;
    }
    if (!row->has_value())
        return QVariant();
    const Column& column = columns_.at(index.column());
    const QVariant value = (*row)->values.value(index.column());
    if (column.display.checkBox) {
        if (role == Qt::CheckStateRole)
            return value.toString() == QLatin1String("T") ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        return DatasetModel::displayText(value, column.display);
    case Qt::EditRole:
        return value;
    case Qt::TextAlignmentRole:
        if (!column.display.displayFormat.isEmpty())
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant WorkTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const bool amount =
        section < columns_.size() && !columns_.at(section).display.displayFormat.isEmpty();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(amount ? Qt::AlignRight | Qt::AlignVCenter
                                                        : Qt::AlignLeft | Qt::AlignVCenter));
    if (role != Qt::DisplayRole)
        return QVariant();
    if (section == statusColumn())
        return QStringLiteral("Status");
    const QString label = columns_.at(section).display.label;
    return label.isEmpty() ? columns_.at(section).field : label;
}

Qt::ItemFlags WorkTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid() || index.column() >= columns_.size())
        return flags;
    const std::optional<WorkTableRow>* row = rowAt(index.row());
    if (!row || !row->has_value())
        return flags;
    const Column& column = columns_.at(index.column());
    if (column.display.readOnly)
        return flags;
    return flags | (column.display.checkBox ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}

bool WorkTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() >= columns_.size())
        return false;
    const Column& column = columns_.at(index.column());
    if (!(flags(index) & (Qt::ItemIsUserCheckable | Qt::ItemIsEditable)))
        return false;
    QVariant stored = value;
    if (column.display.checkBox) {
        if (role != Qt::CheckStateRole)
            return false;
        stored = value.toInt() == Qt::Checked ? QStringLiteral("T") : QStringLiteral("F");
    } else if (role != Qt::EditRole) {
        return false;
    } else if (!column.display.displayFormat.isEmpty()) {
        bool isNumber = false;
        stored = value.toString().trimmed().toDouble(&isNumber);
        if (!isNumber) {
            emit failed(QStringLiteral("'%1' is not a valid amount").arg(value.toString()));
            return false;
        }
    }
    const std::optional<WorkTableRow>* found = rowAt(index.row());
    if (!found || !found->has_value())
        return false;
    WorkTableRow row = **found;
    try {
        // The row is found by its engine key, and must still be the same document.
        QSqlQuery update(stock_.database());
        const QString sql =
            QStringLiteral("UPDATE TMP_EXPORT_ACCT SET %1 = ? WHERE RDB$DB_KEY = %2 AND "
                           "S_MODULE = ? AND S_ID = ? AND S_STORE_FROM IS NOT DISTINCT FROM ? "
                           "AND S_REFNO IS NOT DISTINCT FROM ?")
                .arg(column.field, keyLiteral(row.key));
        if (!update.prepare(sql))
            throw DbError(EngineErrorText(update.lastError()));
        update.addBindValue(stored);
        update.addBindValue(moduleCode_);
        update.addBindValue(row.id);
        update.addBindValue(row.store);
        update.addBindValue(row.refNo);
        if (!update.exec())
            throw DbError(EngineErrorText(update.lastError()));
        if (update.numRowsAffected() == 0)
            throw DbError(QStringLiteral("The document is no longer in the export work table "
                                         "(a search or Clear elsewhere replaced it). Search "
                                         "again."));
    } catch (...) {
        emit failed(CurrentExceptionText());
        return false;
    }
    row.values[index.column()] = stored;
    if (column.field == QLatin1String("S_REFNO"))
        row.refNo = stored;
    pages_[index.row() / kPageSize].rows[index.row() % kPageSize] = row;
    emit dataChanged(index, index);
    if (column.display.checkBox)
        emit tickChanged();
    return true;
}

void WorkTableModel::sort(int column, Qt::SortOrder sortOrder) {
    const WorkTableOrder wanted = orderFor(column, sortOrder);
    if (wanted == order_)
        return;
    emit orderRequested(wanted);
}
