#include "data/query.h"

#include "data/connection.h"
#include "data/db_error.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

namespace {

// SQL_TEXT, the engine's type code of a CHAR column (the low bit marks a nullable column).
constexpr int kSqlText = 452;

QVector<bool> fixedWidthColumns(const QSqlRecord& record) {
    QVector<bool> fixedWidth(record.count());
    for (int i = 0; i < record.count(); ++i) {
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        fixedWidth[i] = (record.field(i).typeID() & ~1) == kSqlText;
        QT_WARNING_POP
    }
    return fixedWidth;
}

QVariant trimmedIfFixed(const QVariant& value, bool fixedWidth) {
    if (!fixedWidth || value.isNull() || value.typeId() != QMetaType::QString)
        return value;
    QString text = value.toString();
    int end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
    return text;
}

} // namespace

Query::Query(DbConnection* connection, QObject* parent) : Dataset(connection, parent) {}

void Query::open() {
    QSqlQuery query(connection()->database());
    query.setForwardOnly(true);
    if (!query.exec(sql()))
        throw DbError(EngineErrorText(query.lastError()));
    const QSqlRecord record = query.record();
    const QVector<bool> fixedWidth = fixedWidthColumns(record);
    QStringList fields;
    for (int i = 0; i < record.count(); ++i)
        fields << record.fieldName(i).toUpper();
    QVector<Row> rows;
    while (query.next()) {
        Row row(record.count());
        for (int i = 0; i < record.count(); ++i)
            row[i] = trimmedIfFixed(query.value(i), fixedWidth.at(i));
        rows.append(std::move(row));
    }
    query.finish();
    setRows(fields, fixedWidth, std::move(rows));
}

int Query::execSql() {
    return connection()->execute(sql());
}

RowReader::RowReader(DbConnection& connection, const QString& sql, const QVariantList& binds)
    : query_(std::make_unique<QSqlQuery>(connection.database())) {
    query_->setForwardOnly(true);
    bool done = false;
    if (binds.isEmpty()) {
        done = query_->exec(sql);
    } else if (query_->prepare(sql)) {
        for (const QVariant& value : binds)
            query_->addBindValue(value);
        done = query_->exec();
    }
    if (!done)
        throw DbError(EngineErrorText(query_->lastError()));
    fixedWidth_ = fixedWidthColumns(query_->record());
}

RowReader::~RowReader() = default;

bool RowReader::next() {
    if (query_->next())
        return true;
    if (query_->lastError().isValid())
        throw DbError(EngineErrorText(query_->lastError()));
    query_->finish();
    return false;
}

QVariant RowReader::value(int column) const {
    return trimmedIfFixed(query_->value(column), fixedWidth_.value(column));
}

QVariant RowReader::value(const QString& name) const {
    const int column = query_->record().indexOf(name);
    if (column < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(name));
    return value(column);
}

int RowReader::columnCount() const {
    return query_->record().count();
}

QMetaType RowReader::columnType(int column) const {
    return query_->record().field(column).metaType();
}

int RowReader::columnIndex(const QString& name) const {
    const QSqlRecord record = query_->record();
    for (int i = 0; i < record.count(); ++i) {
        if (record.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant SelectValue(DbConnection& connection, const QString& sql, const QVariantList& binds) {
    RowReader reader(connection, sql, binds);
    if (!reader.next())
        return QVariant();
    return reader.value(0);
}
