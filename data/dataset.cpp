#include "data/dataset.h"

#include "data/db_error.h"

namespace {

// The form in which two values are compared by Locate and Lookup: exact text, numbers by value.
QString matchKey(const QVariant& value) {
    if (value.isNull() || !value.isValid())
        return QStringLiteral("\x01null");
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODateWithMs);
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate) + QStringLiteral("T00:00:00.000");
    default:
        return value.toString();
    }
}

} // namespace

QVariant FieldRef::value() const {
    return dataset_->value(name_);
}
bool FieldRef::isNull() const {
    return value().isNull();
}
QString FieldRef::asString() const {
    const QVariant v = value();
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}
double FieldRef::asFloat() const {
    const QVariant v = value();
    if (v.isNull())
        return 0.0;
    bool ok = false;
    const double number = v.toDouble(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
    return number;
}
int FieldRef::asInteger() const {
    const QVariant v = value();
    if (v.isNull())
        return 0;
    bool ok = false;
    const int number = v.toInt(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    return number;
}
QDateTime FieldRef::asDateTime() const {
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().startOfDay();
    return v.toDateTime();
}

Dataset::Dataset(DbConnection* connection, QObject* parent)
    : QObject(parent), connection_(connection) {}

Dataset::~Dataset() = default;

QVariant Dataset::normalise(const QVariant& value, bool fixedWidth) {
    if (fixedWidth && value.typeId() == QMetaType::QString && !value.isNull()) {
        QString text = value.toString();
        int end = text.size();
        while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
            --end;
        text.truncate(end);
        return text;
    }
    return value;
}

void Dataset::setRows(const QStringList& fields, const QVector<bool>& fixedWidth,
                      QVector<Row> rows) {
    fields_ = fields;
    fixedWidth_ = fixedWidth;
    fixedWidth_.resize(fields_.size());
    fieldIndex_.clear();
    for (int i = 0; i < fields_.size(); ++i)
        fieldIndex_.insert(fields_.at(i).toUpper(), i);
    rows_ = std::move(rows);
    state_ = State::Browse;
    editBuffer_.clear();
    invalidateIndexes();
    current_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
    emit rowsReset();
    emit stateChanged();
    emit currentRowChanged(current_);
    if (afterOpen)
        afterOpen(*this);
    if (afterScroll)
        afterScroll(*this);
}

void Dataset::clearRows() {
    rows_.clear();
    editBuffer_.clear();
    current_ = -1;
    bof_ = eof_ = true;
    state_ = State::Inactive;
    invalidateIndexes();
    emit rowsReset();
    emit stateChanged();
    emit currentRowChanged(current_);
}

void Dataset::close() {
    if (state_ == State::Inactive)
        return;
    clearRows();
}

void Dataset::refresh() {
    checkBrowseMode();
    QVariantList key;
    if (const Row* row = currentRow())
        key = rowKey(*row);
    const bool hadPosition = !key.isEmpty();
    reload();
    if (!hadPosition)
        return;
    for (int i = 0; i < rows_.size(); ++i) {
        if (rowKey(rows_.at(i)) == key) {
            setCurrent(i);
            return;
        }
    }
}

void Dataset::invalidateIndexes() {
    firstRowByValue_.clear();
}

const Dataset::Row* Dataset::currentRow() const {
    if (state_ == State::Edit || state_ == State::Insert)
        return &editBuffer_;
    if (current_ < 0 || current_ >= rows_.size())
        return nullptr;
    return &rows_.at(current_);
}

void Dataset::setCurrent(int row) {
    if (rows_.isEmpty()) {
        current_ = -1;
        return;
    }
    row = qBound(0, row, int(rows_.size()) - 1);
    const bool moved = row != current_;
    current_ = row;
    if (moved) {
        emit currentRowChanged(current_);
        if (afterScroll)
            afterScroll(*this);
    }
}

void Dataset::first() {
    checkBrowseMode();
    bof_ = true;
    eof_ = rows_.isEmpty();
    setCurrent(0);
}

void Dataset::last() {
    checkBrowseMode();
    eof_ = true;
    bof_ = rows_.isEmpty();
    setCurrent(rows_.size() - 1);
}

void Dataset::next() {
    checkBrowseMode();
    if (current_ + 1 < rows_.size()) {
        bof_ = false;
        eof_ = false;
        setCurrent(current_ + 1);
    } else {
        eof_ = true;
    }
}

void Dataset::prior() {
    checkBrowseMode();
    if (current_ > 0) {
        eof_ = false;
        bof_ = false;
        setCurrent(current_ - 1);
    } else {
        bof_ = true;
    }
}

void Dataset::moveTo(int row) {
    checkBrowseMode();
    if (rows_.isEmpty())
        return;
    bof_ = row <= 0;
    eof_ = false;
    setCurrent(row);
}

int Dataset::fieldIndex(const QString& name) const {
    return fieldIndex_.value(name.toUpper(), -1);
}

QStringList Dataset::fieldNames() const {
    QStringList names = fields_;
    for (const LookupField& lookup : lookups_)
        names << lookup.name;
    return names;
}

QStringList Dataset::displayFields() const {
    if (!displayFields_.isEmpty())
        return displayFields_;
    QStringList visible;
    for (const QString& name : fieldNames())
        if (display_.value(name.toUpper()).visible)
            visible << name;
    return visible;
}

bool Dataset::hasField(const QString& name) const {
    if (fieldIndex(name) >= 0)
        return true;
    for (const LookupField& lookup : lookups_)
        if (lookup.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QVariant Dataset::valueAt(int row, const QString& name) const {
    const Row* data = nullptr;
    if (row == current_ && (state_ == State::Edit || state_ == State::Insert))
        data = &editBuffer_;
    else if (row >= 0 && row < rows_.size())
        data = &rows_.at(row);
    if (!data)
        return QVariant();
    const int index = fieldIndex(name);
    if (index >= 0)
        return data->value(index);
    for (const LookupField& lookup : lookups_) {
        if (lookup.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const int keyIndex = fieldIndex(lookup.keyField);
        if (keyIndex < 0 || !lookup.source || !lookup.source->isActive())
            return QVariant();
        return lookup.source->lookup(lookup.sourceKeyField, data->value(keyIndex),
                                     lookup.resultField);
    }
    throw DbError(QStringLiteral("Field '%1' not found").arg(name));
}

QVariant Dataset::value(const QString& name) const {
    if (state_ == State::Inactive)
        throw DbError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (state_ == State::Insert) {
        // The new row is not among the stored rows yet.
        const int index = fieldIndex(name);
        if (index >= 0)
            return editBuffer_.value(index);
    }
    if (!currentRow()) {
        if (!hasField(name))
            throw DbError(QStringLiteral("Field '%1' not found").arg(name));
        return QVariant();
    }
    if (state_ == State::Insert) {
        for (const LookupField& lookup : lookups_)
            if (lookup.name.compare(name, Qt::CaseInsensitive) == 0 && lookup.source)
                return lookup.source->lookup(lookup.sourceKeyField,
                                             editBuffer_.value(fieldIndex(lookup.keyField)),
                                             lookup.resultField);
    }
    return valueAt(current_, name);
}

void Dataset::setValue(const QString& name, const QVariant& value) {
    if (state_ != State::Edit && state_ != State::Insert)
        throw DbError(QStringLiteral("Dataset not in edit or insert mode"));
    const int index = fieldIndex(name);
    if (index < 0)
        throw DbError(QStringLiteral("Field '%1' cannot be modified").arg(name));
    editBuffer_[index] = value;
    if (state_ == State::Edit)
        emit rowUpdated(current_);
}

int Dataset::findFirst(const QString& fieldName, const QVariant& value) const {
    const int index = fieldIndex(fieldName);
    if (index < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(fieldName));
    auto found = firstRowByValue_.find(index);
    if (found == firstRowByValue_.end()) {
        QHash<QString, int> firstRows;
        firstRows.reserve(rows_.size());
        for (int i = rows_.size() - 1; i >= 0; --i)
            firstRows.insert(matchKey(rows_.at(i).value(index)), i);
        found = firstRowByValue_.insert(index, firstRows);
    }
    return found->value(matchKey(value), -1);
}

bool Dataset::locate(const QString& fieldName, const QVariant& value) {
    checkBrowseMode();
    if (state_ == State::Inactive)
        throw DbError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    const int row = findFirst(fieldName, value);
    if (row < 0)
        return false;
    bof_ = eof_ = false;
    setCurrent(row);
    return true;
}

QVariant Dataset::lookup(const QString& keyField, const QVariant& value,
                         const QString& resultField) const {
    if (state_ == State::Inactive)
        return QVariant();
    const int row = findFirst(keyField, value);
    if (row < 0)
        return QVariant();
    return valueAt(row, resultField);
}

void Dataset::addLookupField(const QString& name, Dataset* source, const QString& keyField,
                             const QString& sourceKeyField, const QString& resultField) {
    lookups_.append({name, source, keyField, sourceKeyField, resultField});
    if (source)
        connect(source, &Dataset::rowsReset, this, [this] { emit rowsReset(); });
}

void Dataset::insert() {
    checkBrowseMode();
    if (state_ == State::Inactive)
        throw DbError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (readOnly_)
        throw DbError(QStringLiteral("Cannot modify a read-only dataset"));
    editBuffer_ = Row(fields_.size());
    initNewRow(editBuffer_);
    state_ = State::Insert;
    emit stateChanged();
    if (afterInsert)
        afterInsert(*this);
}

void Dataset::edit() {
    if (state_ == State::Edit || state_ == State::Insert)
        return;
    if (state_ == State::Inactive)
        throw DbError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (readOnly_)
        throw DbError(QStringLiteral("Cannot modify a read-only dataset"));
    if (current_ < 0)
        throw DbError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    editBuffer_ = rows_.at(current_);
    state_ = State::Edit;
    emit stateChanged();
}

void Dataset::post() {
    if (state_ == State::Insert) {
        writeInsert(editBuffer_);
        rows_.append(editBuffer_);
        editBuffer_.clear();
        state_ = State::Browse;
        invalidateIndexes();
        current_ = rows_.size() - 1;
        bof_ = eof_ = false;
        emit rowsReset();
        emit stateChanged();
        emit currentRowChanged(current_);
        if (afterPost)
            afterPost(*this);
    } else if (state_ == State::Edit) {
        if (editBuffer_ != rows_.at(current_))
            writeUpdate(rows_.at(current_), editBuffer_);
        rows_[current_] = editBuffer_;
        editBuffer_.clear();
        state_ = State::Browse;
        invalidateIndexes();
        emit rowUpdated(current_);
        emit stateChanged();
        if (afterPost)
            afterPost(*this);
    }
}

void Dataset::cancel() {
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    const int row = current_;
    editBuffer_.clear();
    state_ = State::Browse;
    emit stateChanged();
    emit rowUpdated(row);
}

void Dataset::checkBrowseMode() {
    if (state_ == State::Edit || state_ == State::Insert)
        post();
}

void Dataset::remove() {
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (state_ == State::Edit)
        cancel();
    if (state_ == State::Inactive)
        throw DbError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (readOnly_)
        throw DbError(QStringLiteral("Cannot modify a read-only dataset"));
    if (current_ < 0)
        throw DbError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    writeDelete(rows_.at(current_));
    rows_.remove(current_);
    invalidateIndexes();
    if (current_ >= rows_.size())
        current_ = rows_.size() - 1;
    eof_ = rows_.isEmpty();
    emit rowsReset();
    emit currentRowChanged(current_);
    if (afterDelete)
        afterDelete(*this);
}

void Dataset::writeInsert(Row&) {
    throw DbError(QStringLiteral("Cannot modify a read-only dataset"));
}
void Dataset::writeUpdate(const Row&, Row&) {
    throw DbError(QStringLiteral("Cannot modify a read-only dataset"));
}
void Dataset::writeDelete(const Row&) {
    throw DbError(QStringLiteral("Cannot modify a read-only dataset"));
}
void Dataset::initNewRow(Row&) {}
