#include "data/table.h"

#include "data/connection.h"
#include "data/db_error.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <optional>

namespace {

void runOrThrow(QSqlQuery& query, const QString& sql, const QVariantList& binds) {
    if (!query.prepare(sql))
        throw DbError(EngineErrorText(query.lastError()));
    for (const QVariant& value : binds)
        query.addBindValue(value);
    if (!query.exec())
        throw DbError(EngineErrorText(query.lastError()));
}

} // namespace

Table::Table(DbConnection* connection, QString tableName, QObject* parent)
    : Dataset(connection, parent), tableName_(std::move(tableName)) {}

void Table::setIndexFieldNames(const QString& names) {
    if (names == indexFieldNames_)
        return;
    indexFieldNames_ = names;
    reopenIfActive();
}

void Table::setFilter(const QString& condition) {
    if (condition == filter_)
        return;
    filter_ = condition;
    if (filtered_)
        reopenIfActive();
}

void Table::setFiltered(bool filtered) {
    if (filtered == filtered_)
        return;
    filtered_ = filtered;
    reopenIfActive();
}

void Table::setMasterSource(Dataset* master, const QStringList& masterFields,
                            const QStringList& detailFields) {
    if (master_)
        disconnect(master_, nullptr, this, nullptr);
    master_ = master;
    masterFields_ = masterFields;
    detailFields_ = detailFields;
    if (master_) {
        connect(master_, &Dataset::currentRowChanged, this, [this] { reopenIfActive(); });
        connect(master_, &Dataset::rowsReset, this, [this] { reopenIfActive(); });
    }
}

void Table::reopenIfActive() {
    if (!isActive())
        return;
    checkBrowseMode();
    open();
}

const Table::Metadata& Table::metadata() {
    if (metadataLoaded_)
        return metadata_;
    // The catalogue reads share one transaction (one commit, not one per read), unless the
    // handle is in a transaction already.
    std::optional<Transaction> reads;
    if (!connection()->inTransaction())
        reads.emplace(*connection(), Transaction::Begin::AtFirstStatement);
    QSqlDatabase db = connection()->database();
    Metadata loaded; // kept only when every read succeeded
    const QString name = tableName_.toUpper();
    // A plain select first, so a missing table fails with the engine's own message.
    {
        QSqlQuery probe(db);
        runOrThrow(probe, QStringLiteral("SELECT * FROM %1 WHERE 1=0").arg(tableName_), {});
    }
    QSqlQuery columns(db);
    columns.setForwardOnly(true);
    runOrThrow(columns,
               QStringLiteral(
                   "SELECT TRIM(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE FROM RDB$RELATION_FIELDS RF "
                   "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                   "WHERE RF.RDB$RELATION_NAME = ? ORDER BY RF.RDB$FIELD_POSITION"),
               {name});
    while (columns.next()) {
        loaded.columns << columns.value(0).toString();
        loaded.fixedWidth << (columns.value(1).toInt() == 14); // 14: CHAR
    }
    QSqlQuery key(db);
    key.setForwardOnly(true);
    runOrThrow(
        key,
        QStringLiteral("SELECT TRIM(S.RDB$FIELD_NAME) FROM RDB$RELATION_CONSTRAINTS RC "
                       "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = RC.RDB$INDEX_NAME "
                       "WHERE RC.RDB$RELATION_NAME = ? AND RC.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                       "ORDER BY S.RDB$FIELD_POSITION"),
        {name});
    while (key.next())
        loaded.key << key.value(0).toString();
    if (loaded.key.isEmpty()) {
        QSqlQuery unique(db);
        unique.setForwardOnly(true);
        runOrThrow(unique,
                   QStringLiteral(
                       "SELECT TRIM(I.RDB$INDEX_NAME), TRIM(S.RDB$FIELD_NAME) FROM RDB$INDICES I "
                       "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                       "WHERE I.RDB$RELATION_NAME = ? AND I.RDB$UNIQUE_FLAG = 1 "
                       "ORDER BY I.RDB$INDEX_NAME, S.RDB$FIELD_POSITION"),
                   {name});
        QString firstIndex;
        while (unique.next()) {
            if (firstIndex.isEmpty())
                firstIndex = unique.value(0).toString();
            if (unique.value(0).toString() != firstIndex)
                break;
            loaded.key << unique.value(1).toString();
        }
    }
    if (loaded.key.isEmpty())
        loaded.key = loaded.columns;
    metadata_ = loaded;
    keyFields_ = metadata_.key;
    if (reads)
        reads->commit();
    metadataLoaded_ = true;
    return metadata_;
}

QString Table::selectSql(QVariantList& binds, bool ordered, const QStringList& columns) {
    const Metadata& meta = metadata();
    QStringList conditions;
    if (filtered_ && !filter_.trimmed().isEmpty())
        conditions << QLatin1Char('(') + filter_ + QLatin1Char(')');
    if (master_) {
        if (!master_->isActive() || master_->recordCount() == 0 || master_->recNo() < 0) {
            conditions << QStringLiteral("1=0");
        } else {
            for (int i = 0; i < detailFields_.size(); ++i) {
                conditions << detailFields_.at(i) + QStringLiteral(" = ?");
                binds << master_->value(masterFields_.value(i));
            }
        }
    }
    QString sql = QStringLiteral("SELECT ") +
                  (columns.isEmpty() ? QStringLiteral("*") : columns.join(QStringLiteral(", "))) +
                  QStringLiteral(" FROM ") + tableName_;
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    QStringList order = indexFieldNames_.isEmpty()
                            ? meta.key
                            : indexFieldNames_.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (ordered && !order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    return sql;
}

void Table::open() {
    QVariantList binds;
    const QString sql = selectSql(binds);
    const Metadata& meta = metadata();
    QSqlQuery query(connection()->database());
    query.setForwardOnly(true);
    runOrThrow(query, sql, binds);
    const QSqlRecord record = query.record();
    QStringList fields;
    QVector<bool> fixedWidth;
    for (int i = 0; i < record.count(); ++i) {
        fields << record.fieldName(i).toUpper();
        const int column = meta.columns.indexOf(fields.last());
        fixedWidth << (column >= 0 && meta.fixedWidth.at(column));
    }
    QVector<Row> rows;
    while (query.next()) {
        Row row(record.count());
        for (int i = 0; i < record.count(); ++i)
            row[i] = normalise(query.value(i), fixedWidth.at(i));
        rows.append(std::move(row));
    }
    query.finish();
    setRows(fields, fixedWidth, std::move(rows));
}

QString Table::whereForRow(const Row& row, QVariantList& binds) const {
    QStringList conditions;
    for (const QString& keyField : keyFields_) {
        const QVariant value = row.value(fieldIndex(keyField));
        if (value.isNull()) {
            conditions << keyField + QStringLiteral(" IS NULL");
        } else {
            conditions << keyField + QStringLiteral(" = ?");
            binds << value;
        }
    }
    return conditions.join(QStringLiteral(" AND "));
}

QVariantList Table::rowKey(const Row& row) const {
    QVariantList key;
    for (const QString& keyField : keyFields_)
        key << row.value(fieldIndex(keyField));
    return key;
}

Dataset::Row Table::readRowByKey(const Row& row) {
    QVariantList binds;
    const QString where = whereForRow(row, binds);
    QSqlQuery query(connection()->database());
    query.setForwardOnly(true);
    runOrThrow(query, QStringLiteral("SELECT * FROM %1 WHERE %2").arg(tableName_, where), binds);
    if (!query.next())
        return row;
    Row fresh(dataFields().size());
    const QSqlRecord record = query.record();
    for (int i = 0; i < dataFields().size(); ++i)
        fresh[i] =
            normalise(query.value(record.indexOf(dataFields().at(i))), fixedWidthFields().value(i));
    return fresh;
}

void Table::writeInsert(Row& row) {
    QStringList columns;
    QStringList marks;
    QVariantList binds;
    for (int i = 0; i < dataFields().size(); ++i) {
        if (row.at(i).isNull())
            continue; // let the column default apply
        columns << dataFields().at(i);
        marks << QStringLiteral("?");
        binds << row.at(i);
    }
    QSqlQuery query(connection()->database());
    if (columns.isEmpty())
        runOrThrow(query, QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(tableName_), {});
    else
        runOrThrow(query,
                   QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(tableName_, columns.join(QStringLiteral(", ")),
                            marks.join(QStringLiteral(", "))),
                   binds);
    row = readRowByKey(row);
}

void Table::writeUpdate(const Row& original, Row& row) {
    QStringList assignments;
    QVariantList binds;
    for (int i = 0; i < dataFields().size(); ++i) {
        if (row.at(i) == original.at(i) && row.at(i).isNull() == original.at(i).isNull())
            continue;
        assignments << dataFields().at(i) + QStringLiteral(" = ?");
        binds << row.at(i);
    }
    if (assignments.isEmpty())
        return;
    const QString where = whereForRow(original, binds);
    QSqlQuery query(connection()->database());
    runOrThrow(query,
               QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                   .arg(tableName_, assignments.join(QStringLiteral(", ")), where),
               binds);
    if (query.numRowsAffected() == 0)
        throw DbError(QStringLiteral("Record not found or changed by another user"));
    row = readRowByKey(row);
}

void Table::writeDelete(const Row& row) {
    QVariantList binds;
    const QString where = whereForRow(row, binds);
    QSqlQuery query(connection()->database());
    runOrThrow(query, QStringLiteral("DELETE FROM %1 WHERE %2").arg(tableName_, where), binds);
}

void Table::initNewRow(Row& row) {
    if (!master_ || !master_->isActive() || master_->recNo() < 0)
        return;
    for (int i = 0; i < detailFields_.size(); ++i) {
        const int index = fieldIndex(detailFields_.at(i));
        if (index >= 0)
            row[index] = master_->value(masterFields_.value(i));
    }
}
