#include "data/dataset_model.h"

#include "core/app_error.h"

#include <QLocale>

DatasetModel::DatasetModel(Dataset* dataset, QObject* parent)
    : QAbstractTableModel(parent), dataset_(dataset) {
    rebuildColumns();
    connect(dataset_, &Dataset::rowsReset, this, [this] {
        beginResetModel();
        rebuildColumns();
        endResetModel();
    });
    connect(dataset_, &Dataset::rowUpdated, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void DatasetModel::rebuildColumns() {
    columns_ = dataset_ ? dataset_->displayFields() : QStringList();
}

int DatasetModel::columnOf(const QString& field) const {
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_.at(i).compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void DatasetModel::setReadOnly(bool readOnly) {
    if (readOnly_ == readOnly)
        return;
    readOnly_ = readOnly;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !dataset_ || !dataset_->isActive())
        return 0;
    return dataset_->recordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_.size();
}

namespace {

// dd/MM/yyyy, written directly: a grid or a printout of a search writes one for every row, and
// the general date formatting is many times slower. Years outside 1000-9999 take that way.
QString dayText(const QDate& day) {
    const int year = day.year();
    if (year < 1000 || year > 9999)
        return day.toString(QStringLiteral("dd/MM/yyyy"));
    const int digits[] = {day.day() / 10, day.day() % 10,  day.month() / 10, day.month() % 10,
                          year / 1000,    year / 100 % 10, year / 10 % 10,   year % 10};
    QString text(10, QLatin1Char('/'));
    const int at[] = {0, 1, 3, 4, 6, 7, 8, 9};
    for (int i = 0; i < 8; ++i)
        text[at[i]] = QLatin1Char(char('0' + digits[i]));
    return text;
}

} // namespace

QString DatasetModel::displayText(const QVariant& value, const Dataset::FieldDisplay& display) {
    if (value.isNull())
        return QString();
    if (!display.displayFormat.isEmpty()) {
        QLocale locale = QLocale::system();
        locale.setNumberOptions(QLocale::DefaultNumberOptions);
        return locale.toString(value.toDouble(), 'f', 2);
    }
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime at = value.toDateTime();
        if (at.time() == QTime(0, 0))
            return dayText(at.date());
        return at.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    }
    if (value.typeId() == QMetaType::QDate)
        return dayText(value.toDate());
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !dataset_ || index.column() >= columns_.size())
        return QVariant();
    const QString field = columns_.at(index.column());
    const Dataset::FieldDisplay display = dataset_->displayOf(field);
    const QVariant value = dataset_->valueAt(index.row(), field);
    if (display.checkBox) {
        if (role == Qt::CheckStateRole)
            return value.toString() == QLatin1String("T") ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        return displayText(value, display);
    case Qt::EditRole:
        return value;
    case Qt::TextAlignmentRole:
        if (!display.displayFormat.isEmpty())
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !dataset_ ||
        section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const QString label = dataset_->displayOf(columns_.at(section)).label;
    return label.isEmpty() ? columns_.at(section) : label;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid() || !dataset_)
        return flags;
    const Dataset::FieldDisplay display = dataset_->displayOf(columns_.value(index.column()));
    const bool editable = !readOnly_ && !display.readOnly && !dataset_->readOnly();
    if (display.checkBox) {
        flags &= ~Qt::ItemIsEditable;
        if (editable)
            flags |= Qt::ItemIsUserCheckable;
        return flags;
    }
    if (editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !dataset_ ||
        !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const QString field = columns_.at(index.column());
    QVariant stored = value;
    if (dataset_->displayOf(field).checkBox) {
        if (role != Qt::CheckStateRole)
            return false;
        stored = value.toInt() == Qt::Checked ? QStringLiteral("T") : QStringLiteral("F");
    } else if (role != Qt::EditRole) {
        return false;
    }
    try {
        if (dataset_->recNo() != index.row())
            dataset_->moveTo(index.row());
        dataset_->edit();
        dataset_->setValue(field, stored);
    } catch (const AppError& error) {
        emit postFailed(error.message());
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

void DatasetModel::setCurrentRow(int row) {
    if (!dataset_ || !dataset_->isActive() || row == dataset_->recNo())
        return;
    try {
        dataset_->moveTo(row);
    } catch (const AppError& error) {
        emit postFailed(error.message());
    }
}
